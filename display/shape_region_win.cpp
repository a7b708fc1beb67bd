#include "display/shape_region_win.h"

#include <algorithm>
#include <cstdint>

namespace {

HRGN empty_region()
{
    return CreateRectRgn(0, 0, 0, 0);
}

// One region from `count` runs starting at `first`, as one rectangle list; falls back to
// uniting them one by one if the system refuses the list.
HRGN region_from_rects(const RunRect* first, size_t count)
{
    if (count == 0)
        return empty_region();
    // RGNDATA is a header followed directly by the rectangles; a buffer of RECTs keeps the
    // alignment both need.
    const size_t header_rects = (sizeof(RGNDATAHEADER) + sizeof(RECT) - 1) / sizeof(RECT);
    std::vector<RECT> buffer(header_rects + count);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
    RECT* rects = reinterpret_cast<RECT*>(data->Buffer);
    RECT bounds = {first->left, first->top, first->right, first->bottom};
    for (size_t i = 0; i < count; ++i) {
        const RunRect& run = first[i];
        rects[i] = RECT{run.left, run.top, run.right, run.bottom};
        bounds.left = std::min<LONG>(bounds.left, run.left);
        bounds.top = std::min<LONG>(bounds.top, run.top);
        bounds.right = std::max<LONG>(bounds.right, run.right);
        bounds.bottom = std::max<LONG>(bounds.bottom, run.bottom);
    }
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(count);
    data->rdh.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
    data->rdh.rcBound = bounds;
    const DWORD size = static_cast<DWORD>(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
    if (HRGN region = ExtCreateRegion(nullptr, size, data))
        return region;
    return region_by_union(std::vector<RunRect>(first, first + count));
}

}  // namespace

HRGN region_by_union(const std::vector<RunRect>& runs)
{
    HRGN region = empty_region();
    if (!region)
        return nullptr;
    for (const RunRect& run : runs) {
        HRGN piece = CreateRectRgn(run.left, run.top, run.right, run.bottom);
        if (!piece)
            continue;
        CombineRgn(region, region, piece, RGN_OR);
        DeleteObject(piece);
    }
    return region;
}

HRGN region_from_rect_list(const std::vector<RunRect>& runs)
{
    return region_from_rects(runs.data(), runs.size());
}

HRGN region_by_row_bands(const std::vector<RunRect>& runs)
{
    std::vector<HRGN> regions;
    for (size_t start = 0; start < runs.size();) {
        size_t end = start + 1;
        while (end < runs.size() && runs[end].top == runs[start].top)
            ++end;
        if (HRGN row = region_from_rects(&runs[start], end - start))
            regions.push_back(row);
        start = end;
    }
    if (regions.empty())
        return empty_region();
    // Uniting neighbours keeps both sides of every union about the same size.
    while (regions.size() > 1) {
        size_t kept = 0;
        for (size_t i = 0; i < regions.size(); i += 2) {
            if (i + 1 < regions.size()) {
                CombineRgn(regions[i], regions[i], regions[i + 1], RGN_OR);
                DeleteObject(regions[i + 1]);
            }
            regions[kept++] = regions[i];
        }
        regions.resize(kept);
    }
    return regions[0];
}
