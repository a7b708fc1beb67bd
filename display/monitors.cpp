#include "display/monitors.h"

#include <cstddef>
#include <cstdint>

namespace {

bool empty(const Rect32& r) { return r.right <= r.left || r.bottom <= r.top; }

bool within(const Rect32& inner, const Rect32& outer)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

int64_t overlap_area(const Rect32& a, const Rect32& b)
{
    const int64_t width = int64_t(a.right < b.right ? a.right : b.right) - (a.left > b.left ? a.left : b.left);
    const int64_t height = int64_t(a.bottom < b.bottom ? a.bottom : b.bottom) - (a.top > b.top ? a.top : b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// The squared distance between two rectangles' nearest points; 0 when they touch or overlap.
int64_t distance_squared(const Rect32& a, const Rect32& b)
{
    const int64_t dx = a.right <= b.left ? int64_t(b.left) - a.right : b.right <= a.left ? int64_t(a.left) - b.right : 0;
    const int64_t dy = a.bottom <= b.top ? int64_t(b.top) - a.bottom : b.bottom <= a.top ? int64_t(a.top) - b.bottom : 0;
    return dx * dx + dy * dy;
}

// The parts of rect outside cut, at most four.
void subtract(const Rect32& rect, const Rect32& cut, std::vector<Rect32>& out)
{
    if (overlap_area(rect, cut) == 0) {
        out.push_back(rect);
        return;
    }
    Rect32 rest = rect;
    if (cut.top > rest.top) {
        out.push_back({rest.left, rest.top, rest.right, cut.top});
        rest.top = cut.top;
    }
    if (cut.bottom < rest.bottom) {
        out.push_back({rest.left, cut.bottom, rest.right, rest.bottom});
        rest.bottom = cut.bottom;
    }
    if (cut.left > rest.left)
        out.push_back({rest.left, rest.top, cut.left, rest.bottom});
    if (cut.right < rest.right)
        out.push_back({cut.right, rest.top, rest.right, rest.bottom});
}

}  // namespace

bool on_monitors(const Rect32& rect, const std::vector<Rect32>& monitors)
{
    if (empty(rect)) {
        for (const Rect32& monitor : monitors)
            if (within(rect, monitor))
                return true;
        return false;
    }
    std::vector<Rect32> uncovered = {rect};
    for (const Rect32& monitor : monitors) {
        std::vector<Rect32> next;
        for (const Rect32& piece : uncovered)
            subtract(piece, monitor, next);
        uncovered.swap(next);
        if (uncovered.empty())
            return true;
    }
    return false;
}

int monitor_of(const Rect32& rect, const std::vector<Rect32>& monitors)
{
    int best = -1;
    int64_t best_area = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const int64_t area = overlap_area(rect, monitors[i]);
        if (area > best_area) {
            best_area = area;
            best = static_cast<int>(i);
        }
    }
    if (best >= 0)
        return best;
    int64_t best_distance = INT64_MAX;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const int64_t distance = distance_squared(rect, monitors[i]);
        if (distance < best_distance) {
            best_distance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

Rect32 taskbar_for(const Rect32& target, const DisplayLayout& layout)
{
    const int monitor = monitor_of(target, layout.monitors);
    if (monitor >= 0 && monitor != monitor_of(layout.primary_taskbar, layout.monitors))
        for (const Rect32& taskbar : layout.other_taskbars)
            if (monitor_of(taskbar, layout.monitors) == monitor)
                return taskbar;
    return layout.primary_taskbar;
}

bool covers_its_monitor(const Rect32& rect, const std::vector<Rect32>& monitors)
{
    const int monitor = monitor_of(rect, monitors);
    return monitor >= 0 && !empty(rect) && within(monitors[static_cast<size_t>(monitor)], rect);
}

bool same_layout(const DisplayLayout& a, const DisplayLayout& b)
{
    return a.monitors == b.monitors && a.work_areas == b.work_areas && a.primary_taskbar == b.primary_taskbar &&
           a.other_taskbars == b.other_taskbars;
}

Rect32 taskbar_rect_or_last(bool read, const Rect32& rect_read, const Rect32& last) { return read ? rect_read : last; }
