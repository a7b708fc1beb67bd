#pragma once
#include <algorithm>
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

// A 32-bit data block. Pixels are 0xAARRGGBB, top row first; the bytes are stored blue, green,
// red, alpha unless masks say otherwise. `header_size` 40 with BI_BITFIELDS puts the masks
// after the header; larger headers hold them at offset 40.
struct TestBitmap32 {
    int32_t width = 0;
    std::vector<uint32_t> pixels;
    uint32_t header_size = 40;
    uint32_t compression = 0;
    std::vector<uint32_t> masks;
    bool top_down = false;
};

inline std::vector<uint8_t> build_bitmap32_data(const TestBitmap32& picture)
{
    const int32_t height = picture.width ? static_cast<int32_t>(picture.pixels.size()) / picture.width : 0;
    const size_t after_header = picture.header_size == 40 ? 4 * picture.masks.size() : 0;
    const size_t rows_offset = picture.header_size + after_header;
    std::vector<uint8_t> data(rows_offset + picture.pixels.size() * 4, 0);
    put_u32(data, 0, picture.header_size);
    put_u32(data, 4, static_cast<uint32_t>(picture.width));
    put_u32(data, 8, static_cast<uint32_t>(picture.top_down ? -height : height));
    put_u16(data, 12, 1);
    put_u16(data, 14, 32);
    put_u32(data, 16, picture.compression);
    for (size_t i = 0; i < picture.masks.size(); ++i)
        put_u32(data, 40 + 4 * i, picture.masks[i]);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < picture.width; ++x) {
            const int32_t stored_row = picture.top_down ? y : height - 1 - y;
            put_u32(data, rows_offset + (static_cast<size_t>(stored_row) * picture.width + x) * 4,
                    picture.pixels[static_cast<size_t>(y) * picture.width + x]);
        }
    return data;
}

// GIF files for tests, with four colours and image data coded so that every code stays three
// bits wide: a clear code before every second pixel.
struct TestGifFrame {
    int32_t left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> indices;   // top row first
    int32_t transparent = -1;
    uint32_t disposal = 0;
    uint32_t delay = 0;
    bool control = true;            // write a graphic control extension before the frame
};

inline void put_gif_u16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline std::vector<uint8_t> gif_image_data(const std::vector<uint8_t>& indices)
{
    std::vector<uint8_t> packed;
    uint32_t bits = 0, count = 0;
    auto emit = [&](uint32_t code) {
        bits |= code << count;
        count += 3;
        while (count >= 8) {
            packed.push_back(static_cast<uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    };
    for (size_t i = 0; i < indices.size(); ++i) {
        if (i % 2 == 0)
            emit(4);
        emit(indices[i]);
    }
    emit(5);
    if (count)
        packed.push_back(static_cast<uint8_t>(bits));
    std::vector<uint8_t> out{2};
    for (size_t at = 0; at < packed.size(); at += 255) {
        const size_t length = std::min<size_t>(255, packed.size() - at);
        out.push_back(static_cast<uint8_t>(length));
        out.insert(out.end(), packed.begin() + at, packed.begin() + at + length);
    }
    out.push_back(0);
    return out;
}

inline std::vector<uint8_t> build_gif(uint32_t width, uint32_t height, const std::vector<TestGifFrame>& frames,
                                      bool trailer = true)
{
    std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    put_gif_u16(out, width);
    put_gif_u16(out, height);
    out.push_back(0x81);  // a global table of four entries
    out.push_back(0);
    out.push_back(0);
    const uint8_t table[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};  // red, green, blue, white
    out.insert(out.end(), table, table + 12);
    for (const TestGifFrame& frame : frames) {
        if (frame.control) {
            out.insert(out.end(), {0x21, 0xF9, 4});
            out.push_back(static_cast<uint8_t>((frame.disposal << 2) | (frame.transparent >= 0 ? 1 : 0)));
            put_gif_u16(out, frame.delay);
            out.push_back(static_cast<uint8_t>(frame.transparent >= 0 ? frame.transparent : 0));
            out.push_back(0);
        }
        out.push_back(0x2C);
        put_gif_u16(out, frame.left);
        put_gif_u16(out, frame.top);
        put_gif_u16(out, frame.width);
        put_gif_u16(out, frame.height);
        out.push_back(0);
        const std::vector<uint8_t> data = gif_image_data(frame.indices);
        out.insert(out.end(), data.begin(), data.end());
    }
    if (trailer)
        out.push_back(0x3B);
    return out;
}
