// The platform layer on Windows: the Win32 API only.
#include "common/platform/platform.h"

#include <windows.h>

#include <aclapi.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winspool.h>

#include <cstdio>
#include <memory>

namespace platform {

namespace {

std::wstring wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
    return out;
}

std::string utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

Path shellFolder(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
    return Path(buffer);
}

// The current user's SID, copied out of the process token.
std::unique_ptr<BYTE[]> currentUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return nullptr;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    auto info = std::make_unique<BYTE[]>(size);
    std::unique_ptr<BYTE[]> sid;
    if (GetTokenInformation(token, TokenUser, info.get(), size, &size)) {
        PSID user = reinterpret_cast<TOKEN_USER*>(info.get())->User.Sid;
        const DWORD length = GetLengthSid(user);
        sid = std::make_unique<BYTE[]>(length);
        CopySid(length, sid.get(), user);
    }
    CloseHandle(token);
    return sid;
}

std::wstring quoted(const std::wstring& arg) {
    // The quoting CommandLineToArgvW undoes: backslashes doubled before a quote.
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    std::size_t slashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
        } else {
            out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
            slashes = 0;
        }
        out += c;
    }
    out.append(slashes, L'\\');
    return out + L"\"";
}

} // namespace

bool DecodeStrict(CodePage cp, std::string_view bytes, std::u16string& out) {
    if (bytes.empty()) {
        out.clear();
        return true;
    }
    const UINT page = UINT(cp);
    const int n = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                                      nullptr, 0);
    if (n <= 0) return false;
    std::u16string result(std::size_t(n), u'\0');
    MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                        reinterpret_cast<wchar_t*>(result.data()), n);
    // The user-defined areas map to private-use characters here but are not characters of
    // the code page elsewhere: refused on both.
    for (char16_t c : result)
        if (c >= 0xE000 && c <= 0xF8FF) return false;
    out = std::move(result);
    return true;
}

bool Encode(CodePage cp, std::u16string_view text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    // Lone surrogates, and for GBK every pair (none is in it), become one "?" first: the
    // converter would give one per unit.
    std::u16string clean;
    clean.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool high = c >= 0xD800 && c < 0xDC00, low = c >= 0xDC00 && c < 0xE000;
        const bool pair =
            high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
        if (pair && cp != CodePage::Gbk) {
            clean += c;
            clean += text[++i];
        } else if (high || low) {
            clean += u'?';
            i += pair ? 1 : 0;
        } else {
            clean += c;
        }
    }
    const UINT page = UINT(cp);
    // GB18030 holds every character; GBK gets "?" for the rest, with no look-alikes.
    const DWORD flags = cp == CodePage::Gbk ? WC_NO_BEST_FIT_CHARS : 0;
    const char* fallback = cp == CodePage::Gbk ? "?" : nullptr;
    const auto* wtext = reinterpret_cast<const wchar_t*>(clean.data());
    const int n =
        WideCharToMultiByte(page, flags, wtext, int(clean.size()), nullptr, 0, fallback, nullptr);
    if (n <= 0) return false;
    out.resize(std::size_t(n));
    WideCharToMultiByte(page, flags, wtext, int(clean.size()), out.data(), n, fallback, nullptr);
    return true;
}

RegisterResult CallRegistrationEntry(const Path& library, const char* entry) {
    RegisterResult r;
    // Components create COM objects while they register; the thread's apartment stays
    // until the process ends, as the library does.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::error_code ec;
    const Path full = std::filesystem::absolute(library, ec);
    // Dependencies beside the component are found there.
    HMODULE module = LoadLibraryExW(full.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) return r;
    using Entry = HRESULT(__stdcall*)();
    const auto fn = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, entry)));
    if (!fn) {
        r.status = RegisterStatus::NoEntryPoint;
        return r;
    }
    r.hresult = fn();
    r.status = RegisterStatus::Called;
    return r;
}

