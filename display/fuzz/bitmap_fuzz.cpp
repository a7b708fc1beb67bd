// Fuzzes what a frame file goes through on loading: the file header, the bitmap data block,
// the colour table read for the palette, and the shape tracing. Any run outside the picture
// is a fault, as is any read past the data, which the sanitizers report.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "display/bitmap_file.h"
#include "display/shape_trace.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    BitmapFileHeader header;
    if (read_file_header(bytes, size, header) != FileHeaderResult::ok)
        return 0;
    // The loader reads exactly the stated block and fails on a shorter file.
    if (header.data_size > size - kBitmapFileHeaderSize)
        return 0;
    // A block of its own, so that a read past it is caught.
    const std::vector<uint8_t> data(bytes + kBitmapFileHeaderSize, bytes + kBitmapFileHeaderSize + header.data_size);

    BitmapLayout layout;
    const bool sound = read_bitmap_layout(data.data(), data.size(), layout) == LayoutResult::ok;
    const std::vector<RunRect> runs = trace_shape(data.data(), data.size());
    if (!sound) {
        if (!runs.empty())
            std::abort();
        return 0;
    }
    unsigned checksum = 0;
    for (uint32_t i = 0; i < layout.colour_count; ++i)
        checksum += colour_entry(data.data(), i).red;
    for (const RunRect& run : runs) {
        if (run.left < 0 || run.left >= run.right || run.right > layout.width || run.top < 0 ||
            run.bottom != run.top + 1 || run.bottom > layout.height)
            std::abort();
    }
    return static_cast<int>(checksum & 0);
}
