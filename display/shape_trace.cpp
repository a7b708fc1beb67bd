#include "display/shape_trace.h"

#include "display/bitmap_file.h"

namespace {

// The value of pixel x of a stored row: its colour index, or its three bytes at 24 bits.
uint32_t pixel_value(const uint8_t* row, int32_t x, uint16_t bits_per_pixel)
{
    switch (bits_per_pixel) {
    case 4: {
        const uint8_t pair = row[x / 2];
        return (x % 2 == 0) ? (pair >> 4) : (pair & 0x0F);
    }
    case 8:
        return row[x];
    default: {
        const uint8_t* pixel = row + static_cast<size_t>(x) * 3;
        return static_cast<uint32_t>(pixel[0]) | (static_cast<uint32_t>(pixel[1]) << 8) |
               (static_cast<uint32_t>(pixel[2]) << 16);
    }
    }
}

}  // namespace

std::vector<RunRect> trace_shape(const uint8_t* data, size_t size)
{
    std::vector<RunRect> runs;
    BitmapLayout layout;
    if (read_bitmap_layout(data, size, layout) != LayoutResult::ok)
        return runs;
    // With no rows or no pixels per row there is no first pixel to take as transparent.
    if (layout.height <= 0 || layout.width <= 0)
        return runs;

    const uint8_t* rows = data + layout.rows_offset;
    const uint32_t transparent = pixel_value(rows, 0, layout.bits_per_pixel);

    for (int32_t y = 0; y < layout.height; ++y) {
        // Rows are stored bottom row first.
        const size_t stored_row = static_cast<size_t>(layout.height - 1 - y);
        const uint8_t* row = rows + stored_row * layout.row_length;
        bool in_run = false;
        int32_t run_start = 0;
        for (int32_t x = 0; x < layout.width; ++x) {
            const bool visible = pixel_value(row, x, layout.bits_per_pixel) != transparent;
            if (visible && !in_run) {
                in_run = true;
                run_start = x;
            } else if (!visible && in_run) {
                runs.push_back(RunRect{run_start, y, x, y + 1});
                in_run = false;
            }
        }
        if (in_run)
            runs.push_back(RunRect{run_start, y, layout.width, y + 1});
    }
    return runs;
}
