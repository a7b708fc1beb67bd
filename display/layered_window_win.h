#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

// Windows whose pixels carry their own alpha. UpdateLayeredWindow came with Windows 2000; it
// is found at run time, and where it is missing frames with alpha are cut into a region.
bool LayeredWindowsAvailable();

// Gives the window the layered style, or takes it away.
void SetLayeredStyle(HWND window, bool layered);

// Shows a frame of the alpha form (see alpha_frame.h) in a layered window at `scale`, keeping
// the window's position; the window takes the frame's scaled size. False when the frame is of
// another form or the system refuses.
bool ShowLayeredFrame(HWND window, const std::vector<uint8_t>& bitmap_data, int32_t scale);
