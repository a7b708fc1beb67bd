#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "display/mascot_win.h"

// Reads the frame's bitmap file into its bitmap data, sets its colour count and palette, and
// gives the mascot (and its window, if it has one) the frame's size. Fails, with nothing left
// allocated in the frame, when the file cannot be read in full or is not a frame bitmap.
bool LoadFrameBitmap(Mascot& mascot, MascotFrame& frame);

// Loads the bitmap at `path` as a new frame with its stored time, builds its shape and
// appends it to the mascot's frame list; false, with the list unchanged, when it cannot load.
bool AppendFrame(Mascot& mascot, const std::string& path, int32_t time);

// Loads a PNG or GIF file as frames with their stays (0 for a still picture), appended to the
// mascot's frame list; false, with the list unchanged, when the file is broken or over the
// decoder's limits.
bool AppendPictureFrames(Mascot& mascot, const std::string& path);

// Once every frame is loaded: a mascot with a frame of its own alpha gets a layered window
// where the system has them, its other frames are turned into the alpha form and every shape
// keeps each pixel not wholly transparent. Otherwise the window stays a region window as it
// always was, and frames with alpha are cut at half alpha.
void ChooseWindowKind(Mascot& mascot);

// Makes the frame's logical palette from its colour table; false when it has none.
bool CreateFramePalette(MascotFrame& frame);

// The region of the frame's visible pixels in window coordinates, each pixel a scale × scale
// block; empty for data that is no frame. The region belongs to the caller.
HRGN BuildShapeRegion(const std::vector<uint8_t>& bitmap_data, int32_t scale);

// The frame's shape at `scale`: traced by value for frame bitmaps, by alpha for the alpha
// form (any alpha in a layered window, half alpha otherwise).
HRGN BuildFrameShape(const MascotFrame& frame, int32_t scale, bool layered);

// The mascot's window size on the screen: the picture's at the mascot's scale.
int32_t ScaledWidth(const Mascot& mascot);
int32_t ScaledHeight(const Mascot& mascot);

// Takes the dots per inch of the monitor the mascot stands on. When its scale changes, every
// frame gets its shape at the new scale and the window its new size and current shape; true
// then, and the mascot has to be placed again.
bool SetMascotDpi(Mascot& mascot, int32_t dpi);

// Puts frame `index` on screen: the window gets a copy of its shape (and owns that copy),
// painting uses its bitmap data and palette, and the stay starts. A frame that comes up in the
// animation draws its random stay; the first frame shown keeps its time as stored.
void MakeFrameCurrent(Mascot& mascot, size_t index, bool draw_random_stay);

// One mascot tick of animation; true when the next frame came up and the window repaints.
bool AdvanceFrame(Mascot& mascot);

// Frees every frame's bitmap data, palette and shape and empties the list. The mascot then
// paints nothing, so a window that outlives its frames never reads freed data.
void FreeFrames(Mascot& mascot);
