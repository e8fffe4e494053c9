// The platform layer, run natively and, built for Windows, under Wine.
#include "common/platform/platform.h"

#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;
using platform::CodePage;

namespace {

int gArgc = 0;
char** gArgv = nullptr; // as main() got them

// Build paths are host paths; under Wine the host's root is drive Z:.
fs::path hostPath(const std::string& path) {
#ifdef _WIN32
    if (path[0] == '/') return "Z:" + path;
#endif
    return path;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void setEnv(const char* name, const fs::path& value) {
#ifdef _WIN32
#define setenv(name, value, overwrite) _putenv_s(name, value)
#endif
    setenv(name, value.string().c_str(), 1);
}

class Platform : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("ws-platform-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

} // namespace

TEST(CodePage, ChineseTextsRoundTripInBothCodePages) {
    // Texts the programs write into settings files, queries and messages.
    const std::u16string texts[] = {u"张三", u"北京首都国际机场T3", u"更新完成！", u""};
    for (const CodePage cp : {CodePage::Gbk, CodePage::Gb18030}) {
#ifdef _WIN32
        if (!IsValidCodePage(UINT(cp))) continue; // Wine 8 lacks 54936
#endif
        for (const std::u16string& text : texts) {
            std::string bytes;
            std::u16string back;
            ASSERT_TRUE(platform::Encode(cp, text, bytes));
            EXPECT_TRUE(platform::DecodeStrict(cp, bytes, back) && back == text) << bytes;
            EXPECT_TRUE(platform::Decode(cp, bytes) == text) << bytes;
        }
    }
    std::string bytes;
    ASSERT_TRUE(platform::Encode(CodePage::Gbk, u"张三啊", bytes));
    EXPECT_EQ(bytes, "\xD5\xC5\xC8\xFD\xB0\xA1");
}

TEST(CodePage, InvalidBytesAreRefusedAndReplacedAlike) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"\x81", u"\uFFFD"},                     // a lead byte at the end
        {"A\377B", u"A\uFFFDB"},                 // a byte that starts nothing
        {"\xD5\xC5\x81\x7Fx", u"张\uFFFD\x7Fx"}, // a trail byte outside the range
        {"\xAA\xA1\xD5\xC5", u"\uFFFD\uFFFD张"}, // the user-defined area
    };
    for (const auto& [bytes, lenient] : cases) {
        std::u16string out = u"kept";
        EXPECT_FALSE(platform::DecodeStrict(CodePage::Gbk, bytes, out) || out != u"kept");
        EXPECT_TRUE(platform::Decode(CodePage::Gbk, bytes) == lenient) << bytes;
    }
    const std::pair<std::u16string, std::string> unencodable[] = {
        {u"a\U0001F600b", "a?b"}, {u"x\xD800y", "x?y"}, {u"\u20AC", "\x80"}};
    for (const auto& [text, gbk] : unencodable) {
        std::string out;
        EXPECT_TRUE(platform::Encode(CodePage::Gbk, text, out) && out == gbk) << out;
    }
}

TEST_F(Platform, RegistrationEntryCalledOnceWithItsAnswerSeen) {
    setEnv("WS_REG_COUNTER", dir / "counter");
    const fs::path lib = hostPath(WS_REG_HRESULT_LIB);
    const auto r = platform::CallRegistrationEntry(lib, "DllRegisterServer");
    EXPECT_EQ(r.status, platform::RegisterStatus::Called);
    EXPECT_EQ(r.hresult, 0x00040201); // on Windows also: COM was initialised on the thread
    EXPECT_EQ(platform::CallRegistrationEntry(lib, "DllUnregisterServer").status,
              platform::RegisterStatus::NoEntryPoint);
    EXPECT_EQ(ReadAll(dir / "counter"), "registered\n");
}

TEST(ProgramModule, FoundBesideTheProgramOrSaysWhatIsMissing) {
    const struct {
        const char* file;
        const char* entry;
        bool found;
    } cases[] = {
        {WS_REG_HRESULT_NAME, "DllRegisterServer", true},
        {WS_REG_HRESULT_NAME, "DllUnregisterServer", false}, // no such entry
        {"no-such-module.so", "DllRegisterServer", false},
    };
    for (const auto& c : cases) {
        std::string error;
        const void* entry = platform::LoadProgramModule(c.file, c.entry, error);
        EXPECT_EQ(entry != nullptr, c.found) << c.file << " " << c.entry;
        EXPECT_EQ(error.empty(), c.found) << c.file << " " << c.entry << ": " << error;
    }
}

