#include "display/definition_win.h"

#include <windows.h>

#include "display/definition.h"
#include "display/frames_win.h"
#include "core/temporary_folder_win.h"
#include "display/profile_win.h"

bool ReadDefinition(Mascot& mascot, const std::string& mascot_folder)
{
    StoredProfile profile(definition_path(mascot_folder));
    mascot.name = read_mascot_name(profile);
    read_frame_list(profile, mascot_folder,
                    [&](const std::string& path, int32_t time) { return AppendFrame(mascot, path, time); });
    apply_anchor_keys(profile, mascot.settings);
    return true;
}

bool RestorePlacementDefaults(Mascot& mascot)
{
    StoredProfile profile(definition_path(MascotFolderFor(mascot.source_path)));
    apply_anchor_keys(profile, mascot.settings);
    return true;
}

std::string MascotFolderFor(const std::string& source_path)
{
    return mascot_folder_path(TemporaryFolder(), source_path);
}
