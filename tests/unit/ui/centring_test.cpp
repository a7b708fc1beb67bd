#include "ui/centring.h"
#include "ui/dialog_font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace {

struct CentringRow {
    int32_t extent, size, expected;
};

TEST(Centring, OffsetRoundsTowardZeroForBothSigns)
{
    const CentringRow rows[] = {
        {1024, 101, 461},      // 461.5 rounds down
        {1024, 100, 462},      // exact half
        {768, 768, 0},         // fills the screen
        {1024, 1025, 0},       // -0.5 rounds up to 0, not down to -1
        {1024, 1027, -1},      // -1.5 rounds toward zero
        {800, 1000, -100},     // larger than the screen: negative
        {0, 0, 0},
        {INT32_MAX, INT32_MIN, INT32_MAX},  // no overflow on extreme sizes
    };
    for (const CentringRow& row : rows)
        EXPECT_EQ(CentredOffset(row.extent, row.size), row.expected) << row.extent << " " << row.size;
}

TEST(Centring, OriginCentresEachAxisOnItsOwn)
{
    const CentredPoint point = CentredOrigin(1024, 768, 101, 900);
    EXPECT_EQ(point.x, 461);
    EXPECT_EQ(point.y, -66);
}

}  // namespace

namespace {

// A template head of `size` bytes: the style at `style_at`, x and y at `x_at`, every other byte
// 0xAB so that a write outside them shows.
std::vector<uint8_t> template_head(bool extended, uint32_t style, size_t size)
{
    std::vector<uint8_t> bytes(size, 0xAB);
    const size_t style_at = extended ? 12 : 0;
    if (extended && size >= 4) {
        bytes[0] = 1;
        bytes[1] = 0;
        bytes[2] = bytes[3] = 0xFF;
    }
    for (size_t i = 0; i < 4 && style_at + i < size; ++i)
        bytes[style_at + i] = static_cast<uint8_t>(style >> (8 * i));
    return bytes;
}

}  // namespace

TEST(Centring, SheetTemplateMadeAtTheScreensOrigin)
{
    const uint32_t modal = 0x80C800C4;  // popup, caption, system menu, modal frame, set font
    struct Row {
        const char* what;
        bool extended;
        uint32_t style;
        size_t size;
        bool placed;
        uint32_t expected_style;
    };
    const Row rows[] = {
        {"older form", false, modal, 24, true, modal | 0x1},
        {"older form centred", false, modal | 0x0800, 24, true, modal | 0x1},
        {"older form centred on the mouse", false, modal | 0x1000, 24, true, modal | 0x1},
        {"extended form centred", true, modal | 0x0800, 24, true, modal | 0x1},
        {"already absolute", false, modal | 0x1, 24, true, modal | 0x1},
        {"older form cut before its position", false, modal, 13, false, modal},
        {"extended form cut before its position", true, modal | 0x0800, 21, false, modal | 0x0800},
        {"too short to tell the form", false, modal, 3, false, modal},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> bytes = template_head(row.extended, row.style, row.size);
        const std::vector<uint8_t> before = bytes;
        EXPECT_EQ(place_template_at_screen_origin(bytes.data(), bytes.size()), row.placed) << row.what;
        const size_t style_at = row.extended ? 12 : 0, x_at = row.extended ? 18 : 10;
        if (!row.placed) {
            EXPECT_EQ(bytes, before) << row.what;
            continue;
        }
        uint32_t style = 0;
        for (int i = 3; i >= 0; --i)
            style = style << 8 | bytes[style_at + i];
        EXPECT_EQ(style, row.expected_style) << row.what;
        for (size_t i = 0; i < bytes.size(); ++i) {
            const bool position = i >= x_at && i < x_at + 4;
            const bool style_byte = i >= style_at && i < style_at + 4;
            const bool signature = row.extended && i < 4;
            if (position) {
                EXPECT_EQ(bytes[i], 0) << row.what << " byte " << i;
            } else if (!style_byte && !signature) {
                EXPECT_EQ(bytes[i], before[i]) << row.what << " byte " << i;
            }
        }
    }
    EXPECT_FALSE(place_template_at_screen_origin(nullptr, 24));
}

