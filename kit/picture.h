#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A picture as the kit works on it: rows top first, four bytes a pixel, red, green, blue, alpha.
struct RgbaImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;

    uint8_t* at(int32_t x, int32_t y) { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
    const uint8_t* at(int32_t x, int32_t y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
};

RgbaImage blank_image(int32_t width, int32_t height);

// Frames larger than this on either side are refused: a mascot stands on a window's edge.
constexpr int32_t kMaxPictureSide = 2048;

// Reads a picture through the program's own decoder: a PNG (any depth and colour type the
// format has), the first frame of a GIF, or a frame bitmap the program accepts. A bitmap
// without alpha has its pixels of the bottom-left pixel's value transparent, the rest opaque,
// exactly as the program cuts its window. False with a reason otherwise.
bool read_picture(const uint8_t* bytes, size_t size, RgbaImage& image, std::string& reason);
