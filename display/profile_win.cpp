#include "display/profile_win.h"

#include <windows.h>

#include <vector>

#include "core/cp932.h"
#include "core/wide_text_win.h"
#include "display/shared_read_win.h"

namespace {

// A definition or shortcut is a few hundred bytes; a larger file is read only this far.
constexpr size_t kProfileLimit = 1u << 20;

std::string ProfileBytes(const std::string& path)
{
    std::string bytes;
    ReadFileBytes(path, kProfileLimit, bytes);
    return bytes;
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

StoredProfile::StoredProfile(const std::string& file_path) : text_(ProfileBytes(file_path)) {}

std::string StoredProfile::read_text(const char* section, const char* key, const char* fallback)
{
    return StoredTextAsUtf8(read_stored_bytes(section, key, fallback));
}

int32_t StoredProfile::read_int(const char* section, const char* key, int32_t fallback)
{
    return text_.read_int(section, key, fallback);
}

std::string StoredProfile::read_stored_bytes(const char* section, const char* key, const char* fallback)
{
    return text_.read_text(section, key, fallback);
}
