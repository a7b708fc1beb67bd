#include "kit/preview.h"

#include <algorithm>

#include "core/random.h"
#include "display/frame_clock.h"
#include "display/placement.h"
#include "display/shape_trace.h"

namespace {

struct Colour {
    uint8_t r, g, b;
};

const Colour kDesktop{58, 110, 165};
const Colour kFrameEdge{64, 64, 64};
const Colour kTitleLeft{10, 36, 106};
const Colour kTitleRight{166, 202, 240};
const Colour kClient{255, 255, 255};
const Colour kText{120, 120, 120};

constexpr int32_t kTitleHeight = 18;
constexpr int32_t kMargin = 12;

void fill(RgbaImage& image, int32_t left, int32_t top, int32_t right, int32_t bottom, Colour colour)
{
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, image.width), bottom = std::min(bottom, image.height);
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x) {
            uint8_t* p = image.at(x, y);
            p[0] = colour.r, p[1] = colour.g, p[2] = colour.b, p[3] = 255;
        }
}

// A plain window of the classic kind: an edge, a title bar shading to the right, a white
// client area with a few grey lines of text.
void draw_window(RgbaImage& image, const Rect32& window)
{
    fill(image, window.left, window.top, window.right, window.bottom, kFrameEdge);
    const int32_t width = window.right - window.left;
    for (int32_t x = window.left + 1; x < window.right - 1; ++x) {
        const int32_t t = width > 2 ? (x - window.left) * 255 / (width - 2) : 0;
        const Colour shade{uint8_t(kTitleLeft.r + (kTitleRight.r - kTitleLeft.r) * t / 255),
                           uint8_t(kTitleLeft.g + (kTitleRight.g - kTitleLeft.g) * t / 255),
                           uint8_t(kTitleLeft.b + (kTitleRight.b - kTitleLeft.b) * t / 255)};
        fill(image, x, window.top + 1, x + 1, window.top + kTitleHeight, shade);
    }
    fill(image, window.left + 1, window.top + kTitleHeight, window.right - 1, window.bottom - 1, kClient);
    for (int32_t y = window.top + kTitleHeight + 12; y + 4 < window.bottom - 8; y += 14)
        fill(image, window.left + 10, y, window.right - 10 - (y * 37 % 60), y + 3, kText);
}

Colour pixel_colour(const LoadedFrame& frame, int32_t x, int32_t y)
{
    const BitmapLayout& layout = frame.layout;
    const uint8_t* row = frame.data.data() + layout.rows_offset + static_cast<size_t>(layout.height - 1 - y) * layout.row_length;
    if (layout.bits_per_pixel == 24)
        return Colour{row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
    const uint32_t index = layout.bits_per_pixel == 8 ? row[x] : (x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4);
    if (index >= layout.colour_count)
        return Colour{0, 0, 0};
    const ColourEntry entry = colour_entry(frame.data.data(), index);
    return Colour{entry.red, entry.green, entry.blue};
}

// Paints a frame as its window shows it: the window has the mascot's size, the frame's
// pixels are drawn from its top-left corner, and only its shape is seen.
void draw_mascot(RgbaImage& image, const LoadedFrame& frame, Point32 at, int32_t width, int32_t height)
{
    for (const RunRect& run : trace_shape(frame.data.data(), frame.data.size())) {
        if (run.top >= height)
            continue;
        for (int32_t x = run.left; x < std::min(run.right, width); ++x) {
            const int32_t sx = at.x + x, sy = at.y + run.top;
            if (sx < 0 || sy < 0 || sx >= image.width || sy >= image.height)
                continue;
            const Colour c = pixel_colour(frame, x, run.top);
            uint8_t* p = image.at(sx, sy);
            p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = 255;
        }
    }
}

struct Showing {
    size_t frame = 0;
    int32_t ticks = 0;
};

std::vector<Showing> run_clock(const LoadedMascot& mascot, uint32_t seed, int32_t least_ticks, int32_t most_ticks)
{
    std::vector<Showing> shown{Showing{0, 0}};
    if (mascot.frames.size() < 2)
        return shown;
    RandomGenerator generator;
    seed_random(generator, seed);
    // A new mascot shows its first frame for its time as stored, without a random draw.
    AnimationClock clock{0, mascot.frames[0].time, 0};
    for (int32_t tick = 1; tick <= most_ticks; ++tick) {
        ++shown.back().ticks;
        const bool changed = advance_animation(
            clock, mascot.frames.size(), [&](size_t n) { return mascot.frames[n].time; },
            [&] { return next_random(generator); });
        if (!changed)
            continue;
        if (clock.current_frame == 0 && tick >= least_ticks)
            break;
        shown.push_back(Showing{clock.current_frame, 0});
    }
    if (shown.back().ticks == 0)
        shown.pop_back();
    return shown;
}

}  // namespace

std::vector<PreviewFrame> render_preview(const LoadedMascot& mascot, uint32_t seed, int32_t least_ticks,
                                         int32_t most_ticks)
{
    std::vector<PreviewFrame> frames;
    if (mascot.frames.empty())
        return frames;
    const int32_t width = mascot.width, height = mascot.height;
    Rect32 window{0, 0, std::max(320, width * 3), std::max(140, height + 60)};
    Point32 at = compute_mascot_position(window, width, height, mascot.settings);
    // The scene holds the window and the mascot, wherever its anchors put it, within reason.
    const int32_t left = std::max(std::min(window.left, at.x), -2048), top = std::max(std::min(window.top, at.y), -2048);
    const int32_t right = std::min(std::max(window.right, at.x + width), 4096);
    const int32_t bottom = std::min(std::max(window.bottom, at.y + height), 4096);
    const int32_t dx = kMargin - left, dy = kMargin - top;
    window = Rect32{window.left + dx, window.top + dy, window.right + dx, window.bottom + dy};
    at = Point32{at.x + dx, at.y + dy};
    RgbaImage scene = blank_image(right - left + 2 * kMargin, bottom - top + 2 * kMargin);
    fill(scene, 0, 0, scene.width, scene.height, kDesktop);
    draw_window(scene, window);
    for (const Showing& showing : run_clock(mascot, seed, least_ticks, most_ticks)) {
        PreviewFrame frame{scene, showing.ticks * 10};
        draw_mascot(frame.picture, mascot.frames[showing.frame], at, width, height);
        frames.push_back(std::move(frame));
    }
    return frames;
}
