#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "display/bitmap_file.h"
#include "display/shape_trace.h"

namespace {

// Bitmaps written by ImageMagick, each with the mask of its visible pixels taken from
// ImageMagick's own pixel listing (corpus/record.sh).
const std::string kCorpus = std::string(__FILE__).substr(0, std::string(__FILE__).rfind('/')) + "/corpus/";

std::vector<uint8_t> read_bytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> read_lines(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

// The file's bitmap data block as the loader keeps it, or the reason it is refused.
LayoutResult load_block(const std::vector<uint8_t>& file, std::vector<uint8_t>& data)
{
    BitmapFileHeader header;
    EXPECT_EQ(read_file_header(file.data(), file.size(), header), FileHeaderResult::ok);
    EXPECT_LE(header.data_size, file.size() - kBitmapFileHeaderSize);
    data.assign(file.begin() + kBitmapFileHeaderSize, file.begin() + kBitmapFileHeaderSize + header.data_size);
    BitmapLayout layout;
    return read_bitmap_layout(data.data(), data.size(), layout);
}

TEST(Corpus, ShapesMatchImageMagicksPixels)
{
    struct Case {
        const char* name;
        int bits_per_pixel;
        size_t runs;
    };
    const Case cases[] = {{"four_bit", 4, 10}, {"eight_bit", 8, 29}, {"true_colour", 24, 8}};
    for (const Case& c : cases) {
        std::vector<uint8_t> data;
        ASSERT_EQ(load_block(read_bytes(kCorpus + c.name + ".bmp"), data), LayoutResult::ok) << c.name;
        const std::vector<std::string> mask = read_lines(kCorpus + c.name + ".mask");
        ASSERT_FALSE(mask.empty()) << c.name;
        std::vector<std::string> traced(mask.size(), std::string(mask[0].size(), '.'));
        const std::vector<RunRect> runs = trace_shape(data.data(), data.size());
        for (const RunRect& run : runs)
            for (int32_t x = run.left; x < run.right; ++x)
                traced.at(run.top).at(x) = '#';
        EXPECT_EQ(traced, mask) << c.name;
        EXPECT_EQ(data[14], c.bits_per_pixel) << c.name;
        EXPECT_EQ(runs.size(), c.runs) << c.name;
    }
}

TEST(Corpus, RunLengthRowsRefused)
{
    std::vector<uint8_t> data;
    EXPECT_EQ(load_block(read_bytes(kCorpus + "eight_bit_rle.bmp"), data), LayoutResult::compressed);
}

}  // namespace
