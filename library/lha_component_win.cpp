#include "library/lha_component_win.h"

LhaComponent::LhaComponent()
{
    library_ = LoadLibraryA("unlha32.dll");
    if (!library_)
        return;
    unlha_ = reinterpret_cast<UnlhaFn>(reinterpret_cast<void*>(GetProcAddress(library_, "Unlha")));
    set_cursor_mode_ =
        reinterpret_cast<SetCursorModeFn>(reinterpret_cast<void*>(GetProcAddress(library_, "UnlhaSetCursorMode")));
}

LhaComponent::~LhaComponent()
{
    if (library_)
        FreeLibrary(library_);
}

int LhaComponent::run(HWND owner, const std::string& command_line)
{
    if (!loaded())
        return -1;
    set_cursor_mode_(0);
    char output[1024] = {};
    return unlha_(owner, command_line.c_str(), output, sizeof output);
}
