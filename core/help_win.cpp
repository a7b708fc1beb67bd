#include "core/help_win.h"

#include <shellapi.h>

#include <string>

#include "core/application_win.h"
#include "core/wide_text_win.h"

namespace {

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The HTML help, "<program>.html", when the WinHelp file is missing and it is there.
bool OpenHtmlInstead(HWND owner, const std::string& help_file)
{
    if (FileExists(help_file))
        return false;
    const std::string html = help_file.substr(0, help_file.size() - 3) + "html";
    if (!FileExists(html))
        return false;
    ShellExecuteW(owner, nullptr, Wide(html).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return true;
}

}  // namespace

void OpenHelpContents(HWND owner)
{
    const std::string help_file = HelpFilePath();
    if (!OpenHtmlInstead(owner, help_file))
        WinHelpW(owner, Wide(help_file).c_str(), HELP_FINDER, 1);
}

void OpenHelpPopup(HWND owner, DWORD context)
{
    const std::string help_file = HelpFilePath();
    if (!OpenHtmlInstead(owner, help_file))
        WinHelpW(owner, Wide(help_file).c_str(), HELP_CONTEXTPOPUP, context);
}
