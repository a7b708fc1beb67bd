// Fuzzes the picture decoder a mascot file goes through: PNG, animated GIF and 32-bit bitmap
// with alpha, within the program's limits. A decoded picture must have the size its headers
// gave and whole frames; the sanitizers report any read past the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "display/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    // A copy of its own, so that a read past the input is caught.
    const std::vector<uint8_t> input(bytes, bytes + size);
    PictureSize measured;
    const PictureResult measure = measure_picture(input.data(), input.size(), measured);
    Picture picture;
    const PictureResult result = decode_picture(input.data(), input.size(), picture);
    if (measure != PictureResult::ok) {
        if (result != measure || !picture.frames.empty())
            std::abort();
        return 0;
    }
    if (result != PictureResult::ok) {
        if (!picture.frames.empty())
            std::abort();
        return 0;
    }
    if (picture.width != measured.width || picture.height != measured.height || picture.frames.empty() ||
        picture.frames.size() > measured.frames || picture.width > kMaxPictureFileSide ||
        picture.height > kMaxPictureFileSide)
        std::abort();
    for (const PictureFrame& frame : picture.frames)
        if (frame.rgba.size() != static_cast<size_t>(picture.width) * picture.height * 4 || frame.ticks < 0)
            std::abort();
    return 0;
}
