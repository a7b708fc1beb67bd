#pragma once
#include <windows.h>

#include <vector>

#include "display/shape_trace.h"

// Two ways to turn traced runs into one region; both give the same region and the caller
// owns it. An empty list gives an empty region.

// Unites the runs one rectangle at a time. Each union walks the whole region built so far,
// so the cost grows with the square of the runs on a busy frame.
HRGN region_by_union(const std::vector<RunRect>& runs);

// Hands the runs to the system as one rectangle list, which builds the region in one pass.
// Falls back to the one-at-a-time union if the system refuses the list.
HRGN region_from_rect_list(const std::vector<RunRect>& runs);
