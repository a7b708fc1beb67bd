#pragma once
#include <string>

#include "display/mascot_win.h"

// Reads an extracted archive mascot's definition file from its folder (ending in a
// separator): the name as stored ("NoData" when missing), the frames it lists, each loaded
// with its shape, and the anchor settings. A missing file reads as one without keys; the
// result is always success.
bool ReadDefinition(Mascot& mascot, const std::string& mascot_folder);

// Applies only the anchor keys of the mascot's definition file again; name and frames stay.
// A mascot without a definition file (a single bitmap) goes back to 75 percent from the left.
bool RestorePlacementDefaults(Mascot& mascot);

// The folder a mascot with this source path is extracted into, below the temporary folder.
std::string MascotFolderFor(const std::string& source_path);
