#include "core/exclusion_list.h"

void ExclusionList::add(const std::string& name) { names_.insert(name); }

void ExclusionList::remove(const std::string& name) { names_.erase(name); }

bool ExclusionList::contains(const std::string& name) const { return names_.count(name) != 0; }

std::vector<std::string> ExclusionList::entries() const
{
    return std::vector<std::string>(names_.begin(), names_.end());
}

void ExclusionList::clear() { names_.clear(); }

std::string program_file_name(const std::string& path)
{
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
