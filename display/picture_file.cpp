#include "display/picture_file.h"

#include <cstring>
#include <memory>
#include <new>

#include "display/bitmap_file.h"
#include "display/gif_file.h"
#include "display/shape_trace.h"

// stb_image decodes PNG files and the LZW data of GIF frames; the GIF's structure, its
// transparency and disposal are read and composed by gif_file.cpp, since stb_image's own
// animation compositing restores the wrong pixels for disposal 2 and paints an opaque
// background behind the first frame.
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_NO_THREAD_LOCALS
#define STBI_MAX_DIMENSIONS kMaxPictureFileSide
#define STB_IMAGE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionBitfields = 3;
constexpr uint32_t kCompressionAlphaBitfields = 6;

uint16_t read_u16le(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }

uint32_t read_u32le(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

bool within_limits(int64_t width, int64_t height)
{
    return width <= kMaxPictureFileSide && height <= kMaxPictureFileSide;
}

// Whether the bytes hold a bitmap's file header and data block, and where the block is.
bool bitmap_block(const uint8_t* bytes, size_t size, const uint8_t*& data, size_t& data_size)
{
    BitmapFileHeader header;
    if (read_file_header(bytes, size, header) != FileHeaderResult::ok ||
        header.data_size > size - kBitmapFileHeaderSize)
        return false;
    data = bytes + kBitmapFileHeaderSize;
    data_size = header.data_size;
    return true;
}

// A frame bitmap of 4, 8 or 24 bits: the shape decides what is seen, by value, as it decides
// the program's window.
void decode_frame_bitmap(const uint8_t* data, size_t size, const BitmapLayout& layout, Picture& picture)
{
    picture.width = layout.width;
    picture.height = layout.height;
    picture.frames.resize(1);
    std::vector<uint8_t>& rgba = picture.frames[0].rgba;
    rgba.assign(static_cast<size_t>(layout.width) * layout.height * 4, 0);
    for (int32_t k = 0; k < layout.height; ++k) {
        const uint8_t* row = data + layout.rows_offset + static_cast<size_t>(k) * layout.row_length;
        const int32_t y = layout.height - 1 - k;
        for (int32_t x = 0; x < layout.width; ++x) {
            uint8_t* out = &rgba[(static_cast<size_t>(y) * layout.width + x) * 4];
            if (layout.bits_per_pixel == 24) {
                out[0] = row[x * 3 + 2], out[1] = row[x * 3 + 1], out[2] = row[x * 3];
            } else {
                const uint32_t index = layout.bits_per_pixel == 8 ? row[x] : (x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4);
                ColourEntry colour;
                if (index < layout.colour_count)
                    colour = colour_entry(data, index);
                out[0] = colour.red, out[1] = colour.green, out[2] = colour.blue;
            }
        }
    }
    for (const RunRect& run : trace_shape(data, size))
        for (int32_t x = run.left; x < run.right; ++x)
            rgba[(static_cast<size_t>(run.top) * layout.width + x) * 4 + 3] = 255;
}

// The byte a channel mask selects, or -1 for a mask that is not one whole byte.
int mask_byte(uint32_t mask)
{
    for (int byte = 0; byte < 4; ++byte)
        if (mask == 0xFFu << (8 * byte))
            return byte;
    return -1;
}

PictureResult decode_bitmap(const uint8_t* bytes, size_t size, Picture& picture)
{
    const uint8_t* data = nullptr;
    size_t data_size = 0;
    if (!bitmap_block(bytes, size, data, data_size))
        return PictureResult::broken;
    return decode_bitmap_block(data, data_size, picture);
}

PictureResult decode_png(const uint8_t* bytes, size_t size, Picture& picture)
{
    if (size > 0x7FFFFFFF)
        return PictureResult::too_large;
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 4);
    if (!pixels)
        return PictureResult::broken;
    picture.width = width;
    picture.height = height;
    picture.own_alpha = true;
    picture.frames.resize(1);
    picture.frames[0].rgba.assign(pixels, pixels + static_cast<size_t>(width) * height * 4);
    stbi_image_free(pixels);
    return PictureResult::ok;
}

}  // namespace

PictureFormat picture_format(const uint8_t* bytes, size_t size)
{
    if (size >= sizeof kPngSignature && std::memcmp(bytes, kPngSignature, sizeof kPngSignature) == 0)
        return PictureFormat::png;
    if (size >= 6 && (std::memcmp(bytes, "GIF87a", 6) == 0 || std::memcmp(bytes, "GIF89a", 6) == 0))
        return PictureFormat::gif;
    if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return PictureFormat::bitmap;
    return PictureFormat::unknown;
}

