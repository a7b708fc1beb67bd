#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lha/command_line.h"
#include "lha/file_system.h"
#include "lha/status.h"

// Ceilings that turn an archive bomb into a quick refusal: a member declaring more
// than `max_member_bytes`, or an archive whose selected members add up to more
// than `max_total_bytes`, is not decoded at all.
struct ExtractLimits {
    uint64_t max_member_bytes = uint64_t(512) << 20;
    uint64_t max_total_bytes = uint64_t(1) << 30;
};

struct MemberOutcome {
    std::string name;      // flat name as stored (code page 932 bytes)
    LhaStatus status = LhaStatus::ok;
};

struct ExtractReport {
    LhaStatus status = LhaStatus::ok;     // first failure, or ok
    std::vector<MemberOutcome> members;   // every selected member, in archive order
};

// Extracts the selected members flat into the destination, creating it when
// missing. Each member is written under a temporary name and renamed only after
// its size and CRC-16 check out, so no damaged member is left under its own name.
// The status is ok only when every selected member was written whole and every
// pattern without wildcards found its member: callers extract VLD.INI into a
// shared folder and read it after a 0 result, so a missing one must not pass for
// success and leave them reading another archive's file.
ExtractReport extract_archive(FileSystem& fs, const ExtractCommand& command, const ExtractLimits& limits);

// The whole operation behind the library call and the native tool: parse the
// command words, then extract. Never throws.
LhaStatus run_extract_words(FileSystem& fs, const std::vector<std::string>& words, const ExtractLimits& limits,
                            ExtractReport* report);
LhaStatus run_extract_line(FileSystem& fs, const std::string& line, const ExtractLimits& limits,
                           ExtractReport* report);
