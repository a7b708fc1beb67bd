#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "core/exclusion_list.h"

// Starting with Windows: the value "Velmora" under the user's Run key names the program that
// the system starts at log-on. Its truth is the check box's state; nothing of it is kept in
// the program's own settings.

// The command stored for the program at program_path: the full path, quoted, so that a
// folder name with spaces starts the right file.
std::string startup_command_for(const std::string& program_path);

struct StartupEntry {
    // The value names this very program, quoted or not, in any letter case.
    bool names_this_program = false;
    // Task Manager's Startup switch has turned the entry off: Windows will not start it.
    bool disabled = false;
    // The value is there and names something else (another copy of the program, unpacked
    // elsewhere): its text, shown to the user; empty when it is not text.
    bool names_something_else = false;
    std::string other_command;
};

// Expands the environment variables of a REG_EXPAND_SZ text ("%ProgramFiles%\\...").
using ExpandText = std::function<std::string(const std::string&)>;

// What a read of the Run value found: whether it is there, its registry type and its data as
// stored (the text up to its first NUL counts). An expandable string is compared as expanded,
// as Windows runs it; the other command is shown as stored.
StartupEntry read_startup_entry(bool present, uint32_t type, const std::string& data,
                                const std::string& program_path, LeadBytePredicate is_lead_byte = nullptr,
                                const ExpandText& expand = nullptr);

// Whether the program's record under Explorer's StartupApproved\Run key, which Task Manager's
// Startup switch writes, turns the entry off: its first byte is 3. A missing record leaves the
// entry on.
bool startup_approved_disables(bool present, const std::string& data);

// The box shows ticked when Windows will start this very program at log-on.
bool starts_with_windows(const StartupEntry& entry);

enum class StartupChange { None, Write, Delete };

// What closing the page does to the Run value: it is written when the box was ticked and
// deleted when it was unticked; a box left as it opened, or put back, touches nothing.
StartupChange startup_change_on_close(bool checked_at_open, bool checked_at_close);
