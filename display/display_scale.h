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

// A size the system gives at `system_dpi` as it is at `dpi`, to the nearest pixel, halves
// rounding up: what systems without a metric for each DPI give for a window on a monitor of
// another scaling. A DPI of 0 or less counts as the base.
int32_t metric_for_dpi(int32_t system_metric, int32_t system_dpi, int32_t dpi);

// A length in the user interface given for 96 dots per inch (a margin, a width) at `dpi`.
inline int32_t pixels_for_dpi(int32_t pixels_at_base, int32_t dpi) { return metric_for_dpi(pixels_at_base, kBaseDpi, dpi); }

// A length or coordinate in picture pixels as screen pixels at `scale`, held at the ends of
// the 32-bit range instead of wrapping (a huge picture must not come out negative).
int32_t scaled_length(int32_t length, int32_t scale);

// The runs of a picture's shape with every pixel made a scale × scale block, still in the
// banded order a region keeps. A scale below 1 counts as 1.
std::vector<RunRect> scale_runs(const std::vector<RunRect>& runs, int32_t scale);
