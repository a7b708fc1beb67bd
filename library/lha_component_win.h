#pragma once
#include <windows.h>

#include <string>

// unlha32.dll, loaded by name for one use and freed again. A library or export that cannot
// be found makes every call fail instead of jumping through a null pointer.
class LhaComponent {
public:
    LhaComponent();
    ~LhaComponent();
    LhaComponent(const LhaComponent&) = delete;
    LhaComponent& operator=(const LhaComponent&) = delete;

    bool loaded() const { return unlha_ && set_cursor_mode_; }
    HMODULE module() const { return library_; }
    // UnlhaSetCursorMode(0) then Unlha with the command line; the component's result, or -1
    // when the component is not there.
    int run(HWND owner, const std::string& command_line);

private:
    using UnlhaFn = int(WINAPI*)(HWND, LPCSTR, LPSTR, DWORD);
    using SetCursorModeFn = BOOL(WINAPI*)(int);
    HMODULE library_ = nullptr;
    UnlhaFn unlha_ = nullptr;
    SetCursorModeFn set_cursor_mode_ = nullptr;
};
