#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "display/definition.h"

// The rules of the library scan that need no platform.

enum class LibraryFileKind { other, still, archive };

// The extensions of the library's files: still bitmaps and archive mascots.
constexpr const char kStillExtension[] = ".bmp";
constexpr const char kArchiveExtension[] = ".lzh";
// Pictures of today's formats are mascots as bitmaps are; a GIF may be animated.
constexpr const char kPngExtension[] = ".png";
constexpr const char kGifExtension[] = ".gif";

// A file is a still mascot (a bitmap, PNG or GIF) or an archive by the last four characters
// of its path, compared without regard to case: x.BMP and y.Gif are listed, x.bmp.bak and
// a.lha are not.
LibraryFileKind library_file_kind(const std::string& path);

// The names that the scan would list as mascots, in the order given: a read-me, a
// desktop.ini or a picture in another format beside the mascots is none.
std::vector<std::string> mascot_files_among(const std::vector<std::string>& file_names);

// The path below the Mascots folder: the full path without the root and its separator.
std::string path_below_root(const std::string& path, size_t root_length);

// What an archive's definition offers the list: the name ("" when missing or "NoData") and
// the icon file, Icon16 first and Icon32 when Icon16 is missing or "NoIcon" ("" for none).
struct NameAndIconFile {
    std::string name;
    std::string icon_file;
};
NameAndIconFile read_name_and_icon_file(ProfileReader& definition);

// A column's width record only grows while the list is filled: true when width is larger
// and was stored.
bool widen_column(int& record, int width);

// The width a column needs for one of its texts, given the text's width in the list's font:
// the text + 16 pixels at 96 dpi (more at the list's `dpi`), and in column 0, where the check
// box and the small icon stand before the name, their widths as the list lays them out besides.
int column_width_for_text(int column, int text_width, int state_image_width, int small_icon_width, int dpi);

// Whether the files of one type may each show an icon of their own, from the type's
// registration: a default icon made from "%1", the file's own path, or a shell icon handler.
// The files of any other type all show the type's icon, which one lookup finds.
bool type_icon_is_per_file(const std::string& default_icon, bool has_icon_handler);
