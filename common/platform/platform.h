#pragma once
// Everything that differs between Windows and Linux, in plain C++: the standard library
// and the platform's own API. windows_platform.cpp and linux_platform.cpp implement it;
// shared.cpp holds what is the same on both. Qt code reaches it through thin wrappers
// (common/code_page, fso, program_folder, update/registrar, the printer surface).
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using Path = std::filesystem::path;

// ---- Code pages: GBK (936) and GB18030 (54936).
enum class CodePage : unsigned { Gbk = 936, Gb18030 = 54936 };
// Strict: false (out untouched) when a byte sequence is not a character of the code page.
bool DecodeStrict(CodePage cp, std::string_view bytes, std::u16string& out);
// Characters the code page lacks (and lone surrogates) become "?". False when the
// converter is missing.
bool Encode(CodePage cp, std::u16string_view text, std::string& out);
// Lenient: each byte that starts no valid character becomes U+FFFD; decoding goes on
// at the next byte. Same result on every platform.
std::u16string Decode(CodePage cp, std::string_view bytes);

// ---- Component registration.
enum class RegisterStatus { Called, NotLibrary, NoEntryPoint };
struct RegisterResult {
    RegisterStatus status = RegisterStatus::NotLibrary;
    std::int32_t hresult = 0; // the entry point's answer (Called only); below 0 is failure
};
// Loads the library and calls entry ("DllRegisterServer" or "DllUnregisterServer") with
// COM initialised on the calling thread. The library stays loaded until the process ends.
RegisterResult CallRegistrationEntry(const Path& library, const char* entry);

// ---- Modules of the program.
// Loads the library fileName from the program's own folder, its symbols visible to every
// library loaded after it, and returns the address of entry; null when the library or
// the entry is missing (error says which, and why). The library stays loaded.
void* LoadProgramModule(const std::string& fileName, const char* entry, std::string& error);

// ---- Folders and fonts.
Path SystemFolder();
Path FontsFolder();
// Registers a font file: copied into the fonts folder unless it is there already, then
// made known to the system (Windows: AddFontResourceW, the value under the Fonts key of
// the machine, WM_FONTCHANGE to every window). False when a step failed.
bool InstallFont(const Path& file);

// ---- Where settings files live.
// True when a file can be created in folder (a probe file, removed at once).
bool CanCreateFilesIn(const Path& folder);
// The per-user folder named name (%LOCALAPPDATA%\name; $XDG_DATA_HOME/name or
// ~/.local/share/name).
Path PerUserFolder(const std::string& name);
// programFolder when programFolderWritable; otherwise userFolder. When userFolder is made
// here, each of files that programFolder holds is copied into it (once: later runs find
// the folder and copy nothing). Empty when userFolder cannot be made.
Path ChooseDataFolder(const Path& programFolder, bool programFolderWritable, const Path& userFolder,
                      const std::vector<std::string>& files);

// ---- Owner-only files (passwords).
// Only the current user may read or write the file (Windows: a protected ACL with one
// entry, for the current user; Linux: mode 600).
bool RestrictToOwner(const Path& file);
// True when nobody but the current user is granted access.
bool IsOwnerOnly(const Path& file);

// ---- Print jobs.
enum class JobStatus { Accepted, Refused, PrinterOffline };
// The last job sent to the printer (named printer, document docName) as the print system
// sees it right after it was handed over.
JobStatus LastJobStatus(const std::string& printerUtf8, const std::string& docNameUtf8);

// ---- Console and command line.
// A windowed program started from a console prints its headless output there: attaches
// to the parent's console when standard output goes nowhere. Nothing to do on Linux.
void AttachParentConsole();
// UTF-8 text to standard output (or error). A console shows it in Unicode whatever its
// code page; a file or pipe gets the UTF-8 bytes.
void WriteOutput(std::string_view utf8, bool toError = false);
// The program's arguments as UTF-8, from the wide command line on Windows.
std::vector<std::string> Arguments(int argc, char* argv[]);

// ---- Elevation.
bool IsElevated();
// Starts this program again with administrator rights and the given arguments (without
// the program itself); true when the new copy started (the user agreed). Linux: false.
bool RestartElevated(const std::vector<std::string>& args);

} // namespace platform
