#pragma once
#include <vector>

#include "display/geometry.h"

// The desktop's monitors as the system reports them, and the taskbars found on it. With no
// monitor reported the primary screen, at the origin, stands for the only one.
struct DisplayLayout {
    std::vector<Rect32> monitors;
    std::vector<Rect32> work_areas;  // each monitor's work area, in the monitors' order
    Rect32 primary_taskbar;
    std::vector<Rect32> other_taskbars;  // the taskbars the shell shows on the other monitors
};

// True when two reads of the layout found the same monitors, work areas and taskbars, in the
// same order. A settings broadcast that changed none of them must not place every mascot
// again: that would bring back each mascot the pointer has hidden.
bool same_layout(const DisplayLayout& a, const DisplayLayout& b);

// A taskbar's rectangle as read now, or, when its window is gone (the shell has ended and not
// yet started again), the rectangle read last: a gone window's empty rectangle at the origin
// is no place for a mascot.
Rect32 taskbar_rect_or_last(bool read, const Rect32& rect_read, const Rect32& last);

// True when every pixel of rect lies on some monitor: gaps between monitors of different sizes
// are off the screen. A rectangle without pixels counts as on the screen when it lies within
// one monitor's edges, as with one monitor it always has.
bool on_monitors(const Rect32& rect, const std::vector<Rect32>& monitors);

// The monitor a rectangle is on, as the system picks it: the one it overlaps most, else the
// nearest one. -1 when there is no monitor.
int monitor_of(const Rect32& rect, const std::vector<Rect32>& monitors);

// The taskbar that a refused mascot stands on: the one on its target's monitor, else the
// primary taskbar.
Rect32 taskbar_for(const Rect32& target, const DisplayLayout& layout);

// True when the rectangle contains the whole of the monitor it is on, as a full-screen video,
// game or presentation does without being maximised.
bool covers_its_monitor(const Rect32& rect, const std::vector<Rect32>& monitors);
