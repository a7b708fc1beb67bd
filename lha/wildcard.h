#pragma once
#include <string>

// Matches a member's flat name against a pattern of '*' (any run) and '?' (one
// character), ignoring the case of ASCII letters as Windows file names do. A
// double-byte code page 932 character counts as one character and is compared
// exactly. "*.*" matches every name, with or without a dot.
bool wildcard_match(const std::string& pattern, const std::string& name);
