#include "core/application_win.h"

#include <cstring>

#include "core/display_layout_win.h"
#include "core/instance_name.h"
#include "core/random.h"

Application g_app;

std::string ExecutablePath()
{
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
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
    g_app.desktop = FindWindowA("Progman", nullptr);
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
