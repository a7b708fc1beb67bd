#include "kit/cp932.h"

#include "core/cp932.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

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

// Reads one UTF-8 character at `at`; false on malformed, overlong or surrogate sequences.
bool next_utf8(const std::string& text, size_t& at, char32_t& c)
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

// Advances the position past one character that has been read.
void step(TextPosition& position, char32_t c)
{
    if (c == '\n') {
        ++position.line;
        position.column = 1;
    } else {
        ++position.column;
    }
}

}  // namespace

bool is_valid_utf8(const std::string& text)
{
    size_t at = 0;
    char32_t c = 0;
    while (at < text.size())
        if (!next_utf8(text, at, c))
            return false;
    return true;
}

bool utf8_to_cp932(const std::string& utf8, std::string& out, TextFault& fault)
{
    out.clear();
    TextPosition position;
    size_t at = 0;
    while (at < utf8.size()) {
        char32_t c = 0;
        if (!next_utf8(utf8, at, c)) {
            fault = TextFault{position, 0};
            return false;
        }
        if (!encode_cp932_char(c, out)) {
            fault = TextFault{position, c};
            return false;
        }
        step(position, c);
    }
    return true;
}

bool cp932_to_utf8(const std::string& bytes, std::string& out, TextFault& fault)
{
    out.clear();
    TextPosition position;
    size_t at = 0;
    while (at < bytes.size()) {
        char32_t c = 0;
        if (!decode_cp932_char(bytes, at, c)) {
            fault = TextFault{position, 0};
            return false;
        }
        append_utf8(out, c);
        step(position, c);
    }
    return true;
}

std::string cp932_for_display(const std::string& bytes)
{
    std::string out;
    size_t at = 0;
    while (at < bytes.size()) {
        char32_t c = 0;
        if (!decode_cp932_char(bytes, at, c)) {
            c = 0xFFFD;
            ++at;
        }
        append_utf8(out, c);
    }
    return out;
}

bool author_text_to_utf8(const std::string& bytes, std::string& utf8, AuthorEncoding& found, TextFault& fault)
{
    static const char kByteOrderMark[] = "\xEF\xBB\xBF";
    const bool marked = bytes.compare(0, 3, kByteOrderMark) == 0;
    const std::string text = marked ? bytes.substr(3) : bytes;
    if (marked || is_valid_utf8(text)) {
        found = AuthorEncoding::utf8;
        TextPosition position;
        size_t at = 0;
        char32_t c = 0;
        while (at < text.size()) {
            if (!next_utf8(text, at, c)) {
                fault = TextFault{position, 0};
                return false;
            }
            step(position, c);
        }
        utf8 = text;
        return true;
    }
    found = AuthorEncoding::cp932;
    return cp932_to_utf8(text, utf8, fault);
}

namespace {

// The lower case of a letter whose pair code page 932 holds both halves of; others stay.
char32_t fold_letter(char32_t c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) ||
        (c >= 0x0410 && c <= 0x042F))
        return c + 0x20;
    if (c >= 0x0400 && c <= 0x040F)
        return c + 0x50;
    if (c >= 0x2160 && c <= 0x216F)
        return c + 0x10;
    return c;
}

}  // namespace

std::u32string file_name_key(const std::string& cp932)
{
    // A byte that starts no character keeps a value past Unicode's end, so it matches only itself.
    constexpr char32_t kLoneByte = 0x110000;
    std::u32string key;
    size_t at = 0;
    while (at < cp932.size()) {
        char32_t c = 0;
        if (decode_cp932_char(cp932, at, c)) {
            key += fold_letter(c);
        } else {
            key += kLoneByte + static_cast<unsigned char>(cp932[at]);
            ++at;
        }
    }
    return key;
}

bool same_file_name(const std::string& a, const std::string& b) { return file_name_key(a) == file_name_key(b); }

std::string describe_character(char32_t character)
{
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    std::string text = code;
    if (character >= 0x20 && character != 0x7F) {
        text += " \"";
        append_utf8(text, character);
        text += "\"";
    }
    return text;
}
