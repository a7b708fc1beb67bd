#include "ui/mascot_info.h"

#include <cstring>

namespace {

// Paths live in 261-byte buffers elsewhere in the program; a longer folder would not name
// the folder the mascot was extracted into, so it is cut the same way.
constexpr size_t kPathLimit = 260;
constexpr size_t kExtensionLength = 4;

}  // namespace

std::string InfoMascotFolder(const std::string& temp_folder, const std::string& source_path)
{
    std::string folder = temp_folder + "Velmo\\" + source_path;
    if (folder.size() > kPathLimit)
        folder.resize(kPathLimit);
    folder.resize(folder.size() > kExtensionLength ? folder.size() - kExtensionLength : 0);
    return folder + "\\";
}

std::string CommentText(const char* data, size_t size)
{
    if (!data)
        return {};
    const void* nul = std::memchr(data, '\0', size);
    return std::string(data, nul ? static_cast<const char*>(nul) - data : size);
}

bool IsWebLink(const std::string& value)
{
    return value != kNoWebPage && value.compare(0, 7, "http://") == 0;
}

std::string CutWebPage(const std::string& value) { return value.substr(0, kWebPageLimit); }
