#pragma once
#include <string>
#include <utility>

#include "display/definition.h"
#include "display/profile_text.h"

// The whole file, or at most limit bytes of it; false when it cannot be opened or read.
bool ReadFileBytes(const std::string& path, size_t limit, std::string& bytes);

// A profile file whose text is stored in code page 932 (VLD.INI, WebPage.url), read on every
// system by the same rules as the platform's profile functions, and handed out as the
// program's UTF-8. As those functions do, a file that begins with a UTF-8 or UTF-16
// byte-order mark is read in that encoding instead. A missing file reads as one without keys.
class StoredProfile : public ProfileReader {
public:
    explicit StoredProfile(const std::string& file_path);
    std::string read_text(const char* section, const char* key, const char* fallback) override;
    int32_t read_int(const char* section, const char* key, int32_t fallback) override;
    // The value's stored bytes, cut at 260 bytes, or fallback when the key is missing.
    std::string read_stored_bytes(const char* section, const char* key, const char* fallback);
    // Stored bytes of this file, cut or not, as UTF-8.
    std::string as_utf8(const std::string& stored) const;

private:
    explicit StoredProfile(std::pair<std::string, bool> text);
    ProfileText text_;
    bool utf8_ = false;
};

// Stored code page 932 text as UTF-8. A cut that fell inside a two-byte character leaves its
// lead byte alone at the end; that half character is dropped, as the platform's profile
// functions never hand out half a character.
std::string StoredTextAsUtf8(const std::string& bytes);
