#include "display/profile_win.h"

#include <windows.h>

std::string Win32Profile::read_text(const char* section, const char* key, const char* fallback)
{
    // Values are taken at most 260 characters long; the platform cuts longer ones.
    char buffer[MAX_PATH + 1] = {};
    GetPrivateProfileStringA(section, key, fallback, buffer, sizeof buffer, file_path_.c_str());
    return buffer;
}

int32_t Win32Profile::read_int(const char* section, const char* key, int32_t fallback)
{
    return static_cast<int32_t>(GetPrivateProfileIntA(section, key, fallback, file_path_.c_str()));
}

void Win32Profile::drop_cached_copy()
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file_path_.c_str());
}
