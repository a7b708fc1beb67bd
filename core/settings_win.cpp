#include "core/settings_win.h"

#include <windows.h>

#include "core/application_win.h"
#include "core/registry_win.h"
#include "core/roster_win.h"
#include "core/settings_store.h"
#include "core/wide_text_win.h"
#include "library/library_scan.h"

namespace {

// The plain files directly in the Mascots folder, in the order the file system lists them.
std::vector<std::string> PlainFilesOfMascotsFolder()
{
    std::vector<std::string> files;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(Wide(g_app.exe_folder + "\\Mascots\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(Utf8(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

}  // namespace

void LoadSettings()
{
    Win32Registry registry;
    std::vector<std::string> view_names;
    const bool first_start = !load_settings(registry, g_app.settings, g_app.excluded, view_names);
    std::vector<std::string> candidates;
    if (g_app.settings.Random == 1 || first_start)
        candidates = mascot_files_among(PlainFilesOfMascotsFolder());
    const StartupMascots chosen = startup_mascots(g_app.settings, view_names, candidates, g_random, first_start);
    for (const auto& name : chosen.source_paths) {
        const std::string full_path = g_app.exe_folder + "\\Mascots\\" + name;
        if (chosen.drawn)
            StartMascotIfItLoads(full_path);
        else
            StartMascot(full_path);
    }
}

std::vector<std::string> RunningSourcePaths()
{
    std::vector<std::string> running;
    for (const auto& mascot : g_roster)
        running.push_back(mascot->source_path);
    return running;
}

void SaveSettings(const std::vector<std::string>& view_source_paths)
{
    Win32Registry registry;
    save_settings(registry, g_app.settings, g_app.excluded, view_source_paths);
}
