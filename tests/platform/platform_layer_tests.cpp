// The platform layer, run natively and, built for Windows, under Wine.
#include "common/platform/platform.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using platform::CodePage;

namespace {

int gArgc = 0;
char** gArgv = nullptr;

// Build paths are host paths; under Wine the host's root is drive Z:.
fs::path hostPath(const char* path) {
#ifdef _WIN32
    if (path[0] == '/') return fs::path(std::string("Z:") + path);
#endif
    return fs::path(path);
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class TempDir {
public:
    TempDir() {
        path_ = fs::temp_directory_path() /
                ("ws-platform-" + std::to_string(getpid()) + "-" + std::to_string(counter_++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    static inline int counter_ = 0;
    fs::path path_;
};

} // namespace

TEST(CodePage, ChineseTextsRoundTripInBothCodePages) {
    // The texts the programs write into settings files, queries and messages.
    const std::u16string texts[] = {
        u"张三", u"行程单", u"北京首都国际机场T3", u"更新完成！",
        u"正在更新到最新版本，请不要关闭程序！", u"打印机拒绝了打印任务：办公室",
        u"客服QQ：12345", u"<leftr>1.5</leftr>\r\n", u"",
    };
    for (const CodePage cp : {CodePage::Gbk, CodePage::Gb18030})
        for (const std::u16string& text : texts) {
#ifdef _WIN32
            if (!IsValidCodePage(UINT(cp))) continue; // Wine 8 lacks 54936
#endif
            std::string bytes;
            ASSERT_TRUE(platform::Encode(cp, text, bytes));
            std::u16string back;
            EXPECT_TRUE(platform::DecodeStrict(cp, bytes, back));
            EXPECT_TRUE(back == text) << bytes;
            EXPECT_TRUE(platform::Decode(cp, bytes) == text) << bytes;
        }
    std::string bytes;
    ASSERT_TRUE(platform::Encode(CodePage::Gbk, u"张三啊", bytes));
    EXPECT_EQ(bytes, "\xD5\xC5\xC8\xFD\xB0\xA1");
}

TEST(CodePage, InvalidBytesAreRefusedAndReplacedAlike) {
    const struct {
        std::string bytes;
        std::u16string lenient;
    } cases[] = {
        {"\x81", u"\uFFFD"},                   // a lead byte at the end
        {"A\xFF" "B", u"A\uFFFDB"},            // a byte that starts nothing
        {"\xD5\xC5\x81\x7F" "x", u"张\uFFFD\x7Fx"}, // a trail byte outside the range
        {"\xAA\xA1\xD5\xC5", u"\uFFFD\uFFFD张"}, // the user-defined area
        {"\xB0", u"\uFFFD"},
    };
    for (const auto& c : cases) {
        std::u16string out = u"kept";
        EXPECT_FALSE(platform::DecodeStrict(CodePage::Gbk, c.bytes, out)) << c.bytes;
        EXPECT_TRUE(out == u"kept");
        EXPECT_TRUE(platform::Decode(CodePage::Gbk, c.bytes) == c.lenient) << c.bytes;
    }
    const struct {
        std::u16string text;
        std::string gbk;
    } unencodable[] = {
        {u"a\U0001F600b", "a?b"},    // outside GBK
        {u"x\xD800y", "x?y"},        // a lone surrogate
        {u"\u20AC", "\x80"},         // the euro sign, GBK's one single-byte addition
    };
    for (const auto& c : unencodable) {
        std::string out;
        EXPECT_TRUE(platform::Encode(CodePage::Gbk, c.text, out));
        EXPECT_EQ(out, c.gbk);
    }
}

TEST(Registration, EntryPointCalledOnceWithItsAnswerSeen) {
    TempDir dir;
    const fs::path counter = dir.path() / "counter";
#ifdef _WIN32
    SetEnvironmentVariableW(L"WS_REG_COUNTER", counter.c_str());
    _wputenv_s(L"WS_REG_COUNTER", counter.c_str());
#else
    setenv("WS_REG_COUNTER", counter.c_str(), 1);
#endif
    const fs::path lib = hostPath(WS_REG_HRESULT_LIB);
    const auto r = platform::CallRegistrationEntry(lib, "DllRegisterServer");
    EXPECT_EQ(r.status, platform::RegisterStatus::Called);
    // Also tells that COM was initialised on the calling thread before the call.
    EXPECT_EQ(r.hresult, 0x00040201);
    EXPECT_EQ(readAll(counter), "registered\n");

    EXPECT_EQ(platform::CallRegistrationEntry(lib, "DllUnregisterServer").status,
              platform::RegisterStatus::NoEntryPoint);
    writeFile(dir.path() / "text.ocx", "not a library");
    EXPECT_EQ(platform::CallRegistrationEntry(dir.path() / "text.ocx", "DllRegisterServer").status,
              platform::RegisterStatus::NotLibrary);
    EXPECT_EQ(readAll(counter), "registered\n");
}

TEST(Fonts, InstalledFontIsInTheFontsFolderAndRegistered) {
    TempDir dir;
#ifndef _WIN32
    setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
#endif
    const fs::path font = dir.path() / "WsTestSans.ttf";
    fs::copy_file(hostPath("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"), font);
    ASSERT_TRUE(platform::InstallFont(font));
    const fs::path installed = platform::FontsFolder() / "WsTestSans.ttf";
    EXPECT_EQ(readAll(installed), readAll(font));
#ifdef _WIN32
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE,
                           L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                           L"WsTestSans (TrueType)", RRF_RT_REG_SZ, nullptr, value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(value), L"WsTestSans.ttf");
    RemoveFontResourceW(installed.c_str());
#endif
    fs::remove(installed);
}

TEST(DataFolder, PerUserFolderTakesOverWhenTheProgramFolderIsReadOnly) {
    TempDir dir;
    const fs::path program = dir.path() / "program", user = dir.path() / "user";
    fs::create_directories(program);
    writeFile(program / "info.ini", "<leftr>2</leftr>");
    writeFile(program / "UP.ini", "demo01");
    const std::vector<std::string> files = {"info.ini", "UP.ini", "SmsSetup.inf"};

    EXPECT_TRUE(platform::CanCreateFilesIn(program));
    EXPECT_FALSE(platform::CanCreateFilesIn(dir.path() / "missing"));

    EXPECT_EQ(platform::ChooseDataFolder(program, true, user, files), program);
    EXPECT_FALSE(fs::exists(user));
    // First run: the folder is made and the existing settings carried over.
    EXPECT_EQ(platform::ChooseDataFolder(program, false, user, files), user);
    EXPECT_EQ(readAll(user / "info.ini"), "<leftr>2</leftr>");
    EXPECT_EQ(readAll(user / "UP.ini"), "demo01");
    EXPECT_FALSE(fs::exists(user / "SmsSetup.inf"));
    // Later runs keep what the user saved.
    writeFile(user / "info.ini", "<leftr>5</leftr>");
    EXPECT_EQ(platform::ChooseDataFolder(program, false, user, files), user);
    EXPECT_EQ(readAll(user / "info.ini"), "<leftr>5</leftr>");

    const fs::path perUser = platform::PerUserFolder("TicketDesk");
    EXPECT_EQ(perUser.filename(), "TicketDesk");
#ifdef _WIN32
    wchar_t local[MAX_PATH] = {};
    GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
    EXPECT_EQ(perUser.parent_path(), fs::path(local));
#endif
}

TEST(OwnerOnly, OnlyTheCurrentUserIsGrantedAccess) {
    TempDir dir;
    const fs::path file = dir.path() / "UP.ini";
    writeFile(file, "secret");
#ifndef _WIN32
    chmod(file.c_str(), 0644);
#endif
    EXPECT_FALSE(platform::IsOwnerOnly(file));
    ASSERT_TRUE(platform::RestrictToOwner(file));
    EXPECT_TRUE(platform::IsOwnerOnly(file));
    EXPECT_EQ(readAll(file), "secret");
    EXPECT_FALSE(platform::RestrictToOwner(dir.path() / "missing"));
}

TEST(Console, OutputIsUtf8AndArgumentsArriveWhole) {
    TempDir dir;
    const fs::path out = dir.path() / "out.txt";
#ifdef _WIN32
    HANDLE file = CreateFileW(out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, file);
    platform::WriteOutput("行程单 CA1234\n");
    SetStdHandle(STD_OUTPUT_HANDLE, saved);
    CloseHandle(file);
#else
    std::fflush(stdout);
    const int saved = dup(1), file = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(file, 1);
    platform::WriteOutput("行程单 CA1234\n");
    dup2(saved, 1);
    close(file);
    close(saved);
#endif
    EXPECT_EQ(readAll(out), "行程单 CA1234\n");
    const std::vector<std::string> args = platform::Arguments(gArgc, gArgv);
    ASSERT_FALSE(args.empty());
    EXPECT_EQ(args.back(), "--utf8-arg=行程单");
}

#ifdef _WIN32
TEST(Program, VersionIconAndManifestAreBuiltIn) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::string block(GetFileVersionInfoSizeW(self, nullptr), '\0');
    ASSERT_TRUE(GetFileVersionInfoW(self, 0, DWORD(block.size()), block.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &size));
    const std::string version =
        std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
        std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
        std::to_string(HIWORD(info->dwFileVersionLS)) + "." + std::to_string(LOWORD(info->dwFileVersionLS));
    EXPECT_EQ(version.rfind(WS_VERSION, 0), 0u) << version; // "9.0" in "9.0.0.0"
    EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)), nullptr); // icon group
    HRSRC manifest = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(nullptr, manifest))),
                           SizeofResource(nullptr, manifest));
    EXPECT_NE(text.find(R"(level="asInvoker")"), std::string::npos);
}
#endif

int main(int argc, char* argv[]) {
    gArgc = argc;
    gArgv = argv;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
