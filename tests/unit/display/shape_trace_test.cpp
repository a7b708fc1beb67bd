#include <gtest/gtest.h>

#include "display/shape_trace.h"
#include "tests/unit/display/bitmap_builder.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kOffWhite = 0xFFFFFE;

struct Case {
    const char* name;
    TestPicture picture;
    std::vector<RunRect> runs;
};

TEST(ShapeTrace, RunsFollowThePicture)
{
    const Case cases[] = {
        {"4-bit 30 wide, last pixel opaque closes at the right edge",
         {4,
          {"000000000000000000000000000001",
           "011100000000000000000000000000",
           "000000000000000000000000011111",
           "0A0B0C00000000000000000000000F"},
          "01ABCF",
          {0, 1, 10, 11, 12, 15},
          0,
          {}},
         {{29, 0, 30, 1}, {1, 1, 4, 2}, {25, 2, 30, 3}, {1, 3, 2, 4}, {3, 3, 4, 4}, {5, 3, 6, 4}, {29, 3, 30, 4}}},
        {"8-bit, two entries of one colour: only the bottom-left index is cut",
         {8, {"0110", "1001", "0000"}, "01", {0, 1}, 2, {kWhite, kWhite}},
         {{1, 0, 3, 1}, {0, 1, 1, 2}, {3, 1, 4, 2}}},
        {"8-bit, the key is the bottom-left index whatever it is",
         {8, {"7770", "7777"}, "07", {0, 7}, 0, {}},
         {{3, 0, 4, 1}}},
        {"24-bit white key cuts every white pixel",
         {24, {"WRW", "RWO", "WWW"}, "WRO", {kWhite, kRed, kOffWhite}, 0, {}},
         {{1, 0, 2, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}}},
        {"24-bit whole rows opaque above a transparent bottom row",
         {24, {"RRRR", "RRRR", "WRRW"}, "WR", {kWhite, kRed}, 0, {}},
         {{0, 0, 4, 1}, {0, 1, 4, 2}, {1, 2, 3, 3}}},
        {"all transparent", {8, {"00", "00"}, "0", {0}, 0, {}}, {}},
        {"one pixel", {4, {"0"}, "0", {0}, 0, {}}, {}},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> data = build_bitmap_data(c.picture);
        EXPECT_EQ(trace_shape(data.data(), data.size()), c.runs) << c.name;
    }
}

// Frames of no height have no visible part. A negative height is also refused by the loader,
// but the tracer stays empty for it whoever calls it.
TEST(ShapeTrace, NoRowsNoShape)
{
    TestPicture picture{8, {"0110", "0110"}, "01", {0, 1}, 0, {}};
    const int32_t heights[] = {0, -1, -2};
    for (int32_t height : heights) {
        std::vector<uint8_t> data = build_bitmap_data(picture);
        put_u32(data, 8, static_cast<uint32_t>(height));
        EXPECT_TRUE(trace_shape(data.data(), data.size()).empty()) << height;
    }
    std::vector<uint8_t> no_width = build_bitmap_data(picture);
    put_u32(no_width, 4, 0);
    EXPECT_TRUE(trace_shape(no_width.data(), no_width.size()).empty());
}

}  // namespace
