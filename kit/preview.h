#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "display/geometry.h"
#include "kit/mascot_check.h"
#include "kit/picture.h"

// One picture of the preview animation: which of the mascot's frames stands on the scene, and
// how long it stays, in hundredths of a second.
struct PreviewShowing {
    size_t frame = 0;
    int32_t delay = 0;
};

// The mascot standing on a drawn window, placed by the program's position computation from
// its anchors and shown with the program's own window shapes, frame after frame as its clock
// would show them. The scene holds the mascot and the window around it, within a band of
// kPreviewContext dots; frames whose bitmaps are the same are one picture, and a picture that
// follows itself stays on with the two stays added.
struct PreviewPlan {
    int32_t width = 0, height = 0;   // the scene
    Rect32 window;                   // the drawn window, in the scene
    Point32 at;                      // the mascot's top-left corner, in the scene
    std::vector<PreviewShowing> showings;
};

constexpr int32_t kPreviewContext = 256;
// Scenes larger than this are refused: every picture is made whole before it is encoded.
constexpr int64_t kPreviewPixelBudget = int64_t(4096) * 4096;

// Random stays are drawn from the program's generator seeded with `seed`. The animation runs
// for at least `least_ticks` mascot ticks and ends where a round ends, or after `most_ticks`.
// False with the reason when the mascot has no frame, its anchors lie outside what the
// program can place, or the scene is larger than the budget.
bool plan_preview(const LoadedMascot& mascot, uint32_t seed, PreviewPlan& plan, std::string& reason,
                  int32_t least_ticks = 100, int32_t most_ticks = 600);

// The scene with one of the mascot's frames standing on it.
RgbaImage render_preview_picture(const LoadedMascot& mascot, const PreviewPlan& plan, size_t frame);

// Makes the picture of one of the mascot's frames; the writer asks once for each picture.
using PictureMaker = std::function<RgbaImage(size_t frame)>;

// An animated GIF of the showings, looping for ever, encoded picture by picture as each is
// made, so that only one picture is held at a time. False with the reason when it cannot be
// made (a Windows build without a GIF library says so here).
bool write_gif(int32_t width, int32_t height, const std::vector<PreviewShowing>& showings,
               const PictureMaker& make_picture, std::vector<uint8_t>& out, std::string& reason);
