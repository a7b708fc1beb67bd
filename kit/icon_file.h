#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kit/picture.h"

// An .ico file of one 32-bit image (alpha, with its AND mask) of the picture's size.
std::vector<uint8_t> icon_file(const RgbaImage& square);

// Whether the platform's icon loader can take the file: an icon directory whose every entry
// lies inside the file and holds a PNG or a bitmap with the icon header (height twice the
// width, one plane, 1 to 32 bits). False with the reason.
bool icon_loads(const uint8_t* bytes, size_t size, std::string& reason);