PictureResult measure_picture(const uint8_t* bytes, size_t size, PictureSize& picture_size)
{
    picture_size = PictureSize{};
    switch (picture_format(bytes, size)) {
    case PictureFormat::png: {
        if (size > 0x7FFFFFFF)
            return PictureResult::too_large;
        // Reads the signature and the header chunk only. stb refuses sides over the limit
        // itself, so they are looked at in the header chunk first to tell them apart.
        if (size >= 24) {
            const uint32_t width = static_cast<uint32_t>(bytes[16]) << 24 | bytes[17] << 16 | bytes[18] << 8 | bytes[19];
            const uint32_t height = static_cast<uint32_t>(bytes[20]) << 24 | bytes[21] << 16 | bytes[22] << 8 | bytes[23];
            if (!within_limits(width, height))
                return PictureResult::too_large;
        }
        int width = 0, height = 0, channels = 0;
        if (!stbi_info_from_memory(bytes, static_cast<int>(size), &width, &height, &channels))
            return PictureResult::broken;
        picture_size.width = width;
        picture_size.height = height;
        picture_size.frames = 1;
        return PictureResult::ok;
    }
    case PictureFormat::gif: {
        GifLayout layout;
        const PictureResult result = read_gif_layout(bytes, size, layout);
        if (result != PictureResult::ok)
            return result;
        picture_size.width = layout.width;
        picture_size.height = layout.height;
        picture_size.frames = layout.frames.size();
        return PictureResult::ok;
    }
    case PictureFormat::bitmap: {
        const uint8_t* data = nullptr;
        size_t data_size = 0;
        if (!bitmap_block(bytes, size, data, data_size) || data_size < kBitmapInfoHeaderSize)
            return PictureResult::broken;
        const int64_t width = static_cast<int32_t>(read_u32le(data + 4));
        const int64_t height = static_cast<int32_t>(read_u32le(data + 8));
        if (!within_limits(width, height < 0 ? -height : height))
            return PictureResult::too_large;
        picture_size.width = static_cast<int32_t>(width);
        picture_size.height = static_cast<int32_t>(height < 0 ? -height : height);
        picture_size.frames = 1;
        return PictureResult::ok;
    }
    case PictureFormat::unknown: break;
    }
    return PictureResult::unknown_format;
}

PictureResult decode_picture(const uint8_t* bytes, size_t size, Picture& picture)
{
    picture = Picture{};
    PictureSize picture_size;
    const PictureResult measured = measure_picture(bytes, size, picture_size);
    if (measured != PictureResult::ok)
        return measured;
    try {
        switch (picture_format(bytes, size)) {
        case PictureFormat::png: return decode_png(bytes, size, picture);
        case PictureFormat::bitmap: return decode_bitmap(bytes, size, picture);
        case PictureFormat::gif: {
            GifLayout layout;
            read_gif_layout(bytes, size, layout);
            return compose_gif(bytes, layout, picture);
        }
        case PictureFormat::unknown: break;
        }
    } catch (const std::bad_alloc&) {
        picture = Picture{};
        return PictureResult::too_large;
    }
    return PictureResult::unknown_format;
}

