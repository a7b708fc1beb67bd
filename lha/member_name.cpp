#include "lha/member_name.h"

#include <cctype>

namespace {

bool is_separator(unsigned char byte) { return byte == '\\' || byte == '/' || byte == 0xFF; }

bool equals_ignoring_case(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return i == a.size() && b[i] == 0;
}

// Windows opens these as devices whatever the folder or extension, and also when
// trailing spaces or dots follow the base name.
bool is_device_name(const std::string& name) {
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && (base.back() == ' ' || base.back() == '.')) base.pop_back();
    static const char* const fixed[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"};
    for (const char* device : fixed)
        if (equals_ignoring_case(base, device)) return true;
    if (base.size() == 4 && (equals_ignoring_case(base.substr(0, 3), "COM") || equals_ignoring_case(base.substr(0, 3), "LPT")))
        return base[3] >= '1' && base[3] <= '9';
    return false;
}

} // namespace

bool is_cp932_lead_byte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

std::string last_name_component(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(path[i]);
        if (is_cp932_lead_byte(byte) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (is_separator(byte)) start = i + 1;
    }
    return path.substr(start);
}

std::string flat_name_of(const std::string& path) {
    std::string name = last_name_component(path);
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
        // Only a lone '.' or '..' keeps its dots, so that it is refused by name.
        if (name == "." || name == "..") break;
        name.pop_back();
    }
    return name;
}

bool is_safe_flat_name(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(name[i]);
        if (is_cp932_lead_byte(byte)) {
            // A lead byte must have its trail byte; a name cut in the middle of a
            // character would turn its last byte into something else.
            if (i + 1 >= name.size()) return false;
            const unsigned char trail = static_cast<unsigned char>(name[i + 1]);
            if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return false;
            ++i;
            continue;
        }
        // 0x80, 0xA0, 0xFD-0xFF are not characters in code page 932; Windows would
        // turn them into something other than what the archive said.
        if (byte < 0x20 || byte == 0x7F || byte == 0x80 || byte == 0xA0 || byte >= 0xFD) return false;
        switch (byte) {
        case ':': case '\\': case '/': case '*': case '?': case '"': case '<': case '>': case '|':
            return false;
        default:
            break;
        }
    }
    // Windows drops trailing dots and spaces, so a name ending in one would be
    // created under another name than the one checked here.
    const char last = name.back();
    if (last == '.' || last == ' ') return false;
    return !is_device_name(name);
}
