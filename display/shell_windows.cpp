#include "display/shell_windows.h"

#include <cstddef>

namespace {

char lower_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_class(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower_ascii(a[i]) != lower_ascii(b[i]))
            return false;
    return true;
}

}  // namespace

bool is_desktop_or_shell_class(std::string_view class_name)
{
    static constexpr std::string_view kClasses[] = {"#32769", "Progman", "WorkerW", "Shell_TrayWnd",
                                                     "Shell_SecondaryTrayWnd"};
    for (std::string_view shell : kClasses)
        if (same_class(class_name, shell))
            return true;
    return false;
}
