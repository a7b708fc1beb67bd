#include "core/settings_store.h"

const char kRootKey[] = "Software\\Korrin\\Velmora2";
const char kExcludedKeyFormat[] = "%s\\NoApp";
const char kViewKeyFormat[] = "%s\\View";

namespace {

std::string subkey(const char* name) { return std::string(kRootKey) + "\\" + name; }

template <typename Field>
void read_or_default(Registry& registry, const char* name, Field& field, Field fallback)
{
    field = 0;
    if (!read_dword_into(registry, kRootKey, name, field))
        field = fallback;
}

// The list is written from scratch. A key that cannot be deleted whole (a subkey the program
// cannot open, say) keeps that subkey but loses its values first: writing on top of the old
// names would start a mascot the user stopped, or bring back an exclusion the user removed.
void rewrite_list(Registry& registry, const std::string& key, const std::vector<std::string>& names,
                  bool data_is_name)
{
    if (!registry.delete_subtree(key))
        registry.delete_values(key);
    registry.open(key, true);
    for (const auto& name : names)
        registry.write_string(key, name, data_is_name ? name + '\0' : std::string());
}

}  // namespace

bool load_settings(Registry& registry, AppSettings& settings, ExclusionList& excluded,
                   std::vector<std::string>& view_names)
{
    const bool existed = registry.open(kRootKey, false);
    registry.open(kRootKey, true);
    read_or_default(registry, "MaxMascotCount", settings.MaxMascotCount, kDefaultMaxMascotCount);
    read_or_default(registry, "Random", settings.Random, 0);
    read_or_default(registry, "MaximizeWindow", settings.rules.MaximizeWindow, 0);
    read_or_default(registry, "OutScreenMascot", settings.rules.OutScreenMascot, 0);
    read_or_default(registry, "MinimizeWindow", settings.rules.MinimizeWindow, 0);
    read_or_default(registry, "sizeMinimizeX", settings.rules.sizeMinimizeX, 0);
    read_or_default(registry, "sizeMinimizeY", settings.rules.sizeMinimizeY, 0);
    read_or_default(registry, "NoWindowFlag", settings.NoWindowFlag, 0);
    read_or_default(registry, "MouseOverHide", settings.MouseOverHide, 0);

    std::vector<std::string> names;
    if (registry.enum_value_names(subkey("NoApp"), kMaxListedName, names))
        for (const auto& name : names)
            excluded.add(name);

    view_names.clear();
    if (settings.Random != 1)
        registry.enum_value_names(subkey("View"), kMaxListedName, view_names);
    return existed;
}

void save_settings(Registry& registry, const AppSettings& settings, const ExclusionList& excluded,
                   const std::vector<std::string>& running_source_paths)
{
    registry.open(kRootKey, true);
    const std::pair<const char*, int32_t> values[] = {
        {"Random", settings.Random},
        {"MaximizeWindow", settings.rules.MaximizeWindow},
        {"OutScreenMascot", settings.rules.OutScreenMascot},
        {"MinimizeWindow", settings.rules.MinimizeWindow},
        {"sizeMinimizeX", settings.rules.sizeMinimizeX},
        {"sizeMinimizeY", settings.rules.sizeMinimizeY},
        {"NoWindowFlag", settings.NoWindowFlag},
        {"MouseOverHide", settings.MouseOverHide},
    };
    for (const auto& value : values)
        registry.write_dword(kRootKey, value.first, static_cast<uint32_t>(value.second));

    rewrite_list(registry, subkey("NoApp"), excluded.entries(), false);
    rewrite_list(registry, subkey("View"), running_source_paths, true);
}

StartupMascots startup_mascots(const AppSettings& settings, const std::vector<std::string>& view_names,
                               const std::vector<std::string>& candidates, RandomGenerator& generator,
                               bool first_start)
{
    if (settings.Random != 1 && !first_start)
        return {view_names, false};
    if (candidates.empty())
        return {{}, true};
    const auto pick = static_cast<size_t>(next_random(generator)) % candidates.size();
    return {{candidates[pick]}, true};
}
