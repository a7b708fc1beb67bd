#include "kit/icon_file.h"

#include <cstring>

namespace {

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
uint32_t get16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t get32(const uint8_t* p) { return get16(p) | (get16(p + 2) << 16); }

}  // namespace

std::vector<uint8_t> icon_file(const RgbaImage& square)
{
    const uint32_t width = static_cast<uint32_t>(square.width), height = static_cast<uint32_t>(square.height);
    const size_t mask_row = (width + 31) / 32 * 4;
    std::vector<uint8_t> image;
    put32(image, 40);
    put32(image, width);
    put32(image, height * 2);
    put16(image, 1);
    put16(image, 32);
    for (int i = 0; i < 6; ++i)
        put32(image, 0);
    for (int32_t y = square.height - 1; y >= 0; --y)
        for (int32_t x = 0; x < square.width; ++x) {
            const uint8_t* p = square.at(x, y);
            image.insert(image.end(), {p[2], p[1], p[0], p[3]});
        }
    for (int32_t y = square.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(mask_row, 0);
        for (int32_t x = 0; x < square.width; ++x)
            if (square.at(x, y)[3] == 0)
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        image.insert(image.end(), row.begin(), row.end());
    }
    std::vector<uint8_t> file;
    put16(file, 0);
    put16(file, 1);
    put16(file, 1);
    file.push_back(static_cast<uint8_t>(width % 256));
    file.push_back(static_cast<uint8_t>(height % 256));
    file.push_back(0);
    file.push_back(0);
    put16(file, 1);
    put16(file, 32);
    put32(file, static_cast<uint32_t>(image.size()));
    put32(file, 22);
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

bool icon_loads(const uint8_t* bytes, size_t size, std::string& reason)
{
    if (size < 6 || get16(bytes) != 0 || get16(bytes + 2) != 1) {
        reason = "not an icon file";
        return false;
    }
    const uint32_t count = get16(bytes + 4);
    if (count == 0 || size < 6 + 16ull * count) {
        reason = count == 0 ? "the icon file holds no image" : "the icon directory is cut short";
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = bytes + 6 + 16 * i;
        const uint64_t length = get32(entry + 8), offset = get32(entry + 12);
        if (offset + length > size || length < 40) {
            reason = "icon image " + std::to_string(i + 1) + " lies outside the file";
            return false;
        }
        const uint8_t* image = bytes + offset;
        static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        if (std::memcmp(image, kPng, 8) == 0)
            continue;
        const int32_t width = static_cast<int32_t>(get32(image + 4)), height = static_cast<int32_t>(get32(image + 8));
        const uint32_t bits = get16(image + 14);
        if (get32(image) != 40 || width <= 0 || height != 2 * width || get16(image + 12) != 1 ||
            (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
            reason = "icon image " + std::to_string(i + 1) + " has no sound bitmap header";
            return false;
        }
        const uint64_t colours = bits <= 8 ? (get32(image + 32) ? get32(image + 32) : (1u << bits)) : 0;
        const uint64_t xor_row = (uint64_t(width) * bits + 31) / 32 * 4, and_row = (uint64_t(width) + 31) / 32 * 4;
        if (40 + 4 * colours + (xor_row + and_row) * uint64_t(width) > length) {
            reason = "icon image " + std::to_string(i + 1) + " is cut short";
            return false;
        }
    }
    return true;
}
