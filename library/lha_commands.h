#pragma once
#include <string>

// Command lines for the LHA component. The destination must end in a separator; members
// land flat in it, replacing files of the same name, and nothing asks the user anything.
std::string extract_all_command(const std::string& archive, const std::string& destination);
std::string extract_name_and_icons_command(const std::string& archive, const std::string& destination);
