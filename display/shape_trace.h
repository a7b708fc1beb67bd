#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// One run of visible pixels on one picture row, in window coordinates (right and bottom
// exclusive).
struct RunRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const RunRect& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

// The visible part of a frame as runs: pixel (x, y) of the picture is covered exactly when
// its value differs from the value of the first stored pixel, the picture's bottom-left one.
// Values are compared, not colours, so two palette entries of one colour stay apart. Runs come
// top row first and left to right within a row, the banded order a region keeps. Data that
// is not a sound frame (see read_bitmap_layout) and frames of no height give no runs.
std::vector<RunRect> trace_shape(const uint8_t* data, size_t size);
