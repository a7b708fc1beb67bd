#include <gtest/gtest.h>

#include <functional>

#include "display/bitmap_file.h"
#include "display/picture_file.h"
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

namespace {

// Pixels as 0xAARRGGBB, top row first, for comparing decoded frames.
std::vector<uint32_t> argb_of(const std::vector<uint8_t>& rgba)
{
    std::vector<uint32_t> out;
    for (size_t i = 0; i + 3 < rgba.size(); i += 4)
        out.push_back(static_cast<uint32_t>(rgba[i + 3]) << 24 | rgba[i] << 16 | rgba[i + 1] << 8 | rgba[i + 2]);
    return out;
}

TestBitmap32 bitmap32(std::vector<uint32_t> pixels, uint32_t header_size = 40, uint32_t compression = 0,
                      std::vector<uint32_t> masks = {}, bool top_down = false)
{
    TestBitmap32 bitmap;
    bitmap.width = 2;
    bitmap.pixels = std::move(pixels);
    bitmap.header_size = header_size;
    bitmap.compression = compression;
    bitmap.masks = std::move(masks);
    bitmap.top_down = top_down;
    return bitmap;
}

}  // namespace

TEST(PictureFile, GifDelaysBecomeTicks)
{
    const std::pair<uint32_t, int32_t> rows[] = {
        {0, 1}, {1, 1},            // "as fast as possible": a tenth of a second, as browsers show it
        {2, 1}, {4, 1}, {5, 1},    // below a tick: at least one
        {10, 1}, {14, 1}, {15, 2}, {25, 3}, {100, 10}, {65535, 6554},
    };
    for (const auto& row : rows)
        EXPECT_EQ(gif_delay_ticks(row.first), row.second) << row.first;
}

TEST(PictureFile, GifFramesComposeWithTransparencyAndDisposal)
{
    constexpr uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, _ = 0;
    const std::vector<TestGifFrame> frames = {
        {0, 0, 3, 1, {0, 1, 2}, -1, 1, 20},   // red, green, blue; kept
        {1, 0, 1, 1, {3}, 3, 2, 0},           // a transparent pixel; its rectangle is then cleared
        {0, 0, 1, 1, {1}, -1, 0, 15},         // green over red
        {2, 0, 1, 1, {0}, -1, 3, 4},          // red over blue, then what was there before comes back
        {0, 0, 1, 1, {3}, 3, 0, 100},         // nothing drawn
    };
    Picture picture;
    ASSERT_EQ(decode_picture(build_gif(3, 1, frames).data(), build_gif(3, 1, frames).size(), picture),
              PictureResult::ok);
    ASSERT_EQ(picture.frames.size(), 5u);
    EXPECT_TRUE(picture.own_alpha);
    const std::vector<std::vector<uint32_t>> expected = {
        {R, G, B}, {R, G, B}, {G, _, B}, {G, _, R}, {G, _, B}};
    const int32_t ticks[] = {2, 1, 2, 1, 10};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(argb_of(picture.frames[i].rgba), expected[i]) << "frame " << i;
        EXPECT_EQ(picture.frames[i].ticks, ticks[i]) << "frame " << i;
    }

    // A still GIF has no stay of its own, and a frame without a control block no transparency.
    const std::vector<TestGifFrame> still = {{0, 0, 2, 1, {3, 2}, -1, 0, 50, false}};
    ASSERT_EQ(decode_picture(build_gif(2, 1, still).data(), build_gif(2, 1, still).size(), picture), PictureResult::ok);
    ASSERT_EQ(picture.frames.size(), 1u);
    EXPECT_EQ(picture.frames[0].ticks, 0);
    EXPECT_EQ(argb_of(picture.frames[0].rgba), (std::vector<uint32_t>{0xFFFFFFFF, B}));
}

TEST(PictureFile, RefusesHostileAndBrokenFilesFromTheirHeaders)
{
    const TestGifFrame dot = {0, 0, 1, 1, {0}};
    std::vector<uint8_t> two_frames = build_gif(1, 1, {dot, dot});
    std::vector<uint8_t> cut_in_second = two_frames;
    cut_in_second.resize(cut_in_second.size() - 4);
    std::vector<uint8_t> no_table = build_gif(1, 1, {dot});
    no_table[10] = 0;
    std::vector<uint8_t> bad_block = build_gif(1, 1, {});
    bad_block.back() = 0x99;
    const std::vector<TestGifFrame> many(1001, TestGifFrame{0, 0, 1, 1, {0}, -1, 0, 0, false});
    const std::vector<TestGifFrame> most(1000, TestGifFrame{0, 0, 1, 1, {0}, -1, 0, 0, false});
    const std::vector<TestGifFrame> five(5, TestGifFrame{0, 0, 1, 1, {0}, -1, 0, 0, false});
    std::vector<uint8_t> png_header = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                       0, 0, 0x10, 0x01, 0, 0, 0, 1, 8, 6, 0, 0, 0};   // 4097 x 1
    TestBitmap32 wide;
    wide.width = 4097;
    wide.pixels.assign(4097, 0xFF000000);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        PictureResult expected;
        size_t frames;
    };
    const Case cases[] = {
        {"empty", {}, PictureResult::unknown_format, 0},
        {"text", {'h', 'e', 'l', 'l', 'o'}, PictureResult::unknown_format, 0},
        {"GIF 4097 wide", build_gif(4097, 1, {dot}), PictureResult::too_large, 0},
        {"GIF 4096 x 4096, 5 frames", build_gif(4096, 4096, five), PictureResult::too_large, 0},
        {"GIF of 1001 frames", build_gif(1, 1, many), PictureResult::too_many_frames, 0},
        {"GIF of 1000 frames", build_gif(1, 1, most), PictureResult::ok, 1000},
        {"GIF without frames", build_gif(1, 1, {}), PictureResult::broken, 0},
        {"GIF screen only", std::vector<uint8_t>(two_frames.begin(), two_frames.begin() + 13), PictureResult::broken, 0},
        {"GIF cut in its second frame", cut_in_second, PictureResult::ok, 1},
        {"GIF without colour table", no_table, PictureResult::broken, 0},
        {"GIF frame wider than its screen", build_gif(1, 1, {TestGifFrame{0, 0, 2, 1, {0, 0}}}), PictureResult::broken, 0},
        {"GIF unknown block", bad_block, PictureResult::broken, 0},
        {"PNG 4097 wide", png_header, PictureResult::too_large, 0},
        {"PNG cut short", std::vector<uint8_t>(png_header.begin(), png_header.begin() + 20), PictureResult::broken, 0},
        {"bitmap 4097 wide", build_bitmap_file(build_bitmap32_data(wide)), PictureResult::too_large, 0},
    };
    for (const Case& c : cases) {
        PictureSize size;
        EXPECT_EQ(measure_picture(c.bytes.data(), c.bytes.size(), size), c.expected) << c.name;
        Picture picture;
        EXPECT_EQ(decode_picture(c.bytes.data(), c.bytes.size(), picture), c.expected) << c.name;
        EXPECT_EQ(picture.frames.size(), c.frames) << c.name;
    }
}

