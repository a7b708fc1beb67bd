#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "display/picture_file.h"

// The structure of a GIF file, found by walking its blocks without decoding any image data.

struct GifFrameRecord {
    // The frame's rectangle on the logical screen; parts outside the screen are not drawn.
    int32_t left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    // The colour table the frame uses (its own or the global one), as offset and entry count.
    size_t table_offset = 0;
    uint32_t table_entries = 0;
    // From the LZW minimum code size byte to the end of the data sub-blocks.
    size_t data_offset = 0;
    size_t data_end = 0;
    // From the graphic control extension before the frame, if any.
    int32_t transparent_index = -1;
    uint32_t disposal = 0;
    uint32_t delay_hundredths = 0;
};

struct GifLayout {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<GifFrameRecord> frames;
};

// Walks every block of a GIF. Stops with too_many_frames as soon as the frame limit is passed,
// and with too_large for a screen over the side limit or frames over the pixel budget. A file
// cut short after at least one whole frame is read as ending there, as browsers show it.
PictureResult read_gif_layout(const uint8_t* bytes, size_t size, GifLayout& layout);

// Decodes the frames of a sound layout onto the logical screen, honouring each frame's
// transparency and the disposal its predecessor asked for: 0 and 1 keep the frame, 2 clears
// its rectangle to transparent, 3 restores what was there before it.
PictureResult compose_gif(const uint8_t* bytes, const GifLayout& layout, Picture& picture);

// Decodes one frame's LZW data into `rgba` (width × height pixels, straight alpha, zero where
// the frame is transparent) through the colour table given as 256 entries of blue, green, red
// and alpha. Implemented beside the PNG decoder, whose library it shares.
bool decode_gif_raster(const uint8_t* data, size_t size, int32_t width, int32_t height, bool interlaced,
                       const uint8_t (&table)[256][4], std::vector<uint8_t>& rgba);
