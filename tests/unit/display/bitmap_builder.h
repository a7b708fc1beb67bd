#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Builds bitmap data blocks (the file after its 14-byte header) for tests. Pictures are
// given top row first as strings; each character is looked up in `values`, which maps it
// to a colour index (4 and 8 bits) or to 0xRRGGBB (24 bits).
struct TestPicture {
    uint16_t bits_per_pixel = 8;
    std::vector<std::string> rows;  // top row first
    std::string symbols;            // symbols[i] stands for values[i]
    std::vector<uint32_t> values;
    uint32_t colours_used = 0;
    std::vector<uint32_t> palette;  // 0xRRGGBB entries; padded with grey up to the colour count
};

inline void put_u16(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

inline void put_u32(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline uint32_t picture_value(const TestPicture& picture, char symbol)
{
    return picture.values.at(picture.symbols.find(symbol));
}

inline std::vector<uint8_t> build_bitmap_data(const TestPicture& picture)
{
    const uint32_t height = static_cast<uint32_t>(picture.rows.size());
    const uint32_t width = height ? static_cast<uint32_t>(picture.rows[0].size()) : 0;
    const uint32_t bpp = picture.bits_per_pixel;
    uint32_t colours = picture.colours_used;
    if (colours == 0)
        colours = bpp == 4 ? 16 : bpp == 8 ? 256 : 0;
    const size_t row_length = (width * bpp + 31) / 32 * 4;
    std::vector<uint8_t> data(40 + 4 * colours + row_length * height, 0);
    put_u32(data, 0, 40);
    put_u32(data, 4, width);
    put_u32(data, 8, height);
    put_u16(data, 12, 1);
    put_u16(data, 14, bpp);
    put_u32(data, 32, picture.colours_used);
    for (uint32_t i = 0; i < colours; ++i) {
        const uint32_t rgb = i < picture.palette.size() ? picture.palette[i] : 0x808080;
        data[40 + 4 * i] = static_cast<uint8_t>(rgb);
        data[40 + 4 * i + 1] = static_cast<uint8_t>(rgb >> 8);
        data[40 + 4 * i + 2] = static_cast<uint8_t>(rgb >> 16);
    }
    const size_t rows_offset = 40 + 4 * colours;
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = data.data() + rows_offset + (height - 1 - y) * row_length;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t v = picture_value(picture, picture.rows[y][x]);
            if (bpp == 4)
                row[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? v << 4 : v);
            else if (bpp == 8)
                row[x] = static_cast<uint8_t>(v);
            else {
                row[3 * x] = static_cast<uint8_t>(v);
                row[3 * x + 1] = static_cast<uint8_t>(v >> 8);
                row[3 * x + 2] = static_cast<uint8_t>(v >> 16);
            }
        }
    }
    return data;
}

// A whole file: the 14-byte file header with a true size, then the block.
inline std::vector<uint8_t> build_bitmap_file(const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> file(14, 0);
    file[0] = 'B';
    file[1] = 'M';
    put_u32(file, 2, static_cast<uint32_t>(14 + data.size()));
    file.insert(file.end(), data.begin(), data.end());
    return file;
}
