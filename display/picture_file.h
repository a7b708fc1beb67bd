#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Pictures of the formats people draw mascots in today (PNG, animated GIF, 32-bit bitmaps
// with alpha) and the program's own frame bitmaps, read into frames of straight-alpha pixels.
// The program and the kit read pictures through this one decoder, so what the kit accepts is
// what the program shows.

// Larger pictures and longer animations are refused after reading their headers alone, so a
// hostile file costs no more memory than its header.
constexpr int32_t kMaxPictureFileSide = 4096;
constexpr size_t kMaxPictureFileFrames = 1000;
// Every frame is held whole, so the frames of one file together stay below 256 MiB.
constexpr uint64_t kMaxPictureFilePixels = 64ull << 20;

// A mascot tick is 100 ms.
constexpr int32_t kTickMilliseconds = 100;

enum class PictureFormat { unknown, bitmap, png, gif };

PictureFormat picture_format(const uint8_t* bytes, size_t size);

enum class PictureResult {
    ok,
    unknown_format,   // neither a bitmap, a PNG nor a GIF
    too_large,        // a side over the limit, or all frames together over the pixel budget
    too_many_frames,  // a GIF of more frames than the limit
    broken,           // cut short, inconsistent or undecodable
};

// What the headers say, read without decoding or allocating pixels.
struct PictureSize {
    int32_t width = 0;
    int32_t height = 0;
    size_t frames = 0;
};

// Reads the headers only (for a GIF every block, skipping the image data) and checks them
// against the limits above.
PictureResult measure_picture(const uint8_t* bytes, size_t size, PictureSize& picture_size);

// One frame: rows top first, four bytes a pixel, red, green, blue and straight alpha.
struct PictureFrame {
    std::vector<uint8_t> rgba;
    // How long the frame stays, in mascot ticks; 0 for a still picture.
    int32_t ticks = 0;
};

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<PictureFrame> frames;
    // The file carries its own transparency (a PNG, a GIF, a 32-bit bitmap with alpha). The
    // program's own frame bitmaps do not: their pixels of the bottom-left pixel's value are
    // cut away, the rest is opaque.
    bool own_alpha = false;
};

// Decodes a whole picture after checking its headers against the limits.
PictureResult decode_picture(const uint8_t* bytes, size_t size, Picture& picture);

// A 32-bit frame bitmap's data block (the file after its 14-byte file header) as straight
// RGBA, top row first. Alpha comes from the fourth byte for the BI_BITFIELDS form with an
// alpha mask, and for BI_RGB when some fourth byte is below 255 and not every one is 0 (files
// whose fourth bytes are all 0 leave them unused); otherwise the bottom-left pixel's colour is
// cut away as in every other frame bitmap and `own_alpha` is false.
PictureResult decode_bitmap32(const uint8_t* data, size_t size, Picture& picture);

// A frame bitmap's data block of any depth the program shows (4, 8, 24 bits, or 32 as above)
// as one straight-RGBA frame.
PictureResult decode_bitmap_block(const uint8_t* data, size_t size, Picture& picture);

// A GIF frame's delay, in hundredths of a second, as mascot ticks: rounded to the nearest
// tick (halves up), at least one. A delay of 0 or 1 hundredth, which files use to mean "as
// fast as possible" and browsers slow down, counts as 10 hundredths, one tick, as browsers show it.
int32_t gif_delay_ticks(uint32_t hundredths);