void* LoadProgramModule(const std::string& fileName, const char* entry, std::string& error) {
    std::wstring program(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, program.data(), DWORD(program.size()));
        if (n == 0) {
            error = "the program's folder is unknown";
            return nullptr;
        }
        if (n < program.size()) {
            program.resize(n);
            break;
        }
        program.resize(program.size() * 2);
    }
    const Path file =
        Path(program).parent_path() / Path(std::u8string(fileName.begin(), fileName.end()));
    HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        error = "cannot load " + fileName + " (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    void* address = reinterpret_cast<void*>(GetProcAddress(module, entry));
    if (!address) error = fileName + ": no " + entry;
    return address;
}

Path SystemFolder() {
    wchar_t buffer[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? Path(buffer) : Path();
}

Path FontsFolder() {
    return shellFolder(CSIDL_FONTS);
}

bool InstallFont(const Path& file) {
    const Path folder = FontsFolder();
    if (folder.empty()) return false;
    const Path to = folder / file.filename();
    std::error_code ec;
    if (!std::filesystem::equivalent(file, to, ec) && !CopyFileW(file.c_str(), to.c_str(), FALSE))
        return false;
    if (AddFontResourceW(to.c_str()) == 0) return false;
    // The value the fonts control panel writes: the name with its kind, and the file's name
    // (relative to the fonts folder), so the font is loaded again after a restart.
    std::wstring ext = to.extension().wstring();
    for (wchar_t& c : ext)
        c = wchar_t(towlower(c));
    const std::wstring name =
        to.stem().wstring() + (ext == L".otf" ? L" (OpenType)" : L" (TrueType)");
    const std::wstring data = to.filename().wstring();
    HKEY key = nullptr;
    const bool stored =
        RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                        L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS &&
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       DWORD((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    if (key) RegCloseKey(key);
    SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    return stored;
}

bool CanCreateFilesIn(const Path& folder) {
    const Path probe = folder / (L".write-probe-" + std::to_wstring(GetCurrentProcessId()));
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

Path PerUserFolder(const std::string& name) {
    const Path base = shellFolder(CSIDL_LOCAL_APPDATA);
    return base.empty() ? Path() : base / wide(name);
}

bool RestrictToOwner(const Path& file) {
    const auto sid = currentUserSid();
    if (!sid) return false;
    const DWORD size = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid.get());
    auto acl = std::make_unique<BYTE[]>(size);
    PACL dacl = reinterpret_cast<PACL>(acl.get());
    if (!InitializeAcl(dacl, size, ACL_REVISION) ||
        !AddAccessAllowedAce(dacl, ACL_REVISION, FILE_ALL_ACCESS, sid.get()))
        return false;
    // Protected: nothing is inherited from the folder.
    SECURITY_DESCRIPTOR sd{};
    return InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorDacl(&sd, TRUE, dacl, FALSE) &&
           SetSecurityDescriptorControl(&sd, SE_DACL_PROTECTED, SE_DACL_PROTECTED) &&
           SetFileSecurityW(file.c_str(), DACL_SECURITY_INFORMATION, &sd);
}

bool IsOwnerOnly(const Path& file) {
    const auto sid = currentUserSid();
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    std::wstring path = file.wstring();
    if (!sid || GetNamedSecurityInfoW(path.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                      nullptr, nullptr, &dacl, nullptr, &sd) != ERROR_SUCCESS)
        return false;
    // The operating system itself (SYSTEM) may keep its access.
    BYTE system[SECURITY_MAX_SID_SIZE];
    DWORD systemSize = sizeof system;
    CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &systemSize);
    bool ownerOnly = dacl != nullptr && dacl->AceCount > 0;
    for (DWORD i = 0; ownerOnly && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        PSID who = nullptr;
        ownerOnly = GetAce(dacl, i, &ace) &&
                    static_cast<ACE_HEADER*>(ace)->AceType == ACCESS_ALLOWED_ACE_TYPE;
        if (ownerOnly) who = &static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart;
        ownerOnly = ownerOnly && (EqualSid(who, sid.get()) || EqualSid(who, system));
    }
    LocalFree(sd);
    return ownerOnly;
}

JobStatus LastJobStatus(const std::string& printerUtf8, const std::string& docNameUtf8) {
    std::wstring name = wide(printerUtf8);
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name.data(), &printer, nullptr)) return JobStatus::PrinterOffline;
    JobStatus status = JobStatus::Accepted;
    DWORD needed = 0, count = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    auto info = std::make_unique<BYTE[]>(needed ? needed : 1);
    if (needed && GetPrinterW(printer, 2, info.get(), needed, &needed)) {
        const auto* p = reinterpret_cast<PRINTER_INFO_2W*>(info.get());
        if ((p->Attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) ||
            (p->Status & (PRINTER_STATUS_OFFLINE | PRINTER_STATUS_NOT_AVAILABLE |
                          PRINTER_STATUS_PENDING_DELETION)))
            status = JobStatus::PrinterOffline;
    }
    // Our job is the newest one of that document still in the queue; gone means printed.
    needed = 0;
    EnumJobsW(printer, 0, 0xFFFF, 1, nullptr, 0, &needed, &count);
    auto jobs = std::make_unique<BYTE[]>(needed ? needed : 1);
    if (status == JobStatus::Accepted && needed &&
        EnumJobsW(printer, 0, 0xFFFF, 1, jobs.get(), needed, &needed, &count)) {
        const auto* job = reinterpret_cast<JOB_INFO_1W*>(jobs.get());
        const std::wstring doc = wide(docNameUtf8);
        const JOB_INFO_1W* newest = nullptr;
        for (DWORD i = 0; i < count; ++i)
            if (job[i].pDocument && doc == job[i].pDocument &&
                (!newest || job[i].JobId > newest->JobId))
                newest = &job[i];
        if (newest &&
            (newest->Status & (JOB_STATUS_ERROR | JOB_STATUS_DELETING | JOB_STATUS_DELETED |
                               JOB_STATUS_BLOCKED_DEVQ | JOB_STATUS_USER_INTERVENTION)))
            status = JobStatus::Refused;
        else if (newest && (newest->Status & JOB_STATUS_OFFLINE))
            status = JobStatus::PrinterOffline;
    }
    ClosePrinter(printer);
    return status;
}

