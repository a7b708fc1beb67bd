#include "kit/frame_canvas.h"

#include <algorithm>
#include <unordered_map>

namespace {

uint32_t pack(uint8_t r, uint8_t g, uint8_t b) { return (uint32_t(r) << 16) | (uint32_t(g) << 8) | b; }

void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

void cut_alpha(RgbaImage& image, const Rgb* matte)
{
    for (size_t i = 0; i + 3 < image.pixels.size(); i += 4) {
        uint8_t* p = &image.pixels[i];
        const unsigned alpha = p[3];
        if (alpha < kOpaqueFrom) {
            p[0] = p[1] = p[2] = p[3] = 0;
            continue;
        }
        if (matte && alpha < 255) {
            const uint8_t under[3] = {matte->red, matte->green, matte->blue};
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<uint8_t>((p[c] * alpha + under[c] * (255 - alpha) + 127) / 255);
        }
        p[3] = 255;
    }
}

bool is_opaque(const RgbaImage& image, int32_t x, int32_t y) { return image.at(x, y)[3] >= kOpaqueFrom; }

CanvasPlan plan_canvas(const std::vector<RgbaImage>& frames)
{
    CanvasPlan plan;
    for (const RgbaImage& frame : frames) {
        plan.width = std::max(plan.width, frame.width);
        plan.height = std::max(plan.height, frame.height);
    }
    for (const RgbaImage& frame : frames) {
        if (frame.width != plan.width || frame.height != plan.height)
            plan.sizes_differ = true;
        if ((plan.width - frame.width) % 2)
            plan.centre_rounded = true;
        plan.origins.push_back(Point32{(plan.width - frame.width) / 2, plan.height - frame.height});
    }
    for (size_t i = 0; i < frames.size(); ++i) {
        const Point32 origin = plan.origins[i];
        const RgbaImage& frame = frames[i];
        // The canvas's bottom-left pixel is the frame's own only when the frame touches that corner.
        if (origin.x == 0 && frame.height > 0 && frame.width > 0 && is_opaque(frame, 0, frame.height - 1))
            plan.widened = true;
    }
    if (plan.widened) {
        ++plan.width;
        for (Point32& origin : plan.origins)
            ++origin.x;
    }
    return plan;
}

RgbaImage place_on_canvas(const RgbaImage& frame, const CanvasPlan& plan, size_t index)
{
    RgbaImage canvas = blank_image(plan.width, plan.height);
    const Point32 origin = plan.origins[index];
    for (int32_t y = 0; y < frame.height; ++y)
        std::copy(frame.at(0, y), frame.at(0, y) + 4 * static_cast<size_t>(frame.width),
                  canvas.at(origin.x, origin.y + y));
    return canvas;
}

bool choose_key(const std::vector<RgbaImage>& frames, Rgb& key)
{
    std::vector<bool> used(1u << 24, false);
    for (const RgbaImage& frame : frames)
        for (size_t i = 0; i + 3 < frame.pixels.size(); i += 4)
            if (frame.pixels[i + 3] >= kOpaqueFrom)
                used[pack(frame.pixels[i], frame.pixels[i + 1], frame.pixels[i + 2])] = true;
    static const uint32_t kPreferred[] = {0xFF00FF, 0x00FF00, 0x00FFFF, 0xFFFF00, 0x0000FF, 0xFF0000};
    for (uint32_t colour : kPreferred) {
        if (!used[colour]) {
            key = Rgb{uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)};
            return true;
        }
    }
    for (uint32_t colour = 0; colour < used.size(); ++colour) {
        if (!used[colour]) {
            key = Rgb{uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)};
            return true;
        }
    }
    return false;
}

bool has_soft_edges(const RgbaImage& frame)
{
    for (size_t i = 3; i < frame.pixels.size(); i += 4)
        if (frame.pixels[i] != 0 && frame.pixels[i] != 255)
            return true;
    return false;
}

bool has_soft_edges(const std::vector<RgbaImage>& frames)
{
    for (const RgbaImage& frame : frames)
        if (has_soft_edges(frame))
            return true;
    return false;
}

std::vector<uint8_t> encode_frame32(const RgbaImage& frame)
{
    const size_t row_length = static_cast<size_t>(frame.width) * 4;
    const size_t file_size = 14 + 40 + row_length * frame.height;
    std::vector<uint8_t> out;
    out.reserve(file_size);
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<uint32_t>(file_size));
    put32(out, 0);
    put32(out, 14 + 40);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(frame.width));
    put32(out, static_cast<uint32_t>(frame.height));
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    put32(out, static_cast<uint32_t>(row_length * frame.height));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int32_t y = frame.height - 1; y >= 0; --y)
        for (int32_t x = 0; x < frame.width; ++x) {
            const uint8_t* p = frame.at(x, y);
            const bool seen = p[3] != 0;
            out.push_back(seen ? p[2] : 0);
            out.push_back(seen ? p[1] : 0);
            out.push_back(seen ? p[0] : 0);
            out.push_back(p[3]);
        }
    return out;
}

