#include "display/gif_file.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr size_t kScreenDescriptorEnd = 13;

uint32_t read_u16le(const uint8_t* bytes) { return static_cast<uint32_t>(bytes[0] | (bytes[1] << 8)); }

// Skips a chain of data sub-blocks starting at `at`; false when the chain runs past the end.
bool skip_sub_blocks(const uint8_t* bytes, size_t size, size_t& at)
{
    while (at < size) {
        const uint8_t length = bytes[at++];
        if (length == 0)
            return true;
        if (length > size - at)
            return false;
        at += length;
    }
    return false;
}

struct GraphicControl {
    int32_t transparent_index = -1;
    uint32_t disposal = 0;
    uint32_t delay_hundredths = 0;
};

}  // namespace

PictureResult read_gif_layout(const uint8_t* bytes, size_t size, GifLayout& layout)
{
    layout = GifLayout{};
    if (size < kScreenDescriptorEnd || picture_format(bytes, size) != PictureFormat::gif)
        return PictureResult::broken;
    layout.width = static_cast<int32_t>(read_u16le(bytes + 6));
    layout.height = static_cast<int32_t>(read_u16le(bytes + 8));
    if (layout.width == 0 || layout.height == 0)
        return PictureResult::broken;
    if (layout.width > kMaxPictureFileSide || layout.height > kMaxPictureFileSide)
        return PictureResult::too_large;
    const uint8_t screen_flags = bytes[10];
    size_t at = kScreenDescriptorEnd;
    size_t global_table = 0;
    uint32_t global_entries = 0;
    if (screen_flags & 0x80) {
        global_entries = 2u << (screen_flags & 7);
        global_table = at;
        if (3ull * global_entries > size - at)
            return PictureResult::broken;
        at += 3 * global_entries;
    }
    const uint64_t screen_pixels = static_cast<uint64_t>(layout.width) * layout.height;
    GraphicControl control;
    while (true) {
        if (at >= size)
            return layout.frames.empty() ? PictureResult::broken : PictureResult::ok;
        const uint8_t introducer = bytes[at++];
        if (introducer == kTrailer)
            break;
        if (introducer == kExtensionIntroducer) {
            if (at >= size)
                return layout.frames.empty() ? PictureResult::broken : PictureResult::ok;
            const uint8_t label = bytes[at++];
            if (label == kGraphicControlLabel && at + 5 <= size && bytes[at] == 4) {
                const uint8_t flags = bytes[at + 1];
                control.disposal = (flags >> 2) & 7;
                control.delay_hundredths = read_u16le(bytes + at + 2);
                control.transparent_index = (flags & 1) ? bytes[at + 4] : -1;
            }
            if (!skip_sub_blocks(bytes, size, at))
                return layout.frames.empty() ? PictureResult::broken : PictureResult::ok;
            continue;
        }
        if (introducer != kImageSeparator)
            return layout.frames.empty() ? PictureResult::broken : PictureResult::ok;
        if (layout.frames.size() == kMaxPictureFileFrames)
            return PictureResult::too_many_frames;
        if ((layout.frames.size() + 1) * screen_pixels > kMaxPictureFilePixels)
            return PictureResult::too_large;
        if (9 > size - at)
            return layout.frames.empty() ? PictureResult::broken : PictureResult::ok;
        GifFrameRecord frame;
        frame.left = static_cast<int32_t>(read_u16le(bytes + at));
        frame.top = static_cast<int32_t>(read_u16le(bytes + at + 2));
        frame.width = static_cast<int32_t>(read_u16le(bytes + at + 4));
        frame.height = static_cast<int32_t>(read_u16le(bytes + at + 6));
        const uint8_t image_flags = bytes[at + 8];
        at += 9;
        frame.interlaced = (image_flags & 0x40) != 0;
        if (image_flags & 0x80) {
            frame.table_entries = 2u << (image_flags & 7);
            frame.table_offset = at;
            if (3ull * frame.table_entries > size - at)
                return layout.frames.empty() ? PictureResult::broken : PictureResult::ok;
            at += 3 * frame.table_entries;
        } else {
            if (global_entries == 0)
                return PictureResult::broken;
            frame.table_offset = global_table;
            frame.table_entries = global_entries;
        }
        // A frame wider than the screen would make its own decoding buffer larger than the
        // screen the budget was counted on.
        if (static_cast<uint64_t>(frame.width) * frame.height > screen_pixels)
            return PictureResult::broken;
        frame.data_offset = at;
        if (at >= size || !skip_sub_blocks(bytes, size, ++at))
            return layout.frames.empty() ? PictureResult::broken : PictureResult::ok;
        frame.data_end = at;
        frame.transparent_index = control.transparent_index;
        frame.disposal = control.disposal;
        frame.delay_hundredths = control.delay_hundredths;
        control = GraphicControl{};
        layout.frames.push_back(frame);
    }
    return layout.frames.empty() ? PictureResult::broken : PictureResult::ok;
}

