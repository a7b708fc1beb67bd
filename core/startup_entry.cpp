#include "core/startup_entry.h"

namespace {

const uint32_t kStringType = 1;          // REG_SZ
const uint32_t kExpandStringType = 2;    // REG_EXPAND_SZ

unsigned char fold(unsigned char byte) { return byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte; }

// File names compare without regard to letter case; the second byte of a two-byte character is
// compared as it is, since an ASCII letter there is not a letter.
bool same_path(const std::string& a, const std::string& b, LeadBytePredicate is_lead_byte)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (is_lead_byte && is_lead_byte(x) && i + 1 < a.size()) {
            if (x != y || a[i + 1] != b[i + 1])
                return false;
            ++i;
            continue;
        }
        if (fold(x) != fold(y))
            return false;
    }
    return true;
}

std::string unquoted(const std::string& command)
{
    if (command.size() >= 2 && command.front() == '"' && command.back() == '"')
        return command.substr(1, command.size() - 2);
    return command;
}

}  // namespace

std::string startup_command_for(const std::string& program_path) { return "\"" + program_path + "\""; }

StartupEntry read_startup_entry(bool present, uint32_t type, const std::string& data,
                                const std::string& program_path, LeadBytePredicate is_lead_byte,
                                const ExpandText& expand)
{
    StartupEntry entry;
    if (!present)
        return entry;
    if (type != kStringType && type != kExpandStringType) {
        entry.names_something_else = true;
        return entry;
    }
    const std::string command = data.substr(0, data.find('\0'));
    const std::string run = type == kExpandStringType && expand ? expand(command) : command;
    if (!program_path.empty() && same_path(unquoted(run), program_path, is_lead_byte)) {
        entry.names_this_program = true;
        return entry;
    }
    entry.names_something_else = true;
    entry.other_command = command;
    return entry;
}

StartupChange startup_change_on_close(bool checked_at_open, bool checked_at_close)
{
    if (checked_at_open == checked_at_close)
        return StartupChange::None;
    return checked_at_close ? StartupChange::Write : StartupChange::Delete;
}

bool startup_approved_disables(bool present, const std::string& data)
{
    constexpr unsigned char kDisabled = 3;
    return present && !data.empty() && static_cast<unsigned char>(data[0]) == kDisabled;
}

bool starts_with_windows(const StartupEntry& entry) { return entry.names_this_program && !entry.disabled; }
