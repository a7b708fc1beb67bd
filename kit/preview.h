#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "kit/mascot_check.h"
#include "kit/picture.h"

// One picture of the preview animation and how long it stays, in hundredths of a second.
struct PreviewFrame {
    RgbaImage picture;
    int32_t delay = 0;
};

// The mascot standing on a drawn window, placed by the program's position computation from
// its anchors and shown with the program's own window shapes, frame after frame as its clock
// would show them. Random stays are drawn from the program's generator seeded with `seed`.
// The animation runs for at least `least_ticks` mascot ticks and ends where a round ends,
// or after `most_ticks`.
std::vector<PreviewFrame> render_preview(const LoadedMascot& mascot, uint32_t seed, int32_t least_ticks = 100,
                                         int32_t most_ticks = 600);

// An animated GIF of the frames, looping for ever. False with the reason when it cannot be
// made (a Windows build without a GIF library says so here).
bool write_gif(const std::vector<PreviewFrame>& frames, std::vector<uint8_t>& out, std::string& reason);
