#include "display/mascot_settings_store.h"

#include <utility>

#include "core/settings_store.h"

namespace {

// The values in the order they are written.
std::pair<const char*, int32_t MascotSettings::*> const kPositionFields[] = {
    {"PositionX", &MascotSettings::PositionX},         {"WidthPerDot", &MascotSettings::WidthPerDot},
    {"WidthLeftRight", &MascotSettings::WidthLeftRight}, {"PositionY", &MascotSettings::PositionY},
    {"HeightPerDot", &MascotSettings::HeightPerDot},   {"HeightTopBottom", &MascotSettings::HeightTopBottom},
    {"NonTargetAll", &MascotSettings::NonTargetAll},
};
std::pair<const char*, int32_t RuleBlock::*> const kRuleFields[] = {
    {"MaximizeWindow", &RuleBlock::MaximizeWindow}, {"OutScreenMascot", &RuleBlock::OutScreenMascot},
    {"MinimizeWindow", &RuleBlock::MinimizeWindow}, {"sizeMinimizeX", &RuleBlock::sizeMinimizeX},
    {"sizeMinimizeY", &RuleBlock::sizeMinimizeY},
};

}  // namespace

std::string mascot_settings_key(const std::string& name) { return std::string(kRootKey) + "\\Mascot\\" + name; }

bool load_mascot_settings(Registry& registry, const std::string& name, MascotSettings& settings)
{
    if (name.empty())
        return false;
    const std::string key = mascot_settings_key(name);
    if (!registry.open(key, false))
        return false;
    for (const auto& field : kPositionFields)
        read_dword_into(registry, key, field.first, settings.*(field.second));
    for (const auto& field : kRuleFields)
        read_dword_into(registry, key, field.first, settings.rules.*(field.second));
    return true;
}

void save_mascot_settings(Registry& registry, const std::string& name, const MascotSettings& settings)
{
    if (name.empty())
        return;
    const std::string key = mascot_settings_key(name);
    registry.open(key, true);
    for (const auto& field : kPositionFields)
        registry.write_dword(key, field.first, static_cast<uint32_t>(settings.*(field.second)));
    for (const auto& field : kRuleFields)
        registry.write_dword(key, field.first, static_cast<uint32_t>(settings.rules.*(field.second)));
}
