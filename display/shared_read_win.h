#pragma once
#include <windows.h>

#include <string>

// Opens an existing file for reading, sharing reads, and tries again briefly while another
// program holds it (see shared_read.h). INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE OpenSharedRead(const std::string& path);