PictureResult decode_bitmap32(const uint8_t* data, size_t size, Picture& picture)
{
    picture = Picture{};
    if (size < kBitmapInfoHeaderSize)
        return PictureResult::broken;
    const uint32_t header_size = read_u32le(data);
    const int32_t width = static_cast<int32_t>(read_u32le(data + 4));
    const int32_t stored_height = static_cast<int32_t>(read_u32le(data + 8));
    const uint32_t compression = read_u32le(data + 16);
    const uint32_t colours_used = read_u32le(data + 32);
    if (header_size < kBitmapInfoHeaderSize || header_size > size || read_u16le(data + 14) != 32 ||
        colours_used > 256 || width <= 0 || stored_height == 0 || stored_height == INT32_MIN)
        return PictureResult::broken;
    const bool bottom_up = stored_height > 0;
    const int32_t height = bottom_up ? stored_height : -stored_height;
    if (!within_limits(width, height))
        return PictureResult::too_large;

    // The channel masks stand in the header from the version 3 header on, and after a plain
    // 40-byte header when the compression names them.
    uint32_t masks[4] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u};
    size_t masks_after_header = 0;
    if (compression == kCompressionBitfields || compression == kCompressionAlphaBitfields) {
        const size_t mask_count = compression == kCompressionAlphaBitfields || header_size >= 56 ? 4 : 3;
        if (header_size == kBitmapInfoHeaderSize)
            masks_after_header = 4 * mask_count;
        if (kBitmapInfoHeaderSize + 4 * mask_count > size)
            return PictureResult::broken;
        for (size_t i = 0; i < 4; ++i)
            masks[i] = i < mask_count ? read_u32le(data + kBitmapInfoHeaderSize + 4 * i) : 0;
    } else if (compression != kCompressionRgb) {
        return PictureResult::broken;
    }
    int channel[4];
    for (int i = 0; i < 4; ++i) {
        channel[i] = mask_byte(masks[i]);
        if (channel[i] < 0 && !(i == 3 && masks[i] == 0))
            return PictureResult::broken;
    }
    const uint64_t rows_offset = static_cast<uint64_t>(header_size) + masks_after_header + 4ull * colours_used;
    const uint64_t row_length = static_cast<uint64_t>(width) * 4;
    if (rows_offset + row_length * height > size)
        return PictureResult::broken;

    picture.width = width;
    picture.height = height;
    picture.frames.resize(1);
    std::vector<uint8_t>& rgba = picture.frames[0].rgba;
    rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    bool some_below_opaque = false, some_not_zero = false;
    for (int32_t k = 0; k < height; ++k) {
        const uint8_t* row = data + rows_offset + static_cast<size_t>(k) * row_length;
        const int32_t y = bottom_up ? height - 1 - k : k;
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* in = row + 4 * x;
            uint8_t* out = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            for (int i = 0; i < 3; ++i)
                out[i] = in[channel[i]];
            const uint8_t alpha = channel[3] >= 0 ? in[channel[3]] : 255;
            out[3] = alpha;
            some_below_opaque |= alpha < 255;
            some_not_zero |= alpha != 0;
        }
    }
    picture.own_alpha = some_below_opaque && some_not_zero;
    if (!picture.own_alpha) {
        // Without alpha the frame is cut like every other frame bitmap, by its bottom-left colour.
        const uint8_t* key = &rgba[static_cast<size_t>(height - 1) * width * 4];
        const uint8_t red = key[0], green = key[1], blue = key[2];
        for (size_t i = 0; i < rgba.size(); i += 4)
            rgba[i + 3] = rgba[i] == red && rgba[i + 1] == green && rgba[i + 2] == blue ? 0 : 255;
    }
    return PictureResult::ok;
}

PictureResult decode_bitmap_block(const uint8_t* data, size_t size, Picture& picture)
{
    picture = Picture{};
    if (size >= kBitmapInfoHeaderSize && read_u16le(data + 14) == 32)
        return decode_bitmap32(data, size, picture);
    BitmapLayout layout;
    if (read_bitmap_layout(data, size, layout) != LayoutResult::ok)
        return PictureResult::broken;
    if (!within_limits(layout.width, layout.height))
        return PictureResult::too_large;
    decode_frame_bitmap(data, size, layout, picture);
    return PictureResult::ok;
}

bool decode_gif_raster(const uint8_t* data, size_t size, int32_t width, int32_t height, bool interlaced,
                       const uint8_t (&table)[256][4], std::vector<uint8_t>& rgba)
{
    if (width <= 0 || height <= 0 || size > 0x7FFFFFFF)
        return false;
    const size_t pixels = static_cast<size_t>(width) * height;
    rgba.assign(pixels * 4, 0);
    std::vector<stbi_uc> history(pixels, 0);
    std::unique_ptr<stbi__gif> gif(new stbi__gif());
    std::memset(gif.get(), 0, sizeof(stbi__gif));
    std::memcpy(gif->lpal, table, sizeof gif->lpal);
    gif->w = width;
    gif->h = height;
    gif->out = rgba.data();
    gif->history = history.data();
    gif->color_table = &gif->lpal[0][0];
    gif->line_size = width * 4;
    gif->start_x = 0;
    gif->start_y = 0;
    gif->max_x = width * 4;
    gif->max_y = height * gif->line_size;
    gif->cur_x = 0;
    gif->cur_y = 0;
    if (interlaced) {
        gif->step = 8 * gif->line_size;
        gif->parse = 3;
    } else {
        gif->step = gif->line_size;
        gif->parse = 0;
    }
    stbi__context context;
    stbi__start_mem(&context, data, static_cast<int>(size));
    return stbi__process_gif_raster(&context, gif.get()) != nullptr;
}
