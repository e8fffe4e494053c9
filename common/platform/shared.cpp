// The parts of the platform layer that are the same on every platform.
#include "common/platform/platform.h"

#include <system_error>

namespace platform {

namespace {

// Length of the character starting at bytes[i], by the code page's byte structure alone:
// 1 (single byte, or a byte that starts nothing), 2 (lead and trail) or 4 (GB18030's
// four-byte form). Whether the code page defines it is the converter's answer.
std::size_t unitLength(CodePage cp, std::string_view bytes, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x81 || lead == 0xFF || i + 1 >= bytes.size()) return 1;
    const unsigned char second = at(i + 1);
    if (cp == CodePage::Gb18030 && second >= 0x30 && second <= 0x39)
        return i + 3 < bytes.size() ? 4 : 1;
    return (second >= 0x40 && second != 0x7F && second != 0xFF) ? 2 : 1;
}

// Splits at unit boundaries until each part either decodes or is one unit, which then
// gives U+FFFD for its first byte and is read again from the next.
void decodeRange(CodePage cp, std::string_view bytes, std::u16string& out) {
    std::u16string part;
    while (!bytes.empty()) {
        if (DecodeStrict(cp, bytes, part)) {
            out += part;
            return;
        }
        std::vector<std::size_t> starts;
        for (std::size_t i = 0; i < bytes.size(); i += unitLength(cp, bytes, i))
            starts.push_back(i);
        if (starts.size() == 1) {
            out += u'\uFFFD';
            bytes.remove_prefix(1);
            continue;
        }
        const std::size_t mid = starts[starts.size() / 2];
        decodeRange(cp, bytes.substr(0, mid), out);
        bytes.remove_prefix(mid);
    }
}

} // namespace

std::u16string Decode(CodePage cp, std::string_view bytes) {
    std::u16string out;
    decodeRange(cp, bytes, out);
    return out;
}

Path ChooseDataFolder(const Path& programFolder, bool programFolderWritable, const Path& userFolder,
                      const std::vector<std::string>& files) {
    if (programFolderWritable) return programFolder;
    std::error_code ec;
    if (std::filesystem::is_directory(userFolder, ec)) return userFolder;
    std::filesystem::create_directories(userFolder, ec);
    if (ec) return {};
    for (const std::string& name : files) {
        const Path from = programFolder / Path(name);
        if (std::filesystem::is_regular_file(from, ec))
            std::filesystem::copy_file(from, userFolder / Path(name), ec);
    }
    return userFolder;
}

} // namespace platform
