#pragma once

// Reads the global settings and the exclusion list, then starts the mascots of the last run.
void LoadSettings();
#include <string>
#include <vector>

// Writes the global settings, the exclusion list and, as the View list, the given source paths.
void SaveSettings(const std::vector<std::string>& view_source_paths);
// The source paths of the running mascots, in start order.
std::vector<std::string> RunningSourcePaths();