void AttachParentConsole() {
    // A windowed program has no standard output unless it was redirected.
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if ((out && out != INVALID_HANDLE_VALUE) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return;
    SetStdHandle(STD_OUTPUT_HANDLE, console);
    SetStdHandle(STD_ERROR_HANDLE, console);
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
    SetConsoleOutputCP(CP_UTF8);
}

void WriteOutput(std::string_view text, bool toError) {
    std::fflush(toError ? stderr : stdout);
    HANDLE h = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (!h || h == INVALID_HANDLE_VALUE || text.empty()) return;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(h, &mode)) {
        // A console shows UTF-16 right whatever its code page (936 would garble UTF-8).
        const std::wstring w = wide(text);
        WriteConsoleW(h, w.data(), DWORD(w.size()), &written, nullptr);
    } else {
        WriteFile(h, text.data(), DWORD(text.size()), &written, nullptr);
    }
}

std::vector<std::string> Arguments(int, char*[]) {
    // argv went through the 8-bit code page; the wide command line holds every path.
    int n = 0;
    LPWSTR* wargs = CommandLineToArgvW(GetCommandLineW(), &n);
    std::vector<std::string> args;
    for (int i = 0; wargs && i < n; ++i)
        args.push_back(utf8(wargs[i]));
    LocalFree(wargs);
    return args;
}

bool IsElevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool elevated =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
        elevation.TokenIsElevated;
    CloseHandle(token);
    return elevated;
}

bool RestartElevated(const std::vector<std::string>& args) {
    wchar_t self[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    std::wstring params;
    for (const std::string& a : args)
        params += (params.empty() ? L"" : L" ") + quoted(wide(a));
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC;
    info.lpVerb = L"runas";
    info.lpFile = self;
    info.lpParameters = params.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}

} // namespace platform
