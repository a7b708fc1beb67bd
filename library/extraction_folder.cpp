#include "library/extraction_folder.h"

#include <vector>

namespace {

// Deeper than the program's own extractions ever go: a mascot folder lies as deep as its
// archive below the library, within a path's length.
constexpr int kMaxSweepDepth = 64;

std::string without_trailing_separator(const std::string& path)
{
    return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

// The components of a relative path, split at separators that are not the second byte of a
// two-byte character.
std::vector<std::string> components(const std::string& path, LeadBytePredicate is_lead_byte)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (is_lead_byte && is_lead_byte(byte) && i + 1 < path.size()) {
            parts.back() += path.substr(i, 2);
            ++i;
        } else if (byte == '\\' || byte == '/') {
            parts.emplace_back();
        } else {
            parts.back() += path[i];
        }
    }
    return parts;
}

}  // namespace

SweepStep sweep_step(const std::string& name, bool is_folder, bool is_link, int depth)
{
    if (name.empty() || name == "." || name == "..")
        return SweepStep::leave;
    if (is_link)
        return SweepStep::remove_link;
    if (!is_folder)
        return SweepStep::delete_file;
    return depth < kMaxSweepDepth ? SweepStep::descend : SweepStep::leave;
}

bool lies_inside_extraction_folder(const std::string& extraction_folder, const std::string& folder,
                                   LeadBytePredicate is_lead_byte)
{
    const std::string root = without_trailing_separator(extraction_folder);
    const std::string inner = without_trailing_separator(folder);
    if (root.empty() || inner.size() <= root.size() + 1 || inner.compare(0, root.size(), root) != 0 ||
        inner[root.size()] != '\\')
        return false;
    for (const std::string& part : components(inner.substr(root.size() + 1), is_lead_byte))
        if (part.empty() || part == "." || part == ".." || part.find(':') != std::string::npos)
            return false;
    return true;
}
