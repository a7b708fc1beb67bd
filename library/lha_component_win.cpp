#include "library/lha_component_win.h"

#include "core/cp932.h"
#include "core/wide_text_win.h"

LhaComponent::LhaComponent()
{
    library_ = LoadLibraryW(L"unlha32.dll");
    if (!library_)
        return;
    unlha_ = reinterpret_cast<UnlhaFn>(reinterpret_cast<void*>(GetProcAddress(library_, "Unlha")));
    set_cursor_mode_ =
        reinterpret_cast<SetCursorModeFn>(reinterpret_cast<void*>(GetProcAddress(library_, "UnlhaSetCursorMode")));
    unlha_wide_ = reinterpret_cast<UnlhaWideFn>(reinterpret_cast<void*>(GetProcAddress(library_, "UnlhaW")));
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
    std::string stored;
    if (utf8_to_cp932_text(command_line, stored)) {
        char output[1024] = {};
        return unlha_(owner, stored.c_str(), output, sizeof output);
    }
    if (!unlha_wide_)
        return -1;
    wchar_t output[1024] = {};
    return unlha_wide_(owner, Wide(command_line).c_str(), output, 1024);
}
