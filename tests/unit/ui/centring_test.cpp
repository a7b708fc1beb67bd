#include "ui/centring.h"

#include <gtest/gtest.h>

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
