#include <gtest/gtest.h>

#include "display/visible_frame.h"

TEST(VisibleFrame, TakesTheDrawnFrameCutToTheWindow)
{
    const struct {
        const char* what;
        Rect32 window;
        bool read;
        Rect32 frame;
        Rect32 expected;
    } rows[] = {
        {"invisible borders 7 left, 0 top, 7 right, 7 bottom", {93, 200, 507, 607}, true, {100, 200, 500, 600},
         {100, 200, 500, 600}},
        {"maximised window 8 past every edge of its monitor", {-8, -8, 1928, 1048}, true, {0, 0, 1920, 1040},
         {0, 0, 1920, 1040}},
        {"maximised on a monitor left of the primary", {-1928, -8, 8, 1048}, true, {-1920, 0, 0, 1040},
         {-1920, 0, 0, 1040}},
        {"no borders: both the same", {100, 200, 500, 600}, true, {100, 200, 500, 600}, {100, 200, 500, 600}},
        {"the read failed", {93, 200, 507, 607}, false, {100, 200, 500, 600}, {93, 200, 507, 607}},
        {"the read failed and left garbage", {93, 200, 507, 607}, false, {5, 5, 6, 6}, {93, 200, 507, 607}},
        {"answer larger than the window on every side", {100, 200, 500, 600}, true, {90, 190, 510, 610},
         {100, 200, 500, 600}},
        {"answer past the window's right edge alone keeps its other edges", {100, 200, 500, 600}, true,
         {107, 200, 501, 593}, {107, 200, 500, 593}},
        {"answer above the window's top alone keeps its other edges", {100, 200, 500, 600}, true,
         {107, 199, 493, 593}, {107, 200, 493, 593}},
        {"scaled older program at 125 %: rounding past right and bottom", {100, 200, 500, 600}, true,
         {109, 200, 502, 601}, {109, 200, 500, 600}},
        {"scaled older program at 150 %: rounding past left and top", {-11, -11, 1931, 1051}, true,
         {-12, -12, 1920, 1040}, {-11, -11, 1920, 1040}},
        {"answer wholly left of the window", {100, 200, 500, 600}, true, {0, 200, 90, 600}, {100, 200, 500, 600}},
        {"answer touching the window's edge only", {100, 200, 500, 600}, true, {500, 200, 600, 600},
         {100, 200, 500, 600}},
        {"answer of zeros, as for a window not drawn", {100, 200, 500, 600}, true, {0, 0, 0, 0}, {100, 200, 500, 600}},
        {"answer turned inside out", {100, 200, 500, 600}, true, {400, 200, 200, 600}, {100, 200, 500, 600}},
        {"answer without height", {100, 200, 500, 600}, true, {107, 300, 493, 300}, {100, 200, 500, 600}},
    };
    for (const auto& row : rows) {
        const Rect32 got = visible_frame(row.window, row.read, row.frame);
        EXPECT_EQ(got, row.expected) << row.what << ": got " << got.left << ',' << got.top << ',' << got.right << ','
                                     << got.bottom;
    }
}
