#pragma once
#include <string>

#include "core/registry.h"
#include "display/mascot_settings.h"

// The registry key of a mascot's own settings: "<root>\Mascot\<name>". A name holding
// backslashes gives nested keys.
std::string mascot_settings_key(const std::string& name);

// Reads every stored value over the fields; missing values leave their fields alone.
// False (nothing read) for an empty name or a missing key.
bool load_mascot_settings(Registry& registry, const std::string& name, MascotSettings& settings);
// Writes all twelve values together; nothing for an empty name.
void save_mascot_settings(Registry& registry, const std::string& name, const MascotSettings& settings);
