#include "display/profile_win.h"

#include <windows.h>

#include <vector>

#include "core/cp932.h"
#include "core/unicode_text.h"
#include "core/wide_text_win.h"
#include "display/shared_read_win.h"

namespace {

// A definition or shortcut is a few hundred bytes; a larger file is read only this far.
constexpr size_t kProfileLimit = 1u << 20;

// The file's text and whether it is UTF-8 (marked as UTF-8 or UTF-16) rather than code page 932.
std::pair<std::string, bool> ProfileBytes(const std::string& path)
{
    std::string bytes;
    ReadFileBytes(path, kProfileLimit, bytes);
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return {bytes.substr(3), true};
    const bool little = bytes.compare(0, 2, "\xFF\xFE") == 0;
    if (!little && bytes.compare(0, 2, "\xFE\xFF") != 0)
        return {bytes, false};
    std::u16string text;
    for (size_t at = 2; at + 1 < bytes.size(); at += 2) {
        const auto first = static_cast<unsigned char>(bytes[at]), second = static_cast<unsigned char>(bytes[at + 1]);
        text += static_cast<char16_t>(little ? first | (second << 8) : (first << 8) | second);
    }
    return {utf16_to_utf8(text), true};
}

// A cut that fell inside a UTF-8 character drops what is there of it.
std::string WholeUtf8(std::string text)
{
    size_t start = text.size();
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80)
        --start;
    if (start > 0 && static_cast<unsigned char>(text[start - 1]) >= 0xC0) {
        const auto lead = static_cast<unsigned char>(text[start - 1]);
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (text.size() - (start - 1) < length)
            text.resize(start - 1);
    }
    return text;
}

}  // namespace

bool ReadFileBytes(const std::string& path, size_t limit, std::string& bytes)
{
    bytes.clear();
    const HANDLE file = OpenSharedRead(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const DWORD size = GetFileSize(file, nullptr);
    bool read_all = false;
    if (size != INVALID_FILE_SIZE) {
        const DWORD wanted = size < limit ? size : static_cast<DWORD>(limit);
        std::vector<char> buffer(static_cast<size_t>(wanted) + 1);
        DWORD read = 0;
        read_all = ReadFile(file, buffer.data(), wanted, &read, nullptr) != 0;
        if (read_all)
            bytes.assign(buffer.data(), read);
    }
    CloseHandle(file);
    return read_all;
}

std::string StoredTextAsUtf8(const std::string& bytes)
{
    std::string utf8;
    if (cp932_to_utf8_text(bytes, utf8) || bytes.empty())
        return utf8;
    size_t at = 0;
    char32_t c = 0;
    while (at < bytes.size() && decode_cp932_char(bytes, at, c)) {
    }
    if (at + 1 == bytes.size() && is_cp932_lead(static_cast<unsigned char>(bytes[at])))
        cp932_to_utf8_text(bytes.substr(0, at), utf8);
    return utf8;
}

StoredProfile::StoredProfile(const std::string& file_path) : StoredProfile(ProfileBytes(file_path)) {}

StoredProfile::StoredProfile(std::pair<std::string, bool> text) : text_(text.first), utf8_(text.second) {}

std::string StoredProfile::read_text(const char* section, const char* key, const char* fallback)
{
    return as_utf8(read_stored_bytes(section, key, fallback));
}

std::string StoredProfile::as_utf8(const std::string& stored) const
{
    return utf8_ ? WholeUtf8(stored) : StoredTextAsUtf8(stored);
}

int32_t StoredProfile::read_int(const char* section, const char* key, int32_t fallback)
{
    return text_.read_int(section, key, fallback);
}

std::string StoredProfile::read_stored_bytes(const char* section, const char* key, const char* fallback)
{
    return text_.read_text(section, key, fallback);
}
