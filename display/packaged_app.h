#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A packaged app (Calculator, Settings, Photos...) shows in a frame window that belongs to
// ApplicationFrameHost.exe; the app itself draws in a child window of its own process.

// One window below the frame, as the Windows layer found it.
struct ChildWindowFacts {
    std::string class_name;
    uint32_t process_id;
};

bool is_packaged_app_frame(const std::string& class_name);

// The process whose program a window stands for: for a packaged app's frame, the process of
// its app window (one in a process other than the frame's first); for any other window, or a
// frame whose app is suspended or minimised and has no such child, the window's own process.
uint32_t program_process_of_window(const std::string& class_name, uint32_t window_process,
                                   const std::vector<ChildWindowFacts>& children);
