#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "display/definition.h"

// The rules of the library scan that need no platform.

enum class LibraryFileKind { other, still, archive };

// A file is a still mascot or an archive by the last four characters of its path, compared
// without regard to case: x.BMP is listed, x.bmp.bak and a.lha are not.
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
