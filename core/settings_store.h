#pragma once
#include <string>
#include <vector>

#include "core/app_settings.h"
#include "core/exclusion_list.h"
#include "core/random.h"
#include "core/registry.h"

extern const char kRootKey[];          // Software\Korrin\Velmora2
extern const char kExcludedKeyFormat[];  // %s\NoApp
extern const char kViewKeyFormat[];      // %s\View

// Longest value name read from NoApp and View; longer names are skipped.
constexpr size_t kMaxListedName = 255;

// Fills the settings and the exclusion list, and gives the View list (the source paths of
// the mascots that ran at the last exit, in enumeration order). False on a user's very first
// start: the root key did not exist before this call, which creates it.
bool load_settings(Registry& registry, AppSettings& settings, ExclusionList& excluded,
                   std::vector<std::string>& view_names);

// Writes everything but MaxMascotCount, then rewrites NoApp and View from scratch.
void save_settings(Registry& registry, const AppSettings& settings, const ExclusionList& excluded,
                   const std::vector<std::string>& running_source_paths);

// The mascots to start: one of the candidates drawn at random when Random is 1 (none when
// there is no candidate), otherwise every View name. A user's very first start draws as
// Random does, so that a new user sees a mascot at once; Random stays as stored. The
// candidates are the mascot files directly in the Mascots folder, in the order listed.
struct StartupMascots {
    std::vector<std::string> source_paths;
    // A drawn mascot whose file does not load starts nothing, so that no empty window follows
    // the user about and the next start may draw again; a View name always starts.
    bool drawn = false;
};
StartupMascots startup_mascots(const AppSettings& settings, const std::vector<std::string>& view_names,
                               const std::vector<std::string>& candidates, RandomGenerator& generator,
                               bool first_start);
