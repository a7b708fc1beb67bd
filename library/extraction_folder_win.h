#pragma once
#include <string>

// Empties the extraction folder and removes it: at start, of what an earlier run left there
// (a crash, "End task"), and at exit, of what this run left.
void EmptyExtractionFolder();
// Removes the definitions and icons a scan extracted flat into the extraction folder; the
// folders of running mascots stay.
void RemoveScanFiles();
// Removes the folder a mascot's archive was extracted into, and the folders above it that are
// left empty, up to the extraction folder; nothing when the folder does not lie inside it.
void RemoveMascotFolder(const std::string& folder);
