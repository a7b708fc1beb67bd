// Native front end of the extraction operation: the arguments are the words of the
// library's command line, and the exit status is 0 exactly when the library call
// would return 0. With VELMORA_UNLHA_VERBOSE set, each member's outcome goes to
// standard error.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "lha/extract.h"
#include "lha/file_system_posix.h"

namespace {

// Names come from the archive; control bytes must not reach a terminal.
std::string printable(const std::string& name) {
    std::string out;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        std::fprintf(stderr, "usage: unlha E <archive> <destination/> [patterns...] [-switches]\n");
        return 2;
    }
    PosixFileSystem fs;
    ExtractReport report;
    const LhaStatus status = run_extract_words(fs, words, ExtractLimits{}, &report);
    if (std::getenv("VELMORA_UNLHA_VERBOSE")) {
        for (const MemberOutcome& m : report.members)
            std::fprintf(stderr, "%s: %s\n", printable(m.name).c_str(), describe_status(m.status));
    }
    if (status != LhaStatus::ok) {
        std::fprintf(stderr, "unlha: %s\n", describe_status(status));
        return 1;
    }
    return 0;
}
