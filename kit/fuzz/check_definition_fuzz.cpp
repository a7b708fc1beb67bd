// Fuzzes the check of a mascot folder through its definition file: the input is VLD.INI,
// beside two sound frames, an icon, a comment and a web page named by the input's own bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kit/frame_canvas.h"
#include "kit/icon_file.h"
#include "kit/mascot_build.h"
#include "kit/mascot_check.h"

namespace {

std::vector<uint8_t> frame_bitmap()
{
    RgbaImage picture = blank_image(5, 4);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 1; x < 5; ++x) {
            uint8_t* p = picture.at(x, y);
            p[0] = static_cast<uint8_t>(40 * x), p[1] = static_cast<uint8_t>(60 * y), p[2] = 7, p[3] = 255;
        }
    return encode_frame(picture, Rgb{255, 0, 255}).file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const std::vector<uint8_t> frame = frame_bitmap();
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    MemberStore files;
    files.put("VLD.INI", std::vector<uint8_t>(bytes, bytes + size));
    files.put("a.bmp", frame);
    files.put("b.bmp", std::vector<uint8_t>(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(frame.size() / 2)));
    files.put("m.ico", icon_file(blank_image(16, 16)));
    files.put("Comment.txt", std::vector<uint8_t>(bytes, bytes + size));
    files.put("WebPage.url", std::vector<uint8_t>(bytes, bytes + size));
    const CheckReport report = check_folder(files);

    // The same bytes as an author's definition, whose frames the folder holds as bitmaps.
    const BuildResult built = build_archive_mascot(
        [&](const std::string& name, std::vector<uint8_t>& out) {
            if (name == "VLD.INI" || name == "Comment.txt")
                out.assign(bytes, bytes + size);
            else if (name == "a.bmp" || name == "a.png")
                out = frame;
            else
                return false;
            return true;
        },
        BuildOptions());
    return static_cast<int>((report.summary.size() + built.archive.size()) & 0);
}
