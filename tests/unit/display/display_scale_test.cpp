#include <gtest/gtest.h>

#include <limits>

#include "display/alpha_frame.h"
#include "display/display_scale.h"

TEST(DisplayScale, WholeMultipleNearestTheDpiHalvesRoundingUp)
{
    const struct {
        int32_t dpi;
        int32_t scale;
    } rows[] = {
        {96, 1},  {120, 1}, {143, 1}, {144, 2}, {168, 2}, {192, 2}, {239, 2}, {240, 3},
        {288, 3}, {335, 3}, {336, 4}, {384, 4}, {95, 1},  {72, 1},  {1, 1},   {0, 1},
        {-96, 1}, {std::numeric_limits<int32_t>::min(), 1}, {std::numeric_limits<int32_t>::max(), 22369621},
    };
    for (const auto& row : rows)
        EXPECT_EQ(scale_for_dpi(row.dpi), row.scale) << row.dpi << " dpi";
}

TEST(DisplayScale, MetricsAndLengthsAtAnotherDpi)
{
    const struct {
        const char* what;
        int32_t metric, system_dpi, dpi, expected;
    } rows[] = {
        {"small icon at 96 on a 144 monitor", 16, 96, 144, 24},
        {"small icon at 96 on a 192 monitor", 16, 96, 192, 32},
        {"small icon at 96 on a 120 monitor", 16, 96, 120, 20},
        {"small icon at 144 on a 96 monitor", 24, 144, 96, 16},
        {"small icon at 192 on a 144 monitor", 32, 192, 144, 24},
        {"tip width at 168: 700", 400, 96, 168, 700},
        {"margin 16 at 108 is 18", 16, 96, 108, 18},
        {"margin 5 at 144 is 7.5, halves up", 5, 96, 144, 8},
        {"the same DPI keeps the size", 17, 120, 120, 17},
        {"no DPI read counts as 96", 16, 0, 192, 32},
        {"no target DPI counts as 96", 32, 192, -1, 16},
        {"huge sizes saturate", 2147483647, 96, 192, 2147483647},
    };
    for (const auto& row : rows)
        EXPECT_EQ(metric_for_dpi(row.metric, row.system_dpi, row.dpi), row.expected) << row.what;
    EXPECT_EQ(pixels_for_dpi(400, 144), 600);
    EXPECT_EQ(pixels_for_dpi(16, 96), 16);
}

TEST(DisplayScale, ScaledLengthSaturates)
{
    const int32_t max = std::numeric_limits<int32_t>::max(), min = std::numeric_limits<int32_t>::min();
    const struct {
        int32_t length, scale, expected;
    } rows[] = {
        {64, 1, 64}, {64, 2, 128}, {64, 3, 192}, {-7, 2, -14}, {0, 4, 0}, {64, 0, 64}, {64, -3, 64},
        {1 << 30, 2, max}, {-(1 << 30), 3, min}, {max, 1, max},
    };
    for (const auto& row : rows)
        EXPECT_EQ(scaled_length(row.length, row.scale), row.expected) << row.length << " x " << row.scale;
}

TEST(DisplayScale, RunsBecomeBlocksInBandedOrder)
{
    // Two rows of a picture: row 0 has pixels 1..2 and 4, row 1 pixel 0..4.
    const std::vector<RunRect> runs = {{1, 0, 3, 1}, {4, 0, 5, 1}, {0, 1, 5, 2}};
    const struct {
        int32_t scale;
        std::vector<RunRect> expected;
    } rows[] = {
        {1, runs},
        {0, runs},
        {2, {{2, 0, 6, 2}, {8, 0, 10, 2}, {0, 2, 10, 4}}},
        {3, {{3, 0, 9, 3}, {12, 0, 15, 3}, {0, 3, 15, 6}}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(scale_runs(runs, row.scale), row.expected) << "scale " << row.scale;
    EXPECT_TRUE(scale_runs({}, 3).empty());
}

TEST(DisplayScale, LayeredPixelsArePremultipliedBlocks)
{
    // A 2 x 2 picture, top row first, red, green, blue, alpha.
    const std::vector<uint8_t> rgba = {
        255, 0, 0, 255,     200, 100, 50, 128,
        10, 20, 30, 0,      255, 255, 255, 1,
    };
    const std::vector<uint8_t> block = alpha_frame_block(rgba, 2, 2);
    // Blue, green, red, alpha, premultiplied with rounding: 200 x 128 / 255 = 100.4, 100 x 128 / 255 = 50.2,
    // 50 x 128 / 255 = 25.1, 255 x 1 / 255 = 1; a transparent pixel keeps no colour.
    const uint32_t opaque_red = 0xFFFF0000, soft = 0x80643219, clear = 0, faint = 0x01010101;
    const struct {
        int32_t scale;
        std::vector<uint32_t> expected;   // bytes blue, green, red, alpha read as one little-endian value
    } rows[] = {
        {1, {opaque_red, soft, clear, faint}},
        {0, {opaque_red, soft, clear, faint}},
        {2, {opaque_red, opaque_red, soft, soft,
             opaque_red, opaque_red, soft, soft,
             clear, clear, faint, faint,
             clear, clear, faint, faint}},
    };
    for (const auto& row : rows) {
        const std::vector<uint8_t> pixels = layered_pixels(block.data(), block.size(), row.scale);
        std::vector<uint32_t> values;
        for (size_t i = 0; i + 3 < pixels.size(); i += 4)
            values.push_back(static_cast<uint32_t>(pixels[i]) | pixels[i + 1] << 8 | pixels[i + 2] << 16 |
                             static_cast<uint32_t>(pixels[i + 3]) << 24);
        EXPECT_EQ(values, row.expected) << "scale " << row.scale;
    }
    EXPECT_EQ(layered_pixels(block.data(), block.size() - 1, 1), std::vector<uint8_t>());

    // The window's shape: every pixel with any alpha for a layered window, from half alpha where it is cut.
    EXPECT_EQ(trace_alpha_shape(block.data(), block.size(), 1),
              (std::vector<RunRect>{{0, 0, 2, 1}, {1, 1, 2, 2}}));
    EXPECT_EQ(trace_alpha_shape(block.data(), block.size(), kHalfAlpha), (std::vector<RunRect>{{0, 0, 2, 1}}));
    EXPECT_TRUE(trace_alpha_shape(block.data(), 40, 1).empty());
}
