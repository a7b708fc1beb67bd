#include "library/library_scan.h"

#include "display/display_scale.h"

#include <cctype>

namespace {

bool equal_without_case(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

// The profile reader answers the fallback both for a missing key and for the same text
// written in the file; either way the key counts as absent.
std::string read_present(ProfileReader& definition, const char* key, const char* absent)
{
    std::string text = definition.read_text("VelmoraData", key, absent);
    return text == absent ? std::string() : text;
}

}  // namespace

LibraryFileKind library_file_kind(const std::string& path)
{
    if (path.size() < 4)
        return LibraryFileKind::other;
    const char* extension = path.c_str() + path.size() - 4;
    if (equal_without_case(extension, kStillExtension) || equal_without_case(extension, kPngExtension) ||
        equal_without_case(extension, kGifExtension))
        return LibraryFileKind::still;
    if (equal_without_case(extension, kArchiveExtension))
        return LibraryFileKind::archive;
    return LibraryFileKind::other;
}

std::vector<std::string> mascot_files_among(const std::vector<std::string>& file_names)
{
    std::vector<std::string> mascots;
    for (const auto& name : file_names)
        if (library_file_kind(name) != LibraryFileKind::other)
            mascots.push_back(name);
    return mascots;
}

std::string path_below_root(const std::string& path, size_t root_length)
{
    return root_length + 1 <= path.size() ? path.substr(root_length + 1) : std::string();
}

NameAndIconFile read_name_and_icon_file(ProfileReader& definition)
{
    NameAndIconFile result;
    result.name = read_present(definition, "Name", "NoData");
    result.icon_file = read_present(definition, "Icon16", "NoIcon");
    if (result.icon_file.empty())
        result.icon_file = read_present(definition, "Icon32", "NoIcon");
    return result;
}

bool widen_column(int& record, int width)
{
    if (record >= width)
        return false;
    record = width;
    return true;
}

int column_width_for_text(int column, int text_width, int state_image_width, int small_icon_width, int dpi)
{
    const int width = text_width + pixels_for_dpi(16, dpi);
    return column == 0 ? width + state_image_width + small_icon_width : width;
}

bool type_icon_is_per_file(const std::string& default_icon, bool has_icon_handler)
{
    return has_icon_handler || default_icon.find("%1") != std::string::npos;
}
