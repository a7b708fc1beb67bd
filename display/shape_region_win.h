#pragma once
#include <windows.h>

#include <vector>

#include "display/shape_trace.h"

// Ways to turn traced runs (top row first) into one region; all give the same region and
// the caller owns it. An empty list gives an empty region.

// Unites the runs one rectangle at a time. Each union walks the whole region built so far,
// so the cost grows with the square of the runs on a busy frame.
HRGN region_by_union(const std::vector<RunRect>& runs);

// Hands the runs to the system as one rectangle list. Wine unites the list's rectangles one
// by one inside, so there it is no faster than region_by_union.
HRGN region_from_rect_list(const std::vector<RunRect>& runs);

// Makes one region per picture row from that row's rectangle list, then unites the rows in
// pairs, pairs of pairs and so on. Rows never overlap, so each union is a merge of two
// band lists, and the whole costs the runs times the logarithm of the rows on any system.
HRGN region_by_row_bands(const std::vector<RunRect>& runs);
