#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "display/geometry.h"
#include "display/mascot_settings.h"
#include "display/target_states.h"

// One animation frame, loaded once when the mascot starts and owned by its mascot.
struct MascotFrame {
    std::string path;
    int32_t time = 0;
    HRGN shape = nullptr;
    uint32_t colour_count = 0;
    HPALETTE palette = nullptr;
    // The whole file after its 14-byte file header: info header, colour table, pixel rows;
    // for a frame with alpha, the 32-bit form of alpha_frame.h.
    std::vector<uint8_t> bitmap_data;
    // The bitmap data is of the 32-bit alpha form.
    bool alpha_form = false;
    // The picture drew its own transparency (a PNG, a GIF, a 32-bit bitmap with alpha).
    bool own_alpha = false;
};

// One running mascot: its own window class and shaped popup, its frames and settings.
struct Mascot {
    wchar_t class_name[32] = {};
    WNDCLASSEXW window_class = {};
    // The picture's size; the window is `scale` times as wide and as high.
    int32_t width = 100, height = 100;
    // Screen pixels per picture pixel, from the dots per inch of the target's monitor.
    int32_t scale = 1;
    int32_t dpi = 96;
    int32_t x = 0, y = 0;
    UINT_PTR timer_id = 0;
    uint32_t current_colour_count = 0;
    const std::vector<uint8_t>* current_bitmap_data = nullptr;
    std::vector<MascotFrame> frames;
    size_t current_frame = 0;
    HRGN window_region = nullptr;
    // The frame whose shape the window has now, or -1: frames of one outline (a blink, say)
    // then change pixels without handing the window a new region.
    long shaped_frame = -1;
    HPALETTE current_palette = nullptr;
    // Some frame has alpha of its own and the system has layered windows: the window shows
    // every frame with per-pixel alpha, and its region keeps every pixel not wholly transparent.
    bool layered = false;
    Rect32 target_rect;
    Rect32 placed_rect;
    // No placement has happened yet, so the first one goes through every test.
    bool placed = false;
    // The last placement found the target cloaked (see PlacementInput).
    bool target_was_cloaked = false;
    // The display layout's count at the last placement.
    uint32_t placed_generation = 0;
    // Whether the program of the target window is excluded, by target window.
    KeptAnswer<uintptr_t, bool> target_excluded;
    int32_t stay = 0;
    int32_t tick_counter = 0;
    HWND window = nullptr;
    std::string name;
    std::string source_path;
    // The folder its archive was extracted into, removed when the mascot goes; empty for a
    // still mascot, which extracts nothing.
    std::string extracted_folder;
    MascotSettings settings;
};
