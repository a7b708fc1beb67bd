#include <gtest/gtest.h>

#include "display/bitmap_file.h"
#include "display/shape_trace.h"
#include "kit/frame_canvas.h"
#include "kit/icon_file.h"
#include "kit_fixtures.h"

namespace {

// What a frame shows: where it is opaque, and there its colour.
std::vector<uint32_t> seen(const RgbaImage& image)
{
    std::vector<uint32_t> pixels;
    for (size_t i = 0; i + 3 < image.pixels.size(); i += 4) {
        const uint8_t* p = &image.pixels[i];
        pixels.push_back(p[3] >= kOpaqueFrom ? (1u << 24 | p[0] << 16 | p[1] << 8 | p[2]) : 0u);
    }
    return pixels;
}

TEST(FrameCanvas, AlphaIsCutAtHalfAndEdgesBlendOverTheMatte)
{
    RgbaImage plain = picture_of({"hHw"});
    cut_alpha(plain, nullptr);
    EXPECT_EQ(mask_of(plain), std::vector<std::string>{".##"});
    EXPECT_EQ(plain.at(1, 0)[0], 255);   // straight colour kept without a matte

    RgbaImage matted = picture_of({"hHw"});
    const Rgb black{0, 0, 0};
    cut_alpha(matted, &black);
    EXPECT_EQ(matted.at(1, 0)[0], 128);  // 255 at alpha 128 over black
    EXPECT_EQ(matted.at(2, 0)[0], 255);  // opaque pixels are not touched
    EXPECT_EQ(matted.at(1, 0)[3], 255);
}

struct PlanCase {
    const char* what;
    std::vector<std::vector<std::string>> frames;
    int32_t width, height;
    std::vector<Point32> origins;
    bool sizes_differ, widened, centre_rounded;
};

const PlanCase kPlanCases[] = {
    {"one size, transparent corner", {{"rr", ".r"}, {"gg", ".g"}}, 2, 2, {{0, 0}, {0, 0}}, false, false, false},
    {"opaque corner widens by a column", {{"rr", "rr"}}, 3, 2, {{1, 0}}, false, true, false},
    {"three sizes: bottoms and centres kept",
     {{"rrrr", "rrrr", ".rr."}, {"gg", ".g"}, {"b"}},
     4, 3, {{0, 0}, {1, 1}, {1, 2}}, true, false, true},
    {"a smaller frame is padded, so only a full-size frame's corner counts",
     {{"rrrr", "..rr"}, {"gg", "gg"}}, 4, 2, {{0, 0}, {1, 0}}, true, false, false},
    {"a smaller frame at the left edge still widens", {{"rrr", ".rr"}, {"gg", "gg"}}, 4, 2, {{1, 0}, {1, 0}},
     true, true, true},
};

TEST(FrameCanvas, PlansOneCanvasForAllFrames)
{
    for (const PlanCase& row : kPlanCases) {
        std::vector<RgbaImage> frames;
        for (const auto& rows : row.frames)
            frames.push_back(picture_of(rows));
        const CanvasPlan plan = plan_canvas(frames);
        EXPECT_EQ(plan.width, row.width) << row.what;
        EXPECT_EQ(plan.height, row.height) << row.what;
        ASSERT_EQ(plan.origins.size(), row.origins.size()) << row.what;
        for (size_t i = 0; i < row.origins.size(); ++i) {
            EXPECT_EQ(plan.origins[i].x, row.origins[i].x) << row.what << " frame " << i;
            EXPECT_EQ(plan.origins[i].y, row.origins[i].y) << row.what << " frame " << i;
        }
        EXPECT_EQ(plan.sizes_differ, row.sizes_differ) << row.what;
        EXPECT_EQ(plan.widened, row.widened) << row.what;
        EXPECT_EQ(plan.centre_rounded, row.centre_rounded) << row.what;
        for (size_t i = 0; i < frames.size(); ++i)
            EXPECT_FALSE(is_opaque(place_on_canvas(frames[i], plan, i), 0, plan.height - 1)) << row.what;
    }
}

TEST(FrameCanvas, KeyAvoidsEveryOpaqueColour)
{
    RgbaImage frame = blank_image(8, 1);
    const uint8_t colours[][4] = {{255, 0, 255, 255}, {0, 255, 0, 255}, {0, 255, 255, 100}};
    for (int i = 0; i < 3; ++i)
        std::copy(colours[i], colours[i] + 4, frame.at(i, 0));
    Rgb key;
    ASSERT_TRUE(choose_key({frame}, key));
    // Magenta and green are used; cyan only by a pixel that will be cut away.
    EXPECT_EQ(key, (Rgb{0, 255, 255}));
}

// The frame bitmap reads back through the program's reader with the shape of the mask and
// the pixels' colours, at every row padding.
TEST(FrameCanvas, EncodedFramesReadBackThroughTheProgramsReader)
{
    const std::vector<std::vector<std::string>> pictures = {
        {".r"}, {"brg", ".wk"}, {"rrrrr", ".r.r.", "..k.."}, {".wwwwww"},
    };
    for (const auto& rows : pictures) {
        const RgbaImage picture = picture_of(rows);
        const EncodedFrame encoded = encode_frame(picture, Rgb{255, 0, 255});
        EXPECT_EQ(encoded.bits_per_pixel, 8);
        const std::vector<uint8_t> data(encoded.file.begin() + 14, encoded.file.end());
        BitmapLayout layout;
        ASSERT_EQ(read_bitmap_layout(data.data(), data.size(), layout), LayoutResult::ok);
        EXPECT_EQ(layout.width, picture.width);
        std::vector<std::string> traced(picture.height, std::string(picture.width, '.'));
        for (const RunRect& run : trace_shape(data.data(), data.size()))
            for (int32_t x = run.left; x < run.right; ++x)
                traced[run.top][x] = '#';
        EXPECT_EQ(traced, mask_of(picture));
        RgbaImage back;
        std::string reason;
        ASSERT_TRUE(read_picture(encoded.file.data(), encoded.file.size(), back, reason));
        EXPECT_EQ(seen(back), seen(picture));
    }
}

TEST(FrameCanvas, MoreThan255ColoursTake24Bits)
{
    RgbaImage picture = blank_image(300, 1);
    for (int32_t x = 1; x < 300; ++x) {
        uint8_t* p = picture.at(x, 0);
        p[0] = static_cast<uint8_t>(x), p[1] = static_cast<uint8_t>(x >> 8), p[2] = 9, p[3] = 255;
    }
    const EncodedFrame encoded = encode_frame(picture, Rgb{255, 0, 255});
    EXPECT_EQ(encoded.bits_per_pixel, 24);
    RgbaImage back;
    std::string reason;
    ASSERT_TRUE(read_picture(encoded.file.data(), encoded.file.size(), back, reason));
    EXPECT_EQ(seen(back), seen(picture));
}

TEST(IconFile, MadeIconsLoadAndDamagedOnesSayWhy)
{
    const std::vector<uint8_t> icon = icon_file(fit_into_square(picture_of({"rr.", ".gg"}), 16));
    std::string reason;
    EXPECT_TRUE(icon_loads(icon.data(), icon.size(), reason)) << reason;
    struct Case {
        size_t cut;
        const char* reason;
    };
    for (const Case& row : {Case{4, "not an icon file"}, Case{10, "directory is cut short"},
                            Case{100, "lies outside the file"}}) {
        EXPECT_FALSE(icon_loads(icon.data(), row.cut, reason));
        EXPECT_NE(reason.find(row.reason), std::string::npos) << reason;
    }
}

}  // namespace
