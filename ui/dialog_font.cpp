#include "ui/dialog_font.h"

#include <algorithm>

namespace {

constexpr uint8_t kShiftJisCharset = 128;
constexpr uint8_t kDefaultCharset = 1;
constexpr uint32_t kSetFont = 0x40;  // DS_SETFONT

const char16_t kTemplatesFace[] = u"ＭＳ Ｐゴシック";

// Faces with the Japanese characters that Windows installs, nearest to the templates' own first:
// the same face under its English name, then the UI faces of later versions.
const char16_t* const kJapaneseFaces[] = {u"MS PGothic", u"Yu Gothic UI", u"Meiryo UI", u"MS UI Gothic"};

char16_t fold_ascii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// Face names match as the font mapper matches them: without regard to the case of their letters.
bool same_face(const std::u16string& a, const std::u16string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return fold_ascii(x) == fold_ascii(y); });
}

bool installed(const InstalledFonts& fonts, const std::u16string& face)
{
    return std::any_of(fonts.families.begin(), fonts.families.end(),
                       [&](const std::u16string& family) { return same_face(family, face); });
}

uint16_t read16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

// Moves past a text and its ending zero. False when it runs off the end.
bool skip_text(const uint8_t* bytes, size_t size, size_t& at)
{
    for (; at + 2 <= size; at += 2)
        if (read16(bytes + at) == 0) {
            at += 2;
            return true;
        }
    return false;
}

// Moves past a menu or class field: none, an ordinal, or a text.
bool skip_name_or_ordinal(const uint8_t* bytes, size_t size, size_t& at)
{
    if (at + 2 <= size && read16(bytes + at) == 0xFFFF) {
        at += 4;
        return at <= size;
    }
    return skip_text(bytes, size, at);
}

size_t dword_aligned(size_t at) { return (at + 3) & ~size_t{3}; }

}  // namespace

const char16_t kDialogCharacters[] = u"Velmora２ 0123456789 バージョン情報マスコットの設定閉じる（）";

DialogFace choose_dialog_face(const InstalledFonts& fonts)
{
    if (installed(fonts, kTemplatesFace))
        return {};
    for (const char16_t* face : kJapaneseFaces)
        if (installed(fonts, face))
            return {false, face, kShiftJisCharset};
    for (const std::u16string& family : fonts.japanese_families)
        // Faces whose names start with @ are the same faces turned for vertical writing.
        if (!family.empty() && family[0] != u'@')
            return {false, family, kShiftJisCharset};
    if (!fonts.ui_face.empty())
        return {false, fonts.ui_face, kDefaultCharset};
    return {};
}

std::vector<uint8_t> template_with_face(const uint8_t* bytes, size_t size, const std::u16string& face,
                                        uint8_t charset)
{
    if (!bytes || size < 4)
        return {};
    const bool extended = bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
    const size_t style_at = extended ? 12 : 0;
    size_t at = extended ? 26 : 18;
    if (size < at)
        return {};
    const uint32_t style = read16(bytes + style_at) | uint32_t{read16(bytes + style_at + 2)} << 16;
    if (!(style & kSetFont))
        return {};
    if (!skip_name_or_ordinal(bytes, size, at) || !skip_name_or_ordinal(bytes, size, at) || !skip_text(bytes, size, at))
        return {};
    // The point size, and in the extended form the weight, the italic flag and the character set.
    const size_t face_at = at + (extended ? 6 : 2);
    size_t after_face = face_at;
    if (face_at > size || !skip_text(bytes, size, after_face))
        return {};

    std::vector<uint8_t> out(bytes, bytes + face_at);
    if (extended)
        out[face_at - 1] = charset;
    for (char16_t c : face) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    // The controls start on the next four-byte boundary in either copy, so their own alignment
    // within the template stays as it was.
    const size_t controls_at = std::min(dword_aligned(after_face), size);
    out.resize(dword_aligned(out.size()), 0);
    out.insert(out.end(), bytes + controls_at, bytes + size);
    return out;
}
