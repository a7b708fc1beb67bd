#include "display/definition.h"

#include <string>

const char kAbsentText[] = "NoData";

namespace {

const char kDataSection[] = "VelmoraData";
const char kListSection[] = "List";
const char kPosSection[] = "Pos";

// One anchor key and what it means when it is the first present one of its axis.
struct AnchorKey {
    const char* key;
    int32_t from_near_edge;  // 1: from the left or top; 0: from the right or bottom
    int32_t per_cent;        // 1: percent; 0: dots
};

const AnchorKey kXKeys[] = {{"PosX", 1, 1}, {"LeftX", 1, 0}, {"RightX", 0, 0}};
const AnchorKey kYKeys[] = {{"PosY", 1, 1}, {"TopY", 1, 0}, {"UnderY", 0, 0}};

// Finds the first present key of an axis; false when none of the three is given.
bool first_present(ProfileReader& profile, const AnchorKey (&keys)[3], const AnchorKey*& found, int32_t& value)
{
    // All three are read, as the file is, even when an earlier one already decides.
    int32_t values[3];
    for (int i = 0; i < 3; ++i)
        values[i] = profile.read_int(kPosSection, keys[i].key, kAbsentNumber);
    for (int i = 0; i < 3; ++i) {
        if (values[i] != kAbsentNumber) {
            found = &keys[i];
            value = values[i];
            return true;
        }
    }
    return false;
}

}  // namespace

std::string definition_path(const std::string& mascot_folder)
{
    return mascot_folder + "VLD.INI";
}

std::string mascot_folder_path(const std::string& temp_folder, const std::string& source_path)
{
    std::string folder = temp_folder + "Velmo\\" + source_path;
    // The cut is taken on the whole string, as the archive's extension is its last dot.
    const size_t dot = folder.rfind('.');
    if (dot != std::string::npos)
        folder.erase(dot);
    return folder + "\\";
}

std::string read_mascot_name(ProfileReader& profile)
{
    return profile.read_text(kDataSection, "Name", kAbsentText);
}

size_t read_frame_list(ProfileReader& profile, const std::string& mascot_folder, const FrameLoader& load)
{
    size_t loaded = 0;
    for (unsigned n = 1; n != 0; ++n) {
        const std::string file_key = "File" + std::to_string(n);
        const std::string file = profile.read_text(kListSection, file_key.c_str(), kAbsentText);
        if (file.empty() || file == kAbsentText)
            break;
        const std::string time_key = "Time" + std::to_string(n);
        const int32_t time = profile.read_int(kListSection, time_key.c_str(), kAbsentNumber);
        if (time == kAbsentNumber)
            break;
        if (!load(mascot_folder + file, time))
            break;
        ++loaded;
    }
    return loaded;
}

void apply_anchor_keys(ProfileReader& profile, MascotSettings& settings)
{
    const AnchorKey* key = nullptr;
    int32_t value = 0;
    if (first_present(profile, kXKeys, key, value)) {
        settings.PositionX = value;
        settings.WidthLeftRight = key->from_near_edge;
        settings.WidthPerDot = key->per_cent;
    } else {
        settings.PositionX = 75;
        settings.WidthLeftRight = 1;
        settings.WidthPerDot = 1;
    }
    if (first_present(profile, kYKeys, key, value)) {
        settings.PositionY = value;
        settings.HeightTopBottom = key->from_near_edge;
        settings.HeightPerDot = key->per_cent;
    }
}
