// The platform layer on Linux: iconv, dlopen, POSIX files, CUPS.
#include "common/platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

#include <dlfcn.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

const char* iconvName(CodePage cp) {
    return cp == CodePage::Gb18030 ? "GB18030" : "GBK";
}

struct CloseIconv {
    void operator()(std::remove_pointer_t<iconv_t>* cd) const { iconv_close(cd); }
};

// One conversion descriptor per direction and code page and thread, reset before each use
// and closed when the thread ends.
iconv_t descriptor(const char* to, const char* from) {
    struct Cached {
        std::string key;
        std::unique_ptr<std::remove_pointer_t<iconv_t>, CloseIconv> cd;
    };
    thread_local std::vector<Cached> cache;
    const std::string key = std::string(to) + '<' + from;
    for (Cached& c : cache)
        if (c.key == key) {
            iconv(c.cd.get(), nullptr, nullptr, nullptr, nullptr);
            return c.cd.get();
        }
    iconv_t cd = iconv_open(to, from);
    if (cd != reinterpret_cast<iconv_t>(-1)) cache.push_back({key, {cd, {}}});
    return cd;
}

} // namespace

bool DecodeStrict(CodePage cp, std::string_view bytes, std::u16string& out) {
    if (bytes.empty()) {
        out.clear();
        return true;
    }
    iconv_t cd = descriptor("UTF-16LE", iconvName(cp));
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::u16string result(bytes.size() * 2 + 2, u'\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* to = reinterpret_cast<char*>(result.data());
    std::size_t toLeft = result.size() * 2;
    if (iconv(cd, &in, &inLeft, &to, &toLeft) == std::size_t(-1) || inLeft != 0) return false;
    result.resize(result.size() - toLeft / 2);
    out = std::move(result);
    return true;
}

bool Encode(CodePage cp, std::u16string_view text, std::string& out) {
    out.clear();
    iconv_t cd = descriptor(iconvName(cp), "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string result(text.size() * 4 + 4, '\0');
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
    std::size_t inLeft = text.size() * 2;
    char* to = result.data();
    std::size_t toLeft = result.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &to, &toLeft) != std::size_t(-1)) break;
        if (errno != EILSEQ && errno != EINVAL) return false;
        // A character the code page lacks, or a lone surrogate: "?" in its place.
        const auto unitAt = [&](std::size_t k) {
            return char16_t(static_cast<unsigned char>(in[k]) |
                            (static_cast<unsigned char>(in[k + 1]) << 8));
        };
        const bool pair = unitAt(0) >= 0xD800 && unitAt(0) < 0xDC00 && inLeft >= 4 &&
                          unitAt(2) >= 0xDC00 && unitAt(2) < 0xE000;
        const std::size_t skip = pair ? 4 : 2;
        *to++ = '?';
        --toLeft;
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    result.resize(result.size() - toLeft);
    out = std::move(result);
    return true;
}

RegisterResult CallRegistrationEntry(const Path& library, const char* entry) {
    RegisterResult r;
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return r;
    using Entry = std::int32_t (*)();
    const auto fn = reinterpret_cast<Entry>(dlsym(handle, entry));
    if (!fn) {
        r.status = RegisterStatus::NoEntryPoint;
        return r;
    }
    r.hresult = fn();
    r.status = RegisterStatus::Called;
    return r;
}

void* LoadProgramModule(const std::string& fileName, const char* entry, std::string& error) {
    std::error_code ec;
    const Path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        error = "the program's folder is unknown: " + ec.message();
        return nullptr;
    }
    const Path file = program.parent_path() / fileName;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle) {
        error = dlerror();
        return nullptr;
    }
    void* address = dlsym(handle, entry);
    if (!address) error = file.string() + ": no " + entry;
    return address;
}

Path SystemFolder() {
    return "/usr/lib";
}

Path FontsFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return Path(data) / "fonts";
    const char* home = std::getenv("HOME");
    return Path(home ? home : "/tmp") / ".local/share/fonts";
}

bool InstallFont(const Path& file) {
    // fontconfig finds fonts by scanning the folder; copying is all there is to do.
    std::error_code ec;
    const Path folder = FontsFolder();
    std::filesystem::create_directories(folder, ec);
    const Path to = folder / file.filename();
    if (std::filesystem::equivalent(file, to, ec)) return true;
    return std::filesystem::copy_file(file, to, std::filesystem::copy_options::overwrite_existing,
                                      ec);
}

bool CanCreateFilesIn(const Path& folder) {
    const Path probe = folder / (".write-probe-" + std::to_string(getpid()));
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

Path PerUserFolder(const std::string& name) {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return Path(data) / name;
    const char* home = std::getenv("HOME");
    return Path(home ? home : "/tmp") / ".local/share" / name;
}

bool RestrictToOwner(const Path& file) {
    return ::chmod(file.c_str(), S_IRUSR | S_IWUSR) == 0;
}

bool IsOwnerOnly(const Path& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 && st.st_uid == ::geteuid() &&
           (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

JobStatus LastJobStatus(const std::string&, const std::string&) {
    // Qt hands the job to CUPS without looking at the answer; the IPP status of that last
    // request tells whether the queue took it (0x0400 and above: refused, queue gone, ...).
    void* cups = dlopen("libcups.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!cups) return JobStatus::Accepted;
    using LastError = int (*)();
    const auto lastError = reinterpret_cast<LastError>(dlsym(cups, "cupsLastError"));
    const bool refused = lastError && lastError() >= 0x0400;
    dlclose(cups);
    return refused ? JobStatus::Refused : JobStatus::Accepted;
}

void AttachParentConsole() {}

void WriteOutput(std::string_view utf8, bool toError) {
    FILE* stream = toError ? stderr : stdout;
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

std::vector<std::string> Arguments(int argc, char* argv[]) {
    return std::vector<std::string>(argv, argv + argc);
}

bool IsElevated() {
    return ::geteuid() == 0;
}

bool RestartElevated(const std::vector<std::string>&) {
    return false;
}

} // namespace platform
