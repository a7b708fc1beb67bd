#pragma once
#include <windows.h>

#include "display/process_walk.h"

// The full path of the program that owns the window, cut to the buffer. False when the
// window has no thread or the process walk failed; an empty path when its process was not met.
bool GetWindowProgramName(HWND window, char* buffer, size_t buffer_size);
bool EnumerateProcesses(const ProcessVisitor& visit);