TEST_F(Platform, InstalledFontIsInTheFontsFolderAndRegistered) {
    setEnv("XDG_DATA_HOME", dir); // the fonts folder off Windows
    const fs::path font = dir / "WsTestSans.ttf";
    fs::copy_file(hostPath("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"), font);
    ASSERT_TRUE(platform::InstallFont(font)); // on Windows: AddFontResourceW took it
    const fs::path installed = platform::FontsFolder() / "WsTestSans.ttf";
    EXPECT_EQ(ReadAll(installed), ReadAll(font));
#ifdef _WIN32
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE,
                           L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                           L"WsTestSans (TrueType)", RRF_RT_REG_SZ, nullptr, value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(value), L"WsTestSans.ttf");
#endif
}

TEST_F(Platform, PerUserFolderTakesOverWhenTheProgramFolderIsReadOnly) {
    const fs::path program = dir / "program", user = dir / "user";
    fs::create_directories(program);
    writeFile(program / "info.ini", "<leftr>2</leftr>");
    const std::vector<std::string> files = {"info.ini", "SmsSetup.inf"};
    EXPECT_TRUE(platform::CanCreateFilesIn(program));

    EXPECT_EQ(platform::ChooseDataFolder(program, true, user, files), program);
    EXPECT_FALSE(fs::exists(user));
    // First run: the folder is made and the existing settings carried over, once.
    EXPECT_EQ(platform::ChooseDataFolder(program, false, user, files), user);
    EXPECT_EQ(ReadAll(user / "info.ini"), "<leftr>2</leftr>");
    EXPECT_FALSE(fs::exists(user / "SmsSetup.inf"));
    writeFile(user / "info.ini", "<leftr>5</leftr>");
    EXPECT_EQ(platform::ChooseDataFolder(program, false, user, files), user);
    EXPECT_EQ(ReadAll(user / "info.ini"), "<leftr>5</leftr>");
#ifdef _WIN32
    wchar_t local[MAX_PATH] = {};
    GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
    EXPECT_EQ(platform::PerUserFolder("TicketDesk"), fs::path(local) / "TicketDesk");
#endif
}

TEST_F(Platform, OwnerOnlyGrantsNobodyElse) {
    const fs::path file = dir / "UP.ini";
    writeFile(file, "secret");
#ifndef _WIN32
    chmod(file.c_str(), 0644);
#endif
    EXPECT_FALSE(platform::IsOwnerOnly(file));
    ASSERT_TRUE(platform::RestrictToOwner(file));
    EXPECT_TRUE(platform::IsOwnerOnly(file)); // the ACL read back on Windows
}

TEST_F(Platform, OutputIsUtf8AndArgumentsArriveWhole) {
    const fs::path out = dir / "out.txt";
#ifdef _WIN32
    HANDLE file = CreateFileW(out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, file);
    platform::WriteOutput("行程单 CA1234\n");
    SetStdHandle(STD_OUTPUT_HANDLE, saved);
    CloseHandle(file);
#else
    const int saved = dup(1), file = open(out.c_str(), O_WRONLY | O_CREAT, 0600);
    dup2(file, 1);
    platform::WriteOutput("行程单 CA1234\n");
    dup2(saved, 1);
    close(file);
#endif
    EXPECT_EQ(ReadAll(out), "行程单 CA1234\n");
    EXPECT_EQ(platform::Arguments(gArgc, gArgv).back(), "--utf8-arg=行程单");
}

#ifdef _WIN32
TEST(Program, VersionIconAndManifestAreBuiltIn) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::string block(GetFileVersionInfoSizeW(self, nullptr), '\0');
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    ASSERT_TRUE(GetFileVersionInfoW(self, 0, DWORD(block.size()), block.data()) &&
                VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &size));
    EXPECT_EQ(info->dwFileVersionMS, DWORD(WS_VERSION_MAJOR << 16 | WS_VERSION_MINOR));
    EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)), nullptr); // icon
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
