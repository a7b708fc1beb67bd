#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "kit/frame_canvas.h"
#include "kit/picture.h"
#include "lha/archive_writer.h"

// Pictures for the kit's tests, top row first: '.' is transparent, the letters r, g, b, w, k
// are opaque red, green, blue, white and black, and 'h' is white at just under half alpha.
inline RgbaImage picture_of(const std::vector<std::string>& rows)
{
    static const std::map<char, std::vector<uint8_t>> kColours = {
        {'.', {0, 0, 0, 0}},       {'r', {255, 0, 0, 255}},     {'g', {0, 255, 0, 255}}, {'b', {0, 0, 255, 255}},
        {'w', {255, 255, 255, 255}}, {'k', {0, 0, 0, 255}}, {'h', {255, 255, 255, 127}}, {'H', {255, 255, 255, 128}},
    };
    RgbaImage image = blank_image(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()));
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x) {
            const std::vector<uint8_t>& c = kColours.at(rows[y][x]);
            std::copy(c.begin(), c.end(), image.at(x, y));
        }
    return image;
}

// The picture's opaque pixels as rows of '#' and '.'.
inline std::vector<std::string> mask_of(const RgbaImage& image)
{
    std::vector<std::string> rows;
    for (int32_t y = 0; y < image.height; ++y) {
        std::string row;
        for (int32_t x = 0; x < image.width; ++x)
            row += image.at(x, y)[3] >= kOpaqueFrom ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

std::vector<uint8_t> png_of(const RgbaImage& image);

inline std::vector<uint8_t> bytes_of(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// A frame bitmap of the program's format, key magenta.
inline std::vector<uint8_t> bitmap_of(const std::vector<std::string>& rows)
{
    return encode_frame(picture_of(rows), Rgb{255, 0, 255}).file;
}

using Members = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

inline std::vector<uint8_t> archive_of(const Members& members)
{
    ArchiveWriter writer(PackMethod::lh5);
    for (const auto& member : members)
        writer.add(member.first, member.second.data(), member.second.size(), 0);
    return writer.finish();
}
