#pragma once
#include <cstddef>
#include <cstdint>

// Frames are uncompressed, bottom-up Windows bitmaps of 4, 8 or 24 bits per pixel with the
// 40-byte info header. Files come from archives anyone can hand out, so every size they
// state is checked against the bytes really present before a row is touched.

constexpr size_t kBitmapFileHeaderSize = 14;
constexpr uint32_t kBitmapInfoHeaderSize = 40;

// What the 14-byte file header says; the signature has already been checked.
struct BitmapFileHeader {
    // The bitmap data block is the file less its file header: info header, colour table, rows.
    uint32_t data_size = 0;
};

enum class FileHeaderResult {
    ok,
    short_header,   // fewer than 14 bytes
    not_bitmap,     // signature other than "BM"
    too_small,      // the stated file size leaves no room for the info header
};

FileHeaderResult read_file_header(const uint8_t* bytes, size_t size, BitmapFileHeader& header);

// Where the parts of a bitmap data block lie, once the block has been found sound.
struct BitmapLayout {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bits_per_pixel = 0;
    // Colours-used when not 0, otherwise what the depth indexes (16, 256, or 0 at 24 bits).
    uint32_t colour_count = 0;
    // Offset of the first stored row (the bottom row of the picture) within the block.
    size_t rows_offset = 0;
    // Bytes per stored row, padded up to a multiple of 4.
    size_t row_length = 0;
};

enum class LayoutResult {
    ok,
    short_header,          // fewer than 40 bytes for the info header
    wrong_header_size,     // header size field other than 40
    unsupported_depth,     // bits per pixel other than 4, 8 or 24
    compressed,            // compression other than uncompressed RGB
    negative_size,         // negative width, or negative height (top-down rows)
    too_large,             // width or height past what the row arithmetic can hold
    too_many_colours,      // a colour table larger than the depth can index
    short_data,            // colour table or rows run past the end of the block
};

// Checks a bitmap data block (the file after its file header) and finds its parts. The
// layout is filled only when the result is ok.
LayoutResult read_bitmap_layout(const uint8_t* data, size_t size, BitmapLayout& layout);

// Colour-table entry i of a block whose layout is sound, as stored: blue, green, red.
struct ColourEntry {
    uint8_t blue = 0, green = 0, red = 0;
};
ColourEntry colour_entry(const uint8_t* data, uint32_t index);
