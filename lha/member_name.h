#pragma once
#include <string>

// Member names are bytes in code page 932: a lead byte 0x81-0x9F or 0xE0-0xFC
// takes the next byte with it, and that trail byte may be 0x5C without being a
// separator. Separators are '\\', '/' and 0xFF (level 1-3 directory fields).
bool is_cp932_lead_byte(unsigned char byte);

// The part after the last separator: the name a member gets on flat extraction.
std::string last_name_component(const std::string& path);

// The name a member is written under on flat extraction: the last component,
// without the trailing dots and spaces that Windows would drop anyway.
std::string flat_name_of(const std::string& path);

// True when a flat name may be created in the destination: not empty, not "." or
// "..", no control bytes, no ':' or other characters Windows refuses in names,
// no separator, and not a device name (CON, NUL, COM1 ...) with or without an
// extension.
bool is_safe_flat_name(const std::string& name);
