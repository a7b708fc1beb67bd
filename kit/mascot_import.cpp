#include "kit/mascot_import.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "display/picture_file.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

void append_bytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

std::vector<uint8_t> png_file(const RgbaImage& image)
{
    std::vector<uint8_t> out;
    stbi_write_png_to_func(append_bytes, &out, image.width, image.height, 4, image.pixels.data(), image.width * 4);
    return out;
}

bool parse_number(const std::string& text, int32_t& value)
{
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::atoi(text.c_str());
    return value >= 1;
}

bool in_range(int32_t number, const FrameRange& range)
{
    return number >= range.first && (range.last == 0 || number <= range.last);
}

// The number before the extension and the stem before it: "shime11.png" gives "shime" and 11.
bool split_numbered(const std::string& name, std::string& stem, int32_t& number)
{
    const size_t dot = name.rfind('.');
    const std::string base = name.substr(0, dot);
    size_t digits = base.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(base[digits - 1])))
        --digits;
    stem = base.substr(0, digits);
    return parse_number(base.substr(digits), number);
}

}  // namespace

bool parse_frame_ranges(const std::string& text, std::vector<FrameRange>& ranges)
{
    ranges.clear();
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string part = text.substr(start, comma - start);
        const size_t dash = part.find('-');
        FrameRange range;
        if (dash == std::string::npos) {
            if (!parse_number(part, range.first))
                return false;
            range.last = range.first;
        } else if (!parse_number(part.substr(0, dash), range.first) ||
                   !parse_number(part.substr(dash + 1), range.last) || range.last < range.first) {
            return false;
        }
        ranges.push_back(range);
        start = comma + 1;
    }
    return !ranges.empty();
}

std::vector<ImportedFrame> pick_frames(const std::vector<ImportedFrame>& frames, const std::vector<FrameRange>& ranges)
{
    if (ranges.empty())
        return frames;
    std::vector<ImportedFrame> picked;
    for (const FrameRange& range : ranges)
        for (size_t i = 0; i < frames.size(); ++i)
            if (in_range(static_cast<int32_t>(i + 1), range))
                picked.push_back(frames[i]);
    return picked;
}

bool frames_from_gif(const uint8_t* bytes, size_t size, std::vector<ImportedFrame>& frames, std::string& reason)
{
    Picture picture;
    if (picture_format(bytes, size) != PictureFormat::gif || decode_picture(bytes, size, picture) != PictureResult::ok) {
        reason = "the GIF cannot be read, or is over 4096 dots a side or 1000 frames";
        return false;
    }
    frames.clear();
    for (PictureFrame& decoded : picture.frames) {
        ImportedFrame frame;
        frame.picture.width = picture.width;
        frame.picture.height = picture.height;
        frame.picture.pixels = std::move(decoded.rgba);
        frame.time = std::max(1, decoded.ticks);
        frames.push_back(std::move(frame));
    }
    return true;
}

bool frames_from_sheet(const RgbaImage& sheet, const SheetCut& cut, int32_t time, std::vector<ImportedFrame>& frames,
                       std::string& reason)
{
    int32_t width = cut.cell_width, height = cut.cell_height;
    if (cut.columns > 0 && cut.rows > 0) {
        if (sheet.width % cut.columns || sheet.height % cut.rows) {
            reason = "the sheet does not divide into " + std::to_string(cut.columns) + "x" + std::to_string(cut.rows) +
                     " equal cells";
            return false;
        }
        width = sheet.width / cut.columns;
        height = sheet.height / cut.rows;
    }
    if (width <= 0 || height <= 0 || sheet.width % width || sheet.height % height) {
        reason = "the cell size does not divide the " + std::to_string(sheet.width) + "x" +
                 std::to_string(sheet.height) + " sheet";
        return false;
    }
    frames.clear();
    for (int32_t top = 0; top < sheet.height; top += height)
        for (int32_t left = 0; left < sheet.width; left += width) {
            ImportedFrame frame;
            frame.picture = blank_image(width, height);
            frame.time = time;
            for (int32_t y = 0; y < height; ++y)
                std::copy(sheet.at(left, top + y), sheet.at(left, top + y) + 4 * width, frame.picture.at(0, y));
            frames.push_back(std::move(frame));
        }
    return true;
}

std::vector<std::string> numbered_frame_files(const std::vector<std::string>& names,
                                              const std::vector<FrameRange>& ranges)
{
    std::map<int32_t, std::string> by_number;
    std::string first_stem;
    for (const std::string& name : names) {
        std::string stem;
        int32_t number = 0;
        if (!split_numbered(name, stem, number))
            continue;
        if (by_number.empty())
            first_stem = stem;
        if (stem == first_stem)
            by_number.emplace(number, name);
    }
    std::vector<std::string> chosen;
    const std::vector<FrameRange> all{FrameRange{}};
    for (const FrameRange& range : ranges.empty() ? all : ranges)
        for (const auto& [number, name] : by_number)
            if (in_range(number, range))
                chosen.push_back(name);
    return chosen;
}

bool import_folder(const std::vector<ImportedFrame>& frames, const std::string& name, ImportedFolder& folder,
                   std::string& reason)
{
    if (frames.empty()) {
        reason = "no frame is chosen";
        return false;
    }
    const int32_t width = frames[0].picture.width, height = frames[0].picture.height;
    int32_t left = width, top = height, right = 0, bottom = 0;
    for (const ImportedFrame& frame : frames) {
        if (frame.picture.width != width || frame.picture.height != height) {
            reason = "the frames differ in size";
            return false;
        }
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                if (frame.picture.at(x, y)[3] != 0) {
                    left = std::min(left, x), right = std::max(right, x + 1);
                    top = std::min(top, y), bottom = std::max(bottom, y + 1);
                }
    }
    if (right <= left) {
        reason = "every frame is wholly transparent";
        return false;
    }
    folder = ImportedFolder{};
    folder.width = right - left;
    folder.height = height - top;
    // The rows below the lowest drawn one hang below the edge.
    folder.top_y = (height - bottom) - folder.height;
    std::string list;
    for (size_t i = 0; i < frames.size(); ++i) {
        RgbaImage cropped = blank_image(folder.width, folder.height);
        for (int32_t y = 0; y < folder.height; ++y)
            std::copy(frames[i].picture.at(left, top + y), frames[i].picture.at(left, top + y) + 4 * folder.width,
                      cropped.at(0, y));
        const std::string file = "frame" + std::to_string(i + 1) + ".png";
        folder.files[file] = png_file(cropped);
        list += "File" + std::to_string(i + 1) + "=" + file + "\r\nTime" + std::to_string(i + 1) + "=" +
                std::to_string(frames[i].time) + "\r\n";
    }
    const std::string definition = "[VelmoraData]\r\nName=" + name + "\r\n[List]\r\n" + list +
                                   "[Pos]\r\nPosX=75\r\nTopY=" + std::to_string(folder.top_y) + "\r\n";
    folder.files["VLD.INI"] = std::vector<uint8_t>(definition.begin(), definition.end());
    return true;
}
