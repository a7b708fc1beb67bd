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
    if (layout.bits_per_pixel == 32)
        return Colour{row[x * 4 + 2], row[x * 4 + 1], row[x * 4]};
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
    for (const RunRect& run : frame_shape(frame)) {
        if (run.top >= height)
            continue;
        for (int32_t x = run.left; x < std::min(run.right, width); ++x) {
            const int32_t sx = at.x + x, sy = at.y + run.top;
            if (sx < 0 || sy < 0 || sx >= image.width || sy >= image.height)
                continue;
            const Colour c = pixel_colour(frame, x, run.top);
            uint8_t* p = image.at(sx, sy);
            // A frame with alpha is blended over what lies behind, as a layered window is.
            const uint32_t alpha = frame.alpha_form ? frame.data[frame.layout.rows_offset +
                                                                 static_cast<size_t>(frame.layout.height - 1 - run.top) *
                                                                     frame.layout.row_length + x * 4 + 3]
                                                    : 255;
            p[0] = static_cast<uint8_t>((c.r * alpha + p[0] * (255 - alpha) + 127) / 255);
            p[1] = static_cast<uint8_t>((c.g * alpha + p[1] * (255 - alpha) + 127) / 255);
            p[2] = static_cast<uint8_t>((c.b * alpha + p[2] * (255 - alpha) + 127) / 255);
            p[3] = 255;
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

// The first frame whose bitmap is the same as this one's, so that it is drawn once.
size_t first_alike(const LoadedMascot& mascot, size_t frame)
{
    for (size_t earlier = 0; earlier < frame; ++earlier)
        if (mascot.frames[earlier].data == mascot.frames[frame].data)
            return earlier;
    return frame;
}

bool placeable(int32_t anchor) { return anchor >= kLeastAnchor && anchor <= kMostAnchor; }

}  // namespace

bool plan_preview(const LoadedMascot& mascot, uint32_t seed, PreviewPlan& plan, std::string& reason,
                  int32_t least_ticks, int32_t most_ticks)
{
    plan = PreviewPlan();
    if (mascot.frames.empty()) {
        reason = "the mascot has no frame";
        return false;
    }
    if (!placeable(mascot.settings.PositionX) || !placeable(mascot.settings.PositionY)) {
        reason = "the anchors lie outside what the program can place";
        return false;
    }
    // Within those anchors and the bitmap reader's sizes every sum below stays far inside 32 bits.
    const int64_t width = mascot.width, height = mascot.height;
    const Rect32 window{0, 0, static_cast<int32_t>(std::max<int64_t>(320, width * 3)),
                        static_cast<int32_t>(std::max<int64_t>(140, height + 60))};
    const Point32 at = compute_mascot_position(window, mascot.width, mascot.height, mascot.settings);
    // The window and the mascot, but of the window only what lies near the mascot.
    const int64_t left = std::max<int64_t>(std::min<int64_t>(window.left, at.x), at.x - kPreviewContext);
    const int64_t top = std::max<int64_t>(std::min<int64_t>(window.top, at.y), at.y - kPreviewContext);
    const int64_t right = std::min<int64_t>(std::max<int64_t>(window.right, at.x + width), at.x + width + kPreviewContext);
    const int64_t bottom =
        std::min<int64_t>(std::max<int64_t>(window.bottom, at.y + height), at.y + height + kPreviewContext);
    const int64_t scene_width = right - left + 2 * kMargin, scene_height = bottom - top + 2 * kMargin;
    if (scene_width * scene_height > kPreviewPixelBudget) {
        reason = "the preview would be " + std::to_string(scene_width) + "x" + std::to_string(scene_height) +
                 ", more than the " + std::to_string(kPreviewPixelBudget) + " dots a picture of it may have";
        return false;
    }
    const int64_t dx = kMargin - left, dy = kMargin - top;
    plan.width = static_cast<int32_t>(scene_width);
    plan.height = static_cast<int32_t>(scene_height);
    plan.window = Rect32{static_cast<int32_t>(window.left + dx), static_cast<int32_t>(window.top + dy),
                         static_cast<int32_t>(window.right + dx), static_cast<int32_t>(window.bottom + dy)};
    plan.at = Point32{static_cast<int32_t>(at.x + dx), static_cast<int32_t>(at.y + dy)};
    for (const Showing& showing : run_clock(mascot, seed, least_ticks, most_ticks)) {
        const size_t frame = first_alike(mascot, showing.frame);
        if (!plan.showings.empty() && plan.showings.back().frame == frame)
            plan.showings.back().delay += showing.ticks * 10;
        else
            plan.showings.push_back(PreviewShowing{frame, showing.ticks * 10});
    }
    return true;
}

RgbaImage render_preview_picture(const LoadedMascot& mascot, const PreviewPlan& plan, size_t frame)
{
    RgbaImage scene = blank_image(plan.width, plan.height);
    fill(scene, 0, 0, scene.width, scene.height, kDesktop);
    draw_window(scene, plan.window);
    draw_mascot(scene, mascot.frames[frame], plan.at, mascot.width, mascot.height);
    return scene;
}
