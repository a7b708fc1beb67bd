#include "kit_fixtures.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace {

void append(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<uint8_t> png_of(const RgbaImage& image)
{
    std::vector<uint8_t> out;
    stbi_write_png_to_func(append, &out, image.width, image.height, 4, image.pixels.data(), image.width * 4);
    return out;
}
