#include "kit/picture.h"

#include <cstring>

#include "display/bitmap_file.h"
#include "display/shape_trace.h"

#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_MAX_DIMENSIONS kMaxPictureSide
#define STB_IMAGE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

const char* layout_reason(LayoutResult result)
{
    switch (result) {
    case LayoutResult::ok: return "sound";
    case LayoutResult::short_header: return "the info header is cut short";
    case LayoutResult::wrong_header_size: return "the info header is not the 40-byte kind";
    case LayoutResult::unsupported_depth: return "bits per pixel other than 4, 8 or 24";
    case LayoutResult::compressed: return "the rows are compressed";
    case LayoutResult::negative_size: return "negative width or top-down rows";
    case LayoutResult::too_large: return "width or height too large";
    case LayoutResult::too_many_colours: return "a colour table larger than the depth indexes";
    case LayoutResult::short_data: return "the colour table or rows run past the end of the data";
    }
    return "unknown";
}

bool read_png(const uint8_t* bytes, size_t size, RgbaImage& image, std::string& reason)
{
    if (size > 0x7FFFFFFF) {
        reason = "the PNG file is too large";
        return false;
    }
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 4);
    if (!pixels) {
        reason = std::string("the PNG cannot be read (") + stbi_failure_reason() + ")";
        return false;
    }
    image = blank_image(width, height);
    std::memcpy(image.pixels.data(), pixels, image.pixels.size());
    stbi_image_free(pixels);
    return true;
}

bool read_bitmap(const uint8_t* bytes, size_t size, RgbaImage& image, std::string& reason)
{
    BitmapFileHeader header;
    if (read_file_header(bytes, size, header) != FileHeaderResult::ok ||
        header.data_size > size - kBitmapFileHeaderSize) {
        reason = "the bitmap's file header is cut short or states more bytes than the file holds";
        return false;
    }
    const uint8_t* data = bytes + kBitmapFileHeaderSize;
    BitmapLayout layout;
    const LayoutResult result = read_bitmap_layout(data, header.data_size, layout);
    if (result != LayoutResult::ok) {
        reason = std::string("the program refuses this bitmap: ") + layout_reason(result);
        return false;
    }
    if (layout.width > kMaxPictureSide || layout.height > kMaxPictureSide) {
        reason = "the bitmap is larger than 2048 dots on a side";
        return false;
    }
    image = blank_image(layout.width, layout.height);
    for (int32_t k = 0; k < layout.height; ++k) {
        const uint8_t* row = data + layout.rows_offset + static_cast<size_t>(k) * layout.row_length;
        const int32_t y = layout.height - 1 - k;
        for (int32_t x = 0; x < layout.width; ++x) {
            uint8_t* out = image.at(x, y);
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
    // The shape decides what is seen, by value, as it decides the window.
    for (const RunRect& run : trace_shape(data, header.data_size))
        for (int32_t x = run.left; x < run.right; ++x)
            image.at(x, run.top)[3] = 255;
    return true;
}

}  // namespace

RgbaImage blank_image(int32_t width, int32_t height)
{
    RgbaImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * height * 4, 0);
    return image;
}

bool read_picture(const uint8_t* bytes, size_t size, RgbaImage& image, std::string& reason)
{
    if (size >= sizeof kPngSignature && std::memcmp(bytes, kPngSignature, sizeof kPngSignature) == 0)
        return read_png(bytes, size, image, reason);
    if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return read_bitmap(bytes, size, image, reason);
    reason = "neither a PNG nor a bitmap";
    return false;
}
