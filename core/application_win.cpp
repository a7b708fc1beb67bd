#include "core/application_win.h"

#include <cstring>

#include "core/display_layout_win.h"
#include "core/instance_name.h"
#include "core/random.h"
#include "core/wide_text_win.h"
#include "resources/string_ids.h"

Application g_app;

std::string ExecutablePath()
{
    // Paths beyond MAX_PATH are possible; the buffer grows until the name fits.
    std::wstring path(MAX_PATH + 1, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size() - 1)
            return Utf8(path.c_str(), length);
        path.resize(path.size() * 2);
    }
}

std::string HelpFilePath()
{
    std::string path = ExecutablePath();
    const auto dot = path.find_last_of('.');
    if (dot != std::string::npos)
        path.resize(dot + 1);
    return path + "hlp";
}

void SetUpApplication(HINSTANCE instance)
{
    g_app.instance = instance;
    g_app.desktop = FindWindowW(L"Progman", nullptr);
    g_app.title = ResourceText(IDS_TITLE);
    g_app.sheet = nullptr;
    g_app.timer_period = 100;
    ReadDisplayLayout();
    const std::string exe = ExecutablePath();
    g_app.exe_folder = exe.substr(0, exe.find_last_of('\\'));
    seed_random(g_random, GetTickCount());
    g_app.excluded.clear();
}

void MakeInstanceName(char* buffer, size_t capacity)
{
    const std::string name = make_instance_name(g_app.last_name_tick, [] { return GetTickCount(); }, capacity);
    std::memcpy(buffer, name.c_str(), name.size() + 1);
}
