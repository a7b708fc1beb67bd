#pragma once
#include <cstddef>
#include <string>

// The value a profile read gives when the key is missing; it never counts as an address.
constexpr const char* kNoWebPage = "NoData";
// The longest web address the information dialog keeps; longer values are cut.
constexpr size_t kWebPageLimit = 254;

// The folder an archive mascot was extracted into, as the information dialog finds it:
// the temporary folder, "Velmo\", the source path with its last four characters (a
// three-letter extension and its dot) cut off, and a closing separator.
std::string InfoMascotFolder(const std::string& temp_folder, const std::string& source_path);

// What the comment box shows of a comment file: its bytes up to the first NUL.
std::string CommentText(const char* data, size_t size);

// Whether a web-page value may be shown and opened as a link: only plain web addresses that
// begin exactly with "http://" (lower case) qualify; "NoData", other schemes and capitals do not.
bool IsWebLink(const std::string& value);

// A web-page value as the dialog keeps it: at most kWebPageLimit bytes.
std::string CutWebPage(const std::string& value);