PictureResult compose_gif(const uint8_t* bytes, const GifLayout& layout, Picture& picture)
{
    picture = Picture{};
    picture.width = layout.width;
    picture.height = layout.height;
    picture.own_alpha = true;
    const size_t screen_bytes = static_cast<size_t>(layout.width) * layout.height * 4;
    try {
        std::vector<uint8_t> canvas(screen_bytes, 0);
        std::vector<uint8_t> before;
        std::vector<uint8_t> pixels;
        picture.frames.reserve(layout.frames.size());
        const GifFrameRecord* previous = nullptr;
        for (const GifFrameRecord& frame : layout.frames) {
            // The previous frame goes as it asked before this one is drawn.
            if (previous && previous->disposal == 2) {
                for (int32_t y = previous->top; y < std::min(previous->top + previous->height, layout.height); ++y)
                    for (int32_t x = previous->left; x < std::min(previous->left + previous->width, layout.width); ++x)
                        std::memset(&canvas[(static_cast<size_t>(y) * layout.width + x) * 4], 0, 4);
            } else if (previous && previous->disposal == 3 && !before.empty()) {
                canvas = before;
            }
            if (frame.disposal == 3)
                before = canvas;

            uint8_t table[256][4];
            for (auto& entry : table)
                entry[0] = entry[1] = entry[2] = 0, entry[3] = 255;
            for (uint32_t i = 0; i < frame.table_entries && i < 256; ++i) {
                const uint8_t* rgb = bytes + frame.table_offset + 3 * i;
                table[i][0] = rgb[2], table[i][1] = rgb[1], table[i][2] = rgb[0];
            }
            if (frame.transparent_index >= 0)
                table[frame.transparent_index][3] = 0;
            if (frame.width > 0 && frame.height > 0) {
                if (!decode_gif_raster(bytes + frame.data_offset, frame.data_end - frame.data_offset, frame.width,
                                       frame.height, frame.interlaced, table, pixels)) {
                    picture = Picture{};
                    return PictureResult::broken;
                }
                for (int32_t y = 0; y < frame.height && frame.top + y < layout.height; ++y)
                    for (int32_t x = 0; x < frame.width && frame.left + x < layout.width; ++x) {
                        const uint8_t* source = &pixels[(static_cast<size_t>(y) * frame.width + x) * 4];
                        if (source[3] == 0)
                            continue;
                        const size_t target = (static_cast<size_t>(frame.top + y) * layout.width + frame.left + x) * 4;
                        std::memcpy(&canvas[target], source, 4);
                    }
            }
            PictureFrame out;
            out.rgba = canvas;
            out.ticks = layout.frames.size() > 1 ? gif_delay_ticks(frame.delay_hundredths) : 0;
            picture.frames.push_back(std::move(out));
            previous = &frame;
        }
    } catch (const std::bad_alloc&) {
        picture = Picture{};
        return PictureResult::too_large;
    }
    return PictureResult::ok;
}

int32_t gif_delay_ticks(uint32_t hundredths)
{
    // Browsers show a frame of 0 or 1 hundredths for 10 hundredths, and GIFs are made for them.
    if (hundredths <= 1)
        hundredths = 10;
    const uint32_t per_tick = kTickMilliseconds / 10;
    return static_cast<int32_t>(std::max<uint32_t>(1, (hundredths + per_tick / 2) / per_tick));
}
