#include <gtest/gtest.h>

#include <functional>

#include "display/bitmap_file.h"
#include "display/shared_read.h"
#include "display/shape_trace.h"
#include "tests/unit/display/bitmap_builder.h"

namespace {

TestPicture small_picture(uint16_t bits_per_pixel, size_t width, size_t height, uint32_t colours_used = 0)
{
    TestPicture picture;
    picture.bits_per_pixel = bits_per_pixel;
    picture.rows.assign(height, std::string(width, '.'));
    picture.symbols = ".";
    picture.values = {0};
    picture.colours_used = colours_used;
    return picture;
}

TEST(BitmapFileHeader, ReadsOnlySoundHeaders)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        FileHeaderResult expected;
        uint32_t data_size;
    };
    const std::vector<uint8_t> valid = {'B', 'M', 0x36, 0x01, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0};
    std::vector<uint8_t> wrong_signature = valid;
    wrong_signature[1] = 'A';
    std::vector<uint8_t> size_below_header = valid;
    size_below_header[2] = 53;  // 14 + 39: no room for the info header
    size_below_header[3] = 0;
    std::vector<uint8_t> size_wraps = valid;
    size_wraps[2] = 5;  // smaller than the file header itself
    size_wraps[3] = 0;
    const Case cases[] = {
        {"empty", {}, FileHeaderResult::short_header, 0},
        {"13 bytes", std::vector<uint8_t>(valid.begin(), valid.end() - 1), FileHeaderResult::short_header, 0},
        {"signature BA", wrong_signature, FileHeaderResult::not_bitmap, 0},
        {"size without info header", size_below_header, FileHeaderResult::too_small, 0},
        {"size below 14", size_wraps, FileHeaderResult::too_small, 0},
        {"size 0x136", valid, FileHeaderResult::ok, 0x136 - 14},
    };
    for (const Case& c : cases) {
        BitmapFileHeader header;
        EXPECT_EQ(read_file_header(c.bytes.data(), c.bytes.size(), header), c.expected) << c.name;
        if (c.expected == FileHeaderResult::ok) {
            EXPECT_EQ(header.data_size, c.data_size) << c.name;
        }
    }
}

TEST(BitmapLayout, FindsTableAndRows)
{
    struct Case {
        const char* name;
        TestPicture picture;
        uint32_t colour_count;
        size_t rows_offset;
        size_t row_length;
    };
    const Case cases[] = {
        // 30 pixels of 4 bits take 15 bytes, padded to 16.
        {"4-bit 30 wide", small_picture(4, 30, 3), 16, 40 + 64, 16},
        {"4-bit 8 wide", small_picture(4, 8, 1), 16, 40 + 64, 4},
        {"8-bit colours used 2", small_picture(8, 5, 2, 2), 2, 48, 8},
        {"8-bit full table", small_picture(8, 4, 2), 256, 40 + 1024, 4},
        {"24-bit 3 wide", small_picture(24, 3, 2), 0, 40, 12},
        {"24-bit with table of 4", small_picture(24, 1, 1, 4), 4, 56, 4},
        {"height 0", small_picture(8, 0, 0), 256, 40 + 1024, 0},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> data = build_bitmap_data(c.picture);
        BitmapLayout layout;
        ASSERT_EQ(read_bitmap_layout(data.data(), data.size(), layout), LayoutResult::ok) << c.name;
        EXPECT_EQ(layout.colour_count, c.colour_count) << c.name;
        EXPECT_EQ(layout.rows_offset, c.rows_offset) << c.name;
        EXPECT_EQ(layout.row_length, c.row_length) << c.name;
    }
}

