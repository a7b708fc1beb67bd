#include "kit/picture.h"

#include "display/picture_file.h"

namespace {

std::string picture_reason(PictureResult result, PictureFormat format)
{
    switch (result) {
    case PictureResult::ok: return "sound";
    case PictureResult::unknown_format: return "neither a PNG, a GIF nor a bitmap";
    case PictureResult::too_large:
        return "the picture is larger than the program shows (4096 dots on a side, 64 Mi dots in all frames)";
    case PictureResult::too_many_frames: return "the GIF has more than 1000 frames";
    case PictureResult::broken: break;
    }
    switch (format) {
    case PictureFormat::png: return "the PNG cannot be read";
    case PictureFormat::gif: return "the GIF cannot be read";
    default: return "the program refuses this bitmap (cut short, compressed, or of a depth it does not show)";
    }
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
    Picture picture;
    const PictureResult result = decode_picture(bytes, size, picture);
    if (result != PictureResult::ok) {
        reason = picture_reason(result, picture_format(bytes, size));
        return false;
    }
    if (picture.width > kMaxPictureSide || picture.height > kMaxPictureSide) {
        reason = "the picture is larger than 2048 dots on a side";
        return false;
    }
    image.width = picture.width;
    image.height = picture.height;
    image.pixels = std::move(picture.frames[0].rgba);
    return true;
}
