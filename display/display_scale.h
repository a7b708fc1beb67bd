#pragma once
#include <cstdint>
#include <vector>

#include "display/shape_trace.h"

// The dots per inch at which the program's pictures are drawn pixel for pixel.
constexpr int32_t kBaseDpi = 96;

// How many screen pixels each side of a picture pixel takes on a monitor of `dpi` dots per
// inch: the nearest whole multiple of the base, halves rounding up (144 gives 2), at least 1.
// Pixel art stays sharp only at whole multiples.
int32_t scale_for_dpi(int32_t dpi);

// A length or coordinate in picture pixels as screen pixels at `scale`, held at the ends of
// the 32-bit range instead of wrapping (a huge picture must not come out negative).
int32_t scaled_length(int32_t length, int32_t scale);

// The runs of a picture's shape with every pixel made a scale × scale block, still in the
// banded order a region keeps. A scale below 1 counts as 1.
std::vector<RunRect> scale_runs(const std::vector<RunRect>& runs, int32_t scale);
