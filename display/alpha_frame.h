#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "display/shape_trace.h"

// A frame with alpha is held as every frame is, as a bitmap data block, here of one fixed
// form: the 40-byte info header, 32 bits, no compression, no colour table, bottom-up rows of
// blue, green, red and straight alpha. Painting without a layered window draws it as it draws
// a 24-bit frame; the fourth byte is then ignored.

// A pixel counts as seen from half alpha up where the window can only be cut, not blended.
constexpr uint8_t kHalfAlpha = 128;

// The block for a picture given as rows top first of red, green, blue, straight alpha.
std::vector<uint8_t> alpha_frame_block(const std::vector<uint8_t>& rgba, int32_t width, int32_t height);

// Whether a data block is of the form above, whole, with rows to its size.
bool is_alpha_frame_block(const uint8_t* data, size_t size);

// The runs of pixels whose alpha is at least `threshold`, in the order trace_shape gives;
// none for a block of another form.
std::vector<RunRect> trace_alpha_shape(const uint8_t* data, size_t size, uint8_t threshold);

// What a layered window shows for the block at `scale`: rows top first of blue, green, red and
// alpha, every colour multiplied by its alpha (rounded), each pixel a scale × scale block of
// equal pixels. Empty for a block of another form. A scale below 1 counts as 1.
std::vector<uint8_t> layered_pixels(const uint8_t* data, size_t size, int32_t scale);
