#include "core/unicode_text.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Malformed, overlong or surrogate sequences read as one U+FFFD for their first byte.
char32_t next_utf8(const std::string& text, size_t& at)
{
    char32_t c = 0;
    if (read_utf8_char(text, at, c))
        return c;
    ++at;
    return kReplacement;
}

}  // namespace

bool read_utf8_char(const std::string& text, size_t& at, char32_t& c)
{
    const unsigned char first = static_cast<unsigned char>(text[at]);
    size_t length = 0;
    char32_t least = 0;
    if (first < 0x80) {
        c = first;
        ++at;
        return true;
    } else if ((first & 0xE0) == 0xC0) {
        length = 2, c = first & 0x1F, least = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3, c = first & 0x0F, least = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4, c = first & 0x07, least = 0x10000;
    } else {
        return false;
    }
    if (text.size() - at < length)
        return false;
    for (size_t i = 1; i < length; ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[at + i]);
        if ((byte & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (byte & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    at += length;
    return true;
}

void append_utf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}


std::u16string utf8_to_utf16(const std::string& utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    size_t at = 0;
    while (at < utf8.size()) {
        const char32_t c = next_utf8(utf8, at);
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string utf16_to_utf8(const std::u16string& utf16)
{
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = kReplacement;
        append_utf8(out, c);
    }
    return out;
}
