#pragma once
#include <string>

#include "core/exclusion_list.h"

// The extraction folder below the user's temporary folder holds only what the program itself
// extracted: the scan's definitions and icons, flat, and one folder per started archive mascot.
// The program empties it at start and at exit, drops the scan's files after each scan and a
// mascot's folder when the mascot goes. It removes nothing outside it.

// What emptying the folder does with one entry found in it, at the given depth below it.
enum class SweepStep {
    leave,        // "." and "..", or a folder nested deeper than any extraction makes
    delete_file,
    remove_link,  // a link or junction: removed as the link itself, never followed
    descend,      // a real folder: emptied, then removed
};
SweepStep sweep_step(const std::string& name, bool is_folder, bool is_link, int depth);

// True when the folder lies strictly inside the extraction folder (both with or without a
// trailing separator): it starts with it, and none of its further components is empty, "."
// or "..", so that a source path read from the registry cannot lead a removal elsewhere.
bool lies_inside_extraction_folder(const std::string& extraction_folder, const std::string& folder,
                                   LeadBytePredicate is_lead_byte = nullptr);
