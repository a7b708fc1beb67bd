#pragma once

// Reads the global settings and the exclusion list, then starts the mascots of the last run.
void LoadSettings();
// Writes the global settings, the exclusion list and the running mascots' source paths.
void SaveSettings();
