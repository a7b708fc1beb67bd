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
    // UnlhaSetCursorMode(0) then Unlha with the command line in code page 932, the form
    // every unlha32.dll takes. A line that code page cannot hold (a path in another script)
    // goes to the wide entry UnlhaW of our own library instead; the component's result, or
    // -1 when the component is not there or has no entry that can take the line.
    int run(HWND owner, const std::string& command_line);

private:
    using UnlhaFn = int(WINAPI*)(HWND, LPCSTR, LPSTR, DWORD);
    using UnlhaWideFn = int(WINAPI*)(HWND, LPCWSTR, LPWSTR, DWORD);
    UnlhaWideFn unlha_wide_ = nullptr;
    using SetCursorModeFn = BOOL(WINAPI*)(int);
    HMODULE library_ = nullptr;
    UnlhaFn unlha_ = nullptr;
    SetCursorModeFn set_cursor_mode_ = nullptr;
};
