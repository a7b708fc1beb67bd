#pragma once
#include <cstdint>
#include <vector>

#include "display/geometry.h"
#include "kit/picture.h"

// The rules that turn an artist's pictures into frames the program shows as drawn.

struct Rgb {
    uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb& other) const { return red == other.red && green == other.green && blue == other.blue; }
};

// A pixel is opaque from half alpha up; the program's window has no partial pixels.
constexpr uint8_t kOpaqueFrom = 128;

// Makes every pixel wholly transparent or wholly opaque. With a matte, an opaque pixel that
// was partly transparent takes its colour blended over the matte, so edges drawn for a dark
// (or light) background keep their softness against it.
void cut_alpha(RgbaImage& image, const Rgb* matte);

bool is_opaque(const RgbaImage& image, int32_t x, int32_t y);

// Where the frames go on one shared canvas. The window takes the size of the frame loaded
// last, so every frame gets the size of the largest, placed with its bottom edge on the
// canvas's bottom and its horizontal centre on the canvas's (half a dot to the left when the
// difference is odd). When a frame would then be opaque at the bottom-left pixel, whose value
// the program cuts away wherever it occurs, the canvas grows by one column on the left.
struct CanvasPlan {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Point32> origins;   // each frame's top-left corner on the canvas
    bool sizes_differ = false;
    bool widened = false;
    bool centre_rounded = false;    // some frame's centre lies half a dot left of the canvas's
};

CanvasPlan plan_canvas(const std::vector<RgbaImage>& frames);
RgbaImage place_on_canvas(const RgbaImage& frame, const CanvasPlan& plan, size_t index);

// A key colour that no opaque pixel of any frame has; magenta and a few other loud colours
// first. False only when the frames use every colour there is.
bool choose_key(const std::vector<RgbaImage>& frames, Rgb& key);

// A frame bitmap of the program's format: bottom-up rows, the 40-byte info header, 8 bits
// with a colour table (the key first) when the frame has at most 255 colours, else 24 bits.
// Transparent pixels take the key, so the bottom-left pixel must be transparent.
struct EncodedFrame {
    std::vector<uint8_t> file;
    int bits_per_pixel = 0;
};
EncodedFrame encode_frame(const RgbaImage& frame, const Rgb& key);

// Whether any pixel of the frames is partly transparent: soft edges a cut would lose.
bool has_soft_edges(const RgbaImage& frame);
bool has_soft_edges(const std::vector<RgbaImage>& frames);

// A 32-bit frame bitmap with alpha: the 40-byte info header, no compression, bottom-up rows of
// blue, green, red and straight alpha. The program shows it with per-pixel alpha; a wholly
// transparent pixel keeps no colour.
std::vector<uint8_t> encode_frame32(const RgbaImage& frame);

// A frame standing on a square of side `size`: scaled to fit, centred, alpha kept.
RgbaImage fit_into_square(const RgbaImage& frame, int32_t size);