namespace {

// A whole dialog template as the resource compiler writes one: header, menu and class fields,
// title, font, then its controls from the next four-byte boundary.
struct TemplateParts {
    bool extended = true;
    uint32_t style = 0x80C800C4;
    std::vector<uint16_t> menu = {0};
    std::vector<uint16_t> window_class = {0};
    std::u16string title = u"設定";
    std::u16string face = u"ＭＳ Ｐゴシック";
    uint8_t charset = 0x80;
};

std::vector<uint8_t> dialog_template(const TemplateParts& parts)
{
    std::vector<uint8_t> out;
    auto put16 = [&](uint32_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto put32 = [&](uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
    auto put_text = [&](const std::u16string& text) {
        for (char16_t c : text)
            put16(c);
        put16(0);
    };
    if (parts.extended) {
        put16(1), put16(0xFFFF), put32(0), put32(0), put32(parts.style);
    } else {
        put32(parts.style), put32(0);
    }
    put16(2);  // two controls
    for (int v : {0, 0, 209, 139})
        put16(static_cast<uint16_t>(v));
    for (uint16_t v : parts.menu)
        put16(v);
    for (uint16_t v : parts.window_class)
        put16(v);
    put_text(parts.title);
    if (parts.style & 0x40) {
        put16(9);
        if (parts.extended) {
            put16(400);
            out.push_back(0);
            out.push_back(parts.charset);
        }
        put_text(parts.face);
    }
    out.resize((out.size() + 3) & ~size_t{3}, 0);
    for (int i = 0; i < 37; ++i)  // the controls, as bytes the patch must carry over unchanged
        out.push_back(static_cast<uint8_t>(0x40 + i));
    return out;
}

}  // namespace

TEST(DialogFont, FaceNearestToTheTemplatesWhereTheirsIsMissing)
{
    struct Row {
        const char* what;
        InstalledFonts fonts;
        DialogFace expected;
    };
    const Row rows[] = {
        {"the templates' face", {{u"Arial", u"ＭＳ Ｐゴシック", u"Yu Gothic UI"}, {u"ＭＳ Ｐゴシック"}, u"Segoe UI"}, {}},
        {"the same face under its English name", {{u"Yu Gothic UI", u"ms pgothic"}, {}, u"Segoe UI"},
         {false, u"MS PGothic", 0x80}},
        {"Windows 10 without the Japanese fonts", {{u"Segoe UI", u"Yu Gothic", u"Yu Gothic UI"}, {u"Yu Gothic"}, u"Segoe UI"},
         {false, u"Yu Gothic UI", 0x80}},
        {"Windows 7 with Meiryo", {{u"Meiryo UI", u"MS UI Gothic"}, {u"Meiryo"}, u"Segoe UI"},
         {false, u"Meiryo UI", 0x80}},
        {"another Japanese face, upright", {{u"Tahoma", u"IPAPGothic"}, {u"@IPAPGothic", u"IPAPGothic"}, u"Tahoma"},
         {false, u"IPAPGothic", 0x80}},
        {"no Japanese face: the UI font and its links", {{u"Segoe UI"}, {u"@Odd"}, u"Segoe UI"},
         {false, u"Segoe UI", 1}},
        {"nothing known", {{}, {}, u""}, {}},
    };
    for (const Row& row : rows) {
        const DialogFace chosen = choose_dialog_face(row.fonts);
        EXPECT_EQ(chosen.keeps_templates, row.expected.keeps_templates) << row.what;
        EXPECT_TRUE(chosen.face == row.expected.face) << row.what;
        EXPECT_EQ(chosen.charset, row.expected.charset) << row.what;
    }
}

TEST(DialogFont, TemplateNamesTheFaceAndKeepsItsControls)
{
    struct Row {
        const char* what;
        TemplateParts parts;
        std::u16string face;
        uint8_t charset;
    };
    const Row rows[] = {
        {"longer face", {}, u"Yu Gothic UI", 0x80},
        {"shorter face moves the controls", {}, u"A", 1},
        {"face of the same length", {}, u"1234567", 0x80},
        {"older form", {false}, u"Meiryo UI", 0x80},
        {"ordinal menu and class", {true, 0x80C800C4, {0xFFFF, 7}, {0xFFFF, 0x8002}}, u"Segoe UI", 1},
        {"named menu and class, empty title", {false, 0x80C800C4, {u'M', 0}, {u'C', u'L', 0}, u""}, u"Segoe UI", 1},
    };
    for (const Row& row : rows) {
        const std::vector<uint8_t> before = dialog_template(row.parts);
        TemplateParts after_parts = row.parts;
        after_parts.face = row.face;
        if (row.parts.extended)
            after_parts.charset = row.charset;
        EXPECT_EQ(template_with_face(before.data(), before.size(), row.face, row.charset), dialog_template(after_parts))
            << row.what;
    }
}

TEST(DialogFont, TemplateWithoutAFontOrCutShortIsLeftAlone)
{
    TemplateParts no_font;
    no_font.style &= ~0x40u;
    const std::vector<uint8_t> plain = dialog_template(no_font);
    EXPECT_TRUE(template_with_face(plain.data(), plain.size(), u"Segoe UI", 1).empty());
    EXPECT_TRUE(template_with_face(nullptr, 64, u"Segoe UI", 1).empty());

    // Cut anywhere in its header, title or face, a template gives nothing; cut among its
    // controls, it gives the controls it has.
    for (bool extended : {true, false}) {
        TemplateParts parts;
        parts.extended = extended;
        const std::vector<uint8_t> whole = dialog_template(parts);
        const size_t controls_at = whole.size() - 37;
        for (size_t size = 0; size < whole.size(); ++size) {
            const std::vector<uint8_t> out = template_with_face(whole.data(), size, u"Meiryo UI", 0x80);
            if (size < controls_at - 2) {
                EXPECT_TRUE(out.empty()) << extended << " cut at " << size;
            } else if (size >= controls_at) {
                ASSERT_FALSE(out.empty()) << extended << " cut at " << size;
                EXPECT_TRUE(std::equal(out.end() - (size - controls_at), out.end(), whole.begin() + controls_at))
                    << extended << " cut at " << size;
            }
        }
    }
}
