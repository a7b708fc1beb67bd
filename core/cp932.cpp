#include "core/cp932.h"

#include <algorithm>
#include <cstdint>

#include "core/unicode_text.h"

namespace {

struct Cp932Pair {
    uint16_t code;
    uint16_t unicode;
};

#include "core/cp932_table.inc"

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

bool is_cp932_lead(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

bool decode_cp932_char(const std::string& bytes, size_t& at, char32_t& c)
{
    if (at >= bytes.size())
        return false;
    const unsigned char first = static_cast<unsigned char>(bytes[at]);
    if (first < 0x80) {
        c = first;
        ++at;
        return true;
    }
    if (first >= 0xA1 && first <= 0xDF) {
        c = 0xFF61 + (first - 0xA1);
        ++at;
        return true;
    }
    if (!is_cp932_lead(first) || at + 1 >= bytes.size())
        return false;
    const uint16_t code = static_cast<uint16_t>((first << 8) | static_cast<unsigned char>(bytes[at + 1]));
    const Cp932Pair* end = kDecodePairs + sizeof kDecodePairs / sizeof kDecodePairs[0];
    const Cp932Pair* found =
        std::lower_bound(kDecodePairs, end, code, [](const Cp932Pair& p, uint16_t v) { return p.code < v; });
    if (found == end || found->code != code)
        return false;
    c = found->unicode;
    at += 2;
    return true;
}

bool encode_cp932_char(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
        return true;
    }
    if (c >= 0xFF61 && c <= 0xFF9F) {
        out += static_cast<char>(c - 0xFF61 + 0xA1);
        return true;
    }
    if (c > 0xFFFF)
        return false;
    const Cp932Pair* end = kEncodePairs + sizeof kEncodePairs / sizeof kEncodePairs[0];
    const Cp932Pair* found = std::lower_bound(kEncodePairs, end, c,
                                              [](const Cp932Pair& p, char32_t u) { return p.unicode < u; });
    if (found == end || found->unicode != c)
        return false;
    out += static_cast<char>(found->code >> 8);
    out += static_cast<char>(found->code & 0xFF);
    return true;
}

bool cp932_to_utf16(const std::string& bytes, std::u16string& out)
{
    out.clear();
    bool exact = true;
    size_t at = 0;
    while (at < bytes.size()) {
        char32_t c = 0;
        if (!decode_cp932_char(bytes, at, c)) {
            c = kReplacement;
            ++at;
            exact = false;
        }
        out += static_cast<char16_t>(c);  // the code page holds nothing beyond U+FFFF
    }
    return exact;
}

bool utf16_to_cp932(const std::u16string& text, std::string& out)
{
    out.clear();
    for (const char16_t unit : text)
        if ((unit >= 0xD800 && unit <= 0xDFFF) || !encode_cp932_char(unit, out))
            return false;
    return true;
}

bool cp932_to_utf8_text(const std::string& bytes, std::string& utf8)
{
    std::u16string wide;
    const bool exact = cp932_to_utf16(bytes, wide);
    utf8 = utf16_to_utf8(wide);
    return exact;
}

bool utf8_to_cp932_text(const std::string& utf8, std::string& bytes)
{
    const std::u16string wide = utf8_to_utf16(utf8);
    // Malformed UTF-8 reads as U+FFFD, which the code page lacks, so it fails here too.
    return utf16_to_cp932(wide, bytes);
}
