#include "library/lha_commands.h"

namespace {

const char kSwitches[] = " -a1 -c1 -m1 -n1 -s1 -y1";

std::string extract_command(const std::string& archive, const std::string& destination, const char* members)
{
    return "E \"" + archive + "\" \"" + destination + "\" " + members + kSwitches;
}

}  // namespace

std::string extract_all_command(const std::string& archive, const std::string& destination)
{
    return extract_command(archive, destination, "*.*");
}

std::string extract_name_and_icons_command(const std::string& archive, const std::string& destination)
{
    return extract_command(archive, destination, "VLD.INI *.ico");
}
