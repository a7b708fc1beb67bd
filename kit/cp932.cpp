#include "kit/cp932.h"

#include "core/cp932.h"
#include "core/unicode_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

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
        if (!read_utf8_char(text, at, c))
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
        if (!read_utf8_char(utf8, at, c)) {
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
            if (!read_utf8_char(text, at, c)) {
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
