#include "display/alpha_frame.h"

#include <algorithm>

#include "display/bitmap_file.h"

namespace {

void put_u32(uint8_t* out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t read_u32le(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

struct AlphaBlock {
    int32_t width = 0;
    int32_t height = 0;
    const uint8_t* rows = nullptr;   // bottom row first
};

bool read_alpha_block(const uint8_t* data, size_t size, AlphaBlock& block)
{
    if (size < kBitmapInfoHeaderSize || read_u32le(data) != kBitmapInfoHeaderSize || data[14] != 32 || data[15] != 0 ||
        read_u32le(data + 16) != 0 || read_u32le(data + 32) != 0)
        return false;
    const int32_t width = static_cast<int32_t>(read_u32le(data + 4));
    const int32_t height = static_cast<int32_t>(read_u32le(data + 8));
    if (width < 0 || height < 0 ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4 > size - kBitmapInfoHeaderSize)
        return false;
    block.width = width;
    block.height = height;
    block.rows = data + kBitmapInfoHeaderSize;
    return true;
}

uint8_t premultiply(uint8_t colour, uint8_t alpha) { return static_cast<uint8_t>((colour * alpha + 127) / 255); }

}  // namespace

std::vector<uint8_t> alpha_frame_block(const std::vector<uint8_t>& rgba, int32_t width, int32_t height)
{
    std::vector<uint8_t> block(kBitmapInfoHeaderSize + static_cast<size_t>(width) * height * 4, 0);
    put_u32(&block[0], kBitmapInfoHeaderSize);
    put_u32(&block[4], static_cast<uint32_t>(width));
    put_u32(&block[8], static_cast<uint32_t>(height));
    block[12] = 1;
    block[14] = 32;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = &rgba[static_cast<size_t>(y) * width * 4];
        uint8_t* out = &block[kBitmapInfoHeaderSize + static_cast<size_t>(height - 1 - y) * width * 4];
        for (int32_t x = 0; x < width; ++x, in += 4, out += 4) {
            out[0] = in[2], out[1] = in[1], out[2] = in[0], out[3] = in[3];
        }
    }
    return block;
}

bool is_alpha_frame_block(const uint8_t* data, size_t size)
{
    AlphaBlock block;
    return read_alpha_block(data, size, block);
}

std::vector<RunRect> trace_alpha_shape(const uint8_t* data, size_t size, uint8_t threshold)
{
    std::vector<RunRect> runs;
    AlphaBlock block;
    if (!read_alpha_block(data, size, block))
        return runs;
    for (int32_t y = 0; y < block.height; ++y) {
        const uint8_t* row = block.rows + static_cast<size_t>(block.height - 1 - y) * block.width * 4;
        int32_t start = -1;
        for (int32_t x = 0; x < block.width; ++x) {
            const bool seen = row[x * 4 + 3] >= threshold;
            if (seen && start < 0) {
                start = x;
            } else if (!seen && start >= 0) {
                runs.push_back(RunRect{start, y, x, y + 1});
                start = -1;
            }
        }
        if (start >= 0)
            runs.push_back(RunRect{start, y, block.width, y + 1});
    }
    return runs;
}

std::vector<uint8_t> layered_pixels(const uint8_t* data, size_t size, int32_t scale)
{
    AlphaBlock block;
    if (!read_alpha_block(data, size, block))
        return {};
    if (scale < 1)
        scale = 1;
    const size_t out_width = static_cast<size_t>(block.width) * scale;
    std::vector<uint8_t> pixels(out_width * block.height * scale * 4);
    for (int32_t y = 0; y < block.height; ++y) {
        const uint8_t* in = block.rows + static_cast<size_t>(block.height - 1 - y) * block.width * 4;
        uint8_t* first = &pixels[static_cast<size_t>(y) * scale * out_width * 4];
        uint8_t* out = first;
        for (int32_t x = 0; x < block.width; ++x, in += 4) {
            const uint8_t alpha = in[3];
            const uint8_t blue = premultiply(in[0], alpha), green = premultiply(in[1], alpha),
                          red = premultiply(in[2], alpha);
            for (int32_t n = 0; n < scale; ++n, out += 4)
                out[0] = blue, out[1] = green, out[2] = red, out[3] = alpha;
        }
        // The other rows of the block repeat the first.
        for (int32_t n = 1; n < scale; ++n)
            std::copy(first, first + out_width * 4, first + static_cast<size_t>(n) * out_width * 4);
    }
    return pixels;
}
