#include "ui/centring.h"

#include <gtest/gtest.h>

#include <climits>

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