// Blocks that lie about themselves. Each row changes one field of a sound 8-bit block of
// 5 x 2 pixels with a 2-entry table, or cuts its end.
TEST(BitmapLayout, RejectsBlocksOutsideTheFormat)
{
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        LayoutResult expected;
    };
    const Case cases[] = {
        {"header size 12", [](auto& d) { put_u32(d, 0, 12); }, LayoutResult::wrong_header_size},
        {"header size 124", [](auto& d) { put_u32(d, 0, 124); }, LayoutResult::wrong_header_size},
        {"1 bit", [](auto& d) { put_u16(d, 14, 1); }, LayoutResult::unsupported_depth},
        {"16 bits", [](auto& d) { put_u16(d, 14, 16); }, LayoutResult::unsupported_depth},
        {"32 bits", [](auto& d) { put_u16(d, 14, 32); }, LayoutResult::unsupported_depth},
        {"0 bits", [](auto& d) { put_u16(d, 14, 0); }, LayoutResult::unsupported_depth},
        {"run-length 8", [](auto& d) { put_u32(d, 16, 1); }, LayoutResult::compressed},
        {"bit fields", [](auto& d) { put_u32(d, 16, 3); }, LayoutResult::compressed},
        {"top-down rows", [](auto& d) { put_u32(d, 8, static_cast<uint32_t>(-2)); }, LayoutResult::negative_size},
        {"negative width", [](auto& d) { put_u32(d, 4, static_cast<uint32_t>(-5)); }, LayoutResult::negative_size},
        {"most negative height", [](auto& d) { put_u32(d, 8, 0x80000000u); }, LayoutResult::negative_size},
        {"width overflows row", [](auto& d) { put_u32(d, 4, 0x7FFFFFFF); }, LayoutResult::too_large},
        {"24-bit width overflows row", [](auto& d) { put_u16(d, 14, 24); put_u32(d, 4, 0x05555556); },
         LayoutResult::too_large},
        {"rows overflow 32 bits", [](auto& d) { put_u32(d, 4, 0x10000); put_u32(d, 8, 0x10001); },
         LayoutResult::too_large},
        {"257 colours at 8 bits", [](auto& d) { put_u32(d, 32, 257); }, LayoutResult::too_many_colours},
        {"17 colours at 4 bits", [](auto& d) { put_u16(d, 14, 4); put_u32(d, 32, 17); },
         LayoutResult::too_many_colours},
        {"257 colours at 24 bits", [](auto& d) { put_u16(d, 14, 24); put_u32(d, 32, 257); },
         LayoutResult::too_many_colours},
        {"colours used wraps", [](auto& d) { put_u32(d, 32, 0xFFFFFFFF); }, LayoutResult::too_many_colours},
        {"rows one byte short", [](auto& d) { d.pop_back(); }, LayoutResult::short_data},
        {"height one row too many", [](auto& d) { put_u32(d, 8, 3); }, LayoutResult::short_data},
        {"width one pad too many", [](auto& d) { put_u32(d, 4, 9); }, LayoutResult::short_data},
        {"table larger than file", [](auto& d) { put_u32(d, 32, 200); }, LayoutResult::short_data},
        {"full table missing", [](auto& d) { put_u32(d, 32, 0); }, LayoutResult::short_data},
        {"24 bits reads 3 bytes a pixel", [](auto& d) { put_u16(d, 14, 24); }, LayoutResult::short_data},
        {"only the info header", [](auto& d) { d.resize(40); }, LayoutResult::short_data},
        {"short info header", [](auto& d) { d.resize(39); }, LayoutResult::short_header},
    };
    const std::vector<uint8_t> sound = build_bitmap_data(small_picture(8, 5, 2, 2));
    BitmapLayout layout;
    ASSERT_EQ(read_bitmap_layout(sound.data(), sound.size(), layout), LayoutResult::ok);
    for (const Case& c : cases) {
        std::vector<uint8_t> data = sound;
        c.damage(data);
        EXPECT_EQ(read_bitmap_layout(data.data(), data.size(), layout), c.expected) << c.name;
        EXPECT_TRUE(trace_shape(data.data(), data.size()).empty()) << c.name;
    }
}

// Every cut of a sound block fails, and tracing the cut never reads past it: each prefix is
// copied into its own allocation so that a sanitizer build catches a stray read.
TEST(BitmapLayout, EveryTruncationFails)
{
    const TestPicture pictures[] = {small_picture(4, 30, 3), small_picture(8, 5, 2, 2), small_picture(24, 3, 2)};
    for (const TestPicture& picture : pictures) {
        const std::vector<uint8_t> sound = build_bitmap_data(picture);
        for (size_t size = 0; size < sound.size(); ++size) {
            const std::vector<uint8_t> prefix(sound.begin(), sound.begin() + size);
            BitmapLayout layout;
            EXPECT_NE(read_bitmap_layout(prefix.data(), prefix.size(), layout), LayoutResult::ok)
                << picture.bits_per_pixel << " bits cut to " << size;
            EXPECT_TRUE(trace_shape(prefix.data(), prefix.size()).empty());
        }
    }
}

}  // namespace

TEST(BitmapFile, AHeldFileIsOpenedAgainBrieflyOnlyForSharingFaults)
{
    const struct {
        uint32_t error;
        int attempts;
        bool again;
    } rows[] = {
        {32, 1, true},   // ERROR_SHARING_VIOLATION: a scanner holds the fresh file
        {33, 9, true},   // ERROR_LOCK_VIOLATION
        {32, 10, false}, // a quarter of a second is enough waiting
        {2, 1, false},   // ERROR_FILE_NOT_FOUND: no wait makes it appear
        {5, 1, false},   // ERROR_ACCESS_DENIED
        {0, 1, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(retry_shared_read(row.error, row.attempts), row.again) << row.error << " " << row.attempts;
    int waits = 0;
    while (retry_shared_read(32, waits + 1))
        ++waits;
    EXPECT_LE(waits * kSharedReadRetryMilliseconds, 250u);
}
