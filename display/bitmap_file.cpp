#include "display/bitmap_file.h"

#include <cstdint>

namespace {

constexpr uint16_t kSignatureBM = 0x4D42;
constexpr uint32_t kCompressionNone = 0;

// A 24-bit bitmap may still carry a colour table, meant to help palette devices; the
// format allows one of at most 256 entries there.
constexpr uint32_t kMaxTableAt24Bits = 256;

uint32_t default_colour_count(uint16_t bits_per_pixel)
{
    switch (bits_per_pixel) {
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

uint32_t max_colour_count(uint16_t bits_per_pixel)
{
    return bits_per_pixel == 24 ? kMaxTableAt24Bits : default_colour_count(bits_per_pixel);
}

uint16_t read_u16le(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

uint32_t read_u32le(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

}  // namespace

FileHeaderResult read_file_header(const uint8_t* bytes, size_t size, BitmapFileHeader& header)
{
    if (size < kBitmapFileHeaderSize)
        return FileHeaderResult::short_header;
    if (read_u16le(bytes) != kSignatureBM)
        return FileHeaderResult::not_bitmap;
    const uint32_t file_size = read_u32le(bytes + 2);
    // A smaller stated size would make the data block smaller than its own info header,
    // or wrap round to a huge allocation.
    if (file_size < kBitmapFileHeaderSize + kBitmapInfoHeaderSize)
        return FileHeaderResult::too_small;
    header.data_size = file_size - static_cast<uint32_t>(kBitmapFileHeaderSize);
    return FileHeaderResult::ok;
}

LayoutResult read_bitmap_layout(const uint8_t* data, size_t size, BitmapLayout& layout)
{
    if (size < kBitmapInfoHeaderSize)
        return LayoutResult::short_header;
    // Painting finds the rows through this field, so any other value would point it elsewhere.
    if (read_u32le(data) != kBitmapInfoHeaderSize)
        return LayoutResult::wrong_header_size;
    const int32_t width = static_cast<int32_t>(read_u32le(data + 4));
    const int32_t height = static_cast<int32_t>(read_u32le(data + 8));
    const uint16_t bits_per_pixel = read_u16le(data + 14);
    const uint32_t compression = read_u32le(data + 16);
    const uint32_t colours_used = read_u32le(data + 32);

    if (bits_per_pixel != 4 && bits_per_pixel != 8 && bits_per_pixel != 24)
        return LayoutResult::unsupported_depth;
    if (compression != kCompressionNone)
        return LayoutResult::compressed;
    // A negative height means rows stored top row first; painting would then read as many
    // rows as its magnitude, which nothing here has checked.
    if (width < 0 || height < 0)
        return LayoutResult::negative_size;

    // The row length must fit the signed 32-bit arithmetic painting and the window use,
    // and the whole pixel area must fit a data block whose size came from a 32-bit field.
    const uint64_t row_bits = static_cast<uint64_t>(width) * bits_per_pixel + 31;
    if (row_bits > INT32_MAX)
        return LayoutResult::too_large;
    const uint64_t row_length = row_bits / 32 * 4;
    const uint64_t rows_size = row_length * static_cast<uint64_t>(height);
    if (rows_size > UINT32_MAX)
        return LayoutResult::too_large;

    const uint32_t colour_count = colours_used != 0 ? colours_used : default_colour_count(bits_per_pixel);
    if (colour_count > max_colour_count(bits_per_pixel))
        return LayoutResult::too_many_colours;

    const uint64_t rows_offset = kBitmapInfoHeaderSize + 4ull * colour_count;
    if (rows_offset + rows_size > size)
        return LayoutResult::short_data;

    layout.width = width;
    layout.height = height;
    layout.bits_per_pixel = bits_per_pixel;
    layout.colour_count = colour_count;
    layout.rows_offset = static_cast<size_t>(rows_offset);
    layout.row_length = static_cast<size_t>(row_length);
    return LayoutResult::ok;
}

ColourEntry colour_entry(const uint8_t* data, uint32_t index)
{
    const uint8_t* entry = data + kBitmapInfoHeaderSize + 4ull * index;
    return ColourEntry{entry[0], entry[1], entry[2]};
}
