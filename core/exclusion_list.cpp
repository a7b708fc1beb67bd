#include "core/exclusion_list.h"

void ExclusionList::add(const std::string& name) { names_.insert(name); }

void ExclusionList::remove(const std::string& name) { names_.erase(name); }

bool ExclusionList::contains(const std::string& name) const { return names_.count(name) != 0; }

std::vector<std::string> ExclusionList::entries() const
{
    return std::vector<std::string>(names_.begin(), names_.end());
}

void ExclusionList::clear() { names_.clear(); }

std::string program_file_name(const std::string& path, LeadBytePredicate is_lead_byte)
{
    size_t name_start = 0;
    for (size_t at = 0; at < path.size(); ++at) {
        const auto byte = static_cast<unsigned char>(path[at]);
        if (byte == '\\')
            name_start = at + 1;
        else if (is_lead_byte && is_lead_byte(byte) && at + 1 < path.size())
            ++at;
    }
    return path.substr(name_start);
}
