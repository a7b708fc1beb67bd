// Prints how long the shape region of a busy 512 x 512 8-bit frame takes to build: run by
// run with unions, as one rectangle list, and as united row bands; and checks that all of
// them give the same region.
// Run it under Wine or Windows; it prints figures and is not a timed test.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "display/frames_win.h"
#include "display/shape_region_win.h"
#include "display/shape_trace.h"

namespace {

constexpr int32_t kSize = 512;

void put_u32(std::vector<uint8_t>& data, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        data[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Rings crossed with a checkerboard: some twenty runs of uneven length on every row, about
// ten thousand in all, enough for the run-by-run union to show how it grows.
std::vector<uint8_t> busy_frame()
{
    const size_t rows_offset = 40 + 4 * 256;
    std::vector<uint8_t> data(rows_offset + static_cast<size_t>(kSize) * kSize, 0);
    put_u32(data, 0, 40);
    put_u32(data, 4, kSize);
    put_u32(data, 8, kSize);
    data[12] = 1;
    data[14] = 8;
    for (int32_t row = 0; row < kSize; ++row) {
        for (int32_t x = 0; x < kSize; ++x) {
            const int32_t dx = x - kSize / 2, dy = row - kSize / 2;
            const bool ring = ((dx * dx + dy * dy) / 1500) % 2 == 0;
            const bool check = ((x / 53) + (row / 47)) % 2 == 0;
            // The bottom-left pixel must carry the transparent index 0.
            const bool visible = (ring != check) && !(row == 0 && x == 0);
            data[rows_offset + static_cast<size_t>(row) * kSize + x] = visible ? static_cast<uint8_t>(1 + (x + row) % 200) : 0;
        }
    }
    // Painted indices that differ by value are all opaque, whatever their colour.
    return data;
}

double seconds_since(const LARGE_INTEGER& start, const LARGE_INTEGER& frequency)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Build>
double time_build(Build build, int repeats, HRGN& last)
{
    LARGE_INTEGER frequency, start;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < repeats; ++i) {
        if (last)
            DeleteObject(last);
        last = build();
    }
    return seconds_since(start, frequency) / repeats;
}

}  // namespace

int main()
{
    const std::vector<uint8_t> frame = busy_frame();
    const std::vector<RunRect> runs = trace_shape(frame.data(), frame.size());

    std::printf("frame %dx%d 8-bit, %u runs\n", kSize, kSize, static_cast<unsigned>(runs.size()));
    std::fflush(stdout);

    HRGN by_union = nullptr, from_list = nullptr, by_bands = nullptr, shape = nullptr;
    const double union_seconds = time_build([&] { return region_by_union(runs); }, 1, by_union);
    const double list_seconds = time_build([&] { return region_from_rect_list(runs); }, 1, from_list);
    const double bands_seconds = time_build([&] { return region_by_row_bands(runs); }, 10, by_bands);
    const double shape_seconds = time_build([&] { return BuildShapeRegion(frame, 1); }, 10, shape);

    const bool equal = EqualRgn(by_union, from_list) && EqualRgn(by_union, by_bands) && EqualRgn(by_union, shape);
    std::printf("union run by run:   %10.3f ms\n", union_seconds * 1000);
    std::printf("one rectangle list: %10.3f ms\n", list_seconds * 1000);
    std::printf("united row bands:   %10.3f ms\n", bands_seconds * 1000);
    std::printf("trace + row bands:  %10.3f ms (BuildShapeRegion)\n", shape_seconds * 1000);
    std::printf("ratio union / list:  %9.1f\n", union_seconds / list_seconds);
    std::printf("ratio union / bands: %9.1f\n", union_seconds / bands_seconds);
    std::printf("regions equal: %s\n", equal ? "yes" : "NO");
    DeleteObject(by_union);
    DeleteObject(from_list);
    DeleteObject(by_bands);
    DeleteObject(shape);
    return equal ? 0 : 1;
}
