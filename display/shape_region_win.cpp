#include "display/shape_region_win.h"

#include <algorithm>
#include <cstdint>

namespace {

HRGN empty_region()
{
    return CreateRectRgn(0, 0, 0, 0);
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
    if (runs.empty())
        return empty_region();
    // RGNDATA is a header followed directly by the rectangles; a buffer of RECTs keeps the
    // alignment both need.
    const size_t header_rects = (sizeof(RGNDATAHEADER) + sizeof(RECT) - 1) / sizeof(RECT);
    std::vector<RECT> buffer(header_rects + runs.size());
    RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
    RECT* rects = reinterpret_cast<RECT*>(data->Buffer);
    RECT bounds = {runs[0].left, runs[0].top, runs[0].right, runs[0].bottom};
    for (size_t i = 0; i < runs.size(); ++i) {
        const RunRect& run = runs[i];
        rects[i] = RECT{run.left, run.top, run.right, run.bottom};
        bounds.left = std::min<LONG>(bounds.left, run.left);
        bounds.top = std::min<LONG>(bounds.top, run.top);
        bounds.right = std::max<LONG>(bounds.right, run.right);
        bounds.bottom = std::max<LONG>(bounds.bottom, run.bottom);
    }
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(runs.size());
    data->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    data->rdh.rcBound = bounds;
    const DWORD size = static_cast<DWORD>(reinterpret_cast<const uint8_t*>(rects + runs.size()) -
                                          reinterpret_cast<const uint8_t*>(data));
    HRGN region = ExtCreateRegion(nullptr, size, data);
    return region ? region : region_by_union(runs);
}
