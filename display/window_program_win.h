#pragma once
#include <windows.h>

#include "display/process_walk.h"

#include <string>

// The full path of the program that owns the window. False when the window has no thread or
// the process walk failed; an empty path when its process was not met.
bool GetWindowProgramName(HWND window, std::string& path);
bool EnumerateProcesses(const ProcessVisitor& visit);
