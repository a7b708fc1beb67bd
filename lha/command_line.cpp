#include "lha/command_line.h"

namespace {

bool ends_with_separator(const std::string& word) {
    return !word.empty() && (word.back() == '\\' || word.back() == '/');
}

} // namespace

bool split_command_words(const std::string& line, std::vector<std::string>& words) {
    words.clear();
    std::string word;
    bool in_word = false, quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            in_word = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (in_word) words.push_back(word);
            word.clear();
            in_word = false;
        } else {
            word.push_back(c);
            in_word = true;
        }
    }
    if (quoted) return false;
    if (in_word) words.push_back(word);
    return true;
}

bool parse_extract_command(const std::vector<std::string>& words, ExtractCommand& command) {
    command = ExtractCommand{};
    if (words.empty() || (words[0] != "E" && words[0] != "e")) return false;
    bool have_archive = false;
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.empty()) {
            if (!have_archive) return false;   // "" where the archive belongs
            continue;
        }
        if (word[0] == '-') continue;
        if (!have_archive) {
            command.archive = word;
            have_archive = true;
        } else if (command.destination.empty() && command.patterns.empty() && ends_with_separator(word)) {
            command.destination = word;
        } else {
            command.patterns.push_back(word);
        }
    }
    return have_archive;
}
