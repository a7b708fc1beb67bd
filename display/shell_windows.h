#pragma once
#include <string_view>

// True for the window classes of the desktop and the shell's taskbars: the desktop window
// ("#32769"), Explorer's desktop ("Progman" and the "WorkerW" behind its wallpaper) and the
// taskbars of every monitor. Such windows are neither full-screen programs nor programs a
// user means to exclude. Class names compare without regard to ASCII case, as Windows
// compares them.
bool is_desktop_or_shell_class(std::string_view class_name);