TEST(PictureFile, ThirtyTwoBitBitmapsCarryAlphaWhenTheySayIt)
{
    const std::vector<uint32_t> soft = {0x00FFFFFF, 0x80FF0000, 0xFF00FF00, 0x00000000};
    const std::vector<uint32_t> unused_alpha = {0x00FF0000, 0x0000FF00, 0x00FFFFFF, 0x000000FF};
    const std::vector<uint32_t> opaque = {0xFFFF0000, 0xFF00FF00, 0xFFFFFFFF, 0xFF0000FF};
    const std::vector<uint32_t> keyed = {0xFFFF0000, 0xFF00FF00, 0x00FFFFFF, 0xFF0000FF};   // white cut away
    const std::vector<uint32_t> rgba_masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    struct Case {
        const char* name;
        TestBitmap32 bitmap;
        PictureResult expected;
        bool own_alpha;
        std::vector<uint32_t> pixels;
    };
    const Case cases[] = {
        {"BI_RGB with alpha", bitmap32(soft), PictureResult::ok, true, soft},
        {"BI_RGB top-down", bitmap32(soft, 40, 0, {}, true), PictureResult::ok, true, soft},
        {"BI_RGB fourth bytes all 0", bitmap32(unused_alpha), PictureResult::ok, false, keyed},
        {"BI_RGB all opaque", bitmap32(opaque), PictureResult::ok, false, keyed},
        {"BI_BITFIELDS, version 5 header", bitmap32(soft, 124, 3, rgba_masks), PictureResult::ok, true, soft},
        {"BI_BITFIELDS, 40-byte header, no alpha mask", bitmap32(opaque, 40, 3, {0x00FF0000, 0x0000FF00, 0x000000FF}),
         PictureResult::ok, false, keyed},
        {"BI_BITFIELDS, red and blue swapped", bitmap32({0xFF0000FF, 0xFFFF0000, 0xFFFFFFFF, 0xFF0000FF}, 124, 3,
                                                         {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}),
         PictureResult::ok, false, {0xFFFF0000, 0xFF0000FF, 0x00FFFFFF, 0xFFFF0000}},
        {"BI_BITFIELDS, 5-bit masks", bitmap32(soft, 124, 3, {0x7C00, 0x3E0, 0x1F, 0x8000}), PictureResult::broken, false, {}},
        {"RLE compression", bitmap32(soft, 40, 1), PictureResult::broken, false, {}},
    };
    for (const Case& c : cases) {
        Picture picture;
        const std::vector<uint8_t> file = build_bitmap_file(build_bitmap32_data(c.bitmap));
        ASSERT_EQ(decode_picture(file.data(), file.size(), picture), c.expected) << c.name;
        if (c.expected != PictureResult::ok)
            continue;
        EXPECT_EQ(picture.own_alpha, c.own_alpha) << c.name;
        EXPECT_EQ(argb_of(picture.frames[0].rgba), c.pixels) << c.name;
    }
    // Every truncation of a sound 32-bit block is refused.
    const std::vector<uint8_t> data = build_bitmap32_data(bitmap32(soft, 124, 3, rgba_masks));
    for (size_t size = 0; size < data.size(); ++size) {
        Picture picture;
        EXPECT_NE(decode_bitmap32(data.data(), size, picture), PictureResult::ok) << size;
    }
}

TEST(PictureFile, FrameBitmapsKeepTheirCut)
{
    TestPicture picture;
    picture.bits_per_pixel = 8;
    picture.rows = {"ab", "ba"};
    picture.symbols = "ab";
    picture.values = {1, 2};
    picture.palette = {0x000000, 0x112233, 0x445566};
    const std::vector<uint8_t> file = build_bitmap_file(build_bitmap_data(picture));
    Picture decoded;
    ASSERT_EQ(decode_picture(file.data(), file.size(), decoded), PictureResult::ok);
    EXPECT_FALSE(decoded.own_alpha);
    // The bottom-left pixel's index is cut away wherever it stands.
    EXPECT_EQ(argb_of(decoded.frames[0].rgba), (std::vector<uint32_t>{0xFF112233, 0x00445566, 0x00445566, 0xFF112233}));
}