EncodedFrame encode_frame(const RgbaImage& frame, const Rgb& key)
{
    // Colour-table index of each opaque colour, the key holding index 0.
    std::unordered_map<uint32_t, uint8_t> index_of;
    std::vector<uint32_t> table{pack(key.red, key.green, key.blue)};
    bool fits = true;
    for (size_t i = 0; fits && i + 3 < frame.pixels.size(); i += 4) {
        if (frame.pixels[i + 3] < kOpaqueFrom)
            continue;
        const uint32_t colour = pack(frame.pixels[i], frame.pixels[i + 1], frame.pixels[i + 2]);
        if (index_of.count(colour))
            continue;
        if (table.size() == 256) {
            fits = false;
            break;
        }
        index_of[colour] = static_cast<uint8_t>(table.size());
        table.push_back(colour);
    }
    EncodedFrame encoded;
    encoded.bits_per_pixel = fits ? 8 : 24;
    if (!fits)
        table.clear();
    const size_t row_length = (static_cast<size_t>(frame.width) * encoded.bits_per_pixel + 31) / 32 * 4;
    const size_t rows_offset = 14 + 40 + 4 * table.size();
    const size_t file_size = rows_offset + row_length * frame.height;
    std::vector<uint8_t>& out = encoded.file;
    out.reserve(file_size);
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<uint32_t>(file_size));
    put32(out, 0);
    put32(out, static_cast<uint32_t>(rows_offset));
    put32(out, 40);
    put32(out, static_cast<uint32_t>(frame.width));
    put32(out, static_cast<uint32_t>(frame.height));
    put16(out, 1);
    put16(out, static_cast<uint32_t>(encoded.bits_per_pixel));
    put32(out, 0);
    put32(out, static_cast<uint32_t>(row_length * frame.height));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, static_cast<uint32_t>(table.size()));
    put32(out, 0);
    for (uint32_t colour : table) {
        out.push_back(colour & 0xFF);
        out.push_back((colour >> 8) & 0xFF);
        out.push_back((colour >> 16) & 0xFF);
        out.push_back(0);
    }
    for (int32_t y = frame.height - 1; y >= 0; --y) {
        const size_t row_start = out.size();
        for (int32_t x = 0; x < frame.width; ++x) {
            const uint8_t* p = frame.at(x, y);
            const bool opaque = p[3] >= kOpaqueFrom;
            if (fits) {
                out.push_back(opaque ? index_of[pack(p[0], p[1], p[2])] : 0);
            } else {
                out.push_back(opaque ? p[2] : key.blue);
                out.push_back(opaque ? p[1] : key.green);
                out.push_back(opaque ? p[0] : key.red);
            }
        }
        out.resize(row_start + row_length, 0);
    }
    return encoded;
}

RgbaImage fit_into_square(const RgbaImage& frame, int32_t size)
{
    RgbaImage square = blank_image(size, size);
    const int32_t side = std::max(frame.width, frame.height);
    if (side == 0)
        return square;
    // Each target pixel averages a grid of samples, weighting colour by alpha.
    const int kSamples = 4;
    const double scale = static_cast<double>(side) / size;
    const double left = (frame.width - side) / 2.0, top = (frame.height - side) / 2.0;
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            double sum[4] = {0, 0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const int32_t fx = static_cast<int32_t>(left + (x + (sx + 0.5) / kSamples) * scale);
                    const int32_t fy = static_cast<int32_t>(top + (y + (sy + 0.5) / kSamples) * scale);
                    if (fx < 0 || fy < 0 || fx >= frame.width || fy >= frame.height)
                        continue;
                    const uint8_t* p = frame.at(fx, fy);
                    for (int c = 0; c < 3; ++c)
                        sum[c] += p[c] * p[3];
                    sum[3] += p[3];
                }
            }
            uint8_t* out = square.at(x, y);
            if (sum[3] > 0)
                for (int c = 0; c < 3; ++c)
                    out[c] = static_cast<uint8_t>(sum[c] / sum[3] + 0.5);
            out[3] = static_cast<uint8_t>(sum[3] / (kSamples * kSamples) + 0.5);
        }
    }
    return square;
}
