#include "lha/wildcard.h"

#include <vector>

#include "lha/member_name.h"

namespace {

// Splits into characters so that '?' and the case fold never see half of a
// double-byte character.
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (is_cp932_lead_byte(byte) && i + 1 < text.size()) {
            out.push_back(text.substr(i, 2));
            ++i;
        } else {
            char c = text[i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            out.push_back(std::string(1, c));
        }
    }
    return out;
}

} // namespace

bool wildcard_match(const std::string& pattern, const std::string& name) {
    if (pattern == "*.*" || pattern == "*") return true;
    const std::vector<std::string> p = characters(pattern);
    const std::vector<std::string> n = characters(name);
    // Greedy match with one backtrack point per '*': linear in practice and never
    // exponential, whatever the pattern.
    size_t pi = 0, ni = 0, star = std::string::npos, resume = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == "*") {
            star = pi++;
            resume = ni;
        } else if (pi < p.size() && (p[pi] == "?" || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (star != std::string::npos) {
            pi = star + 1;
            ni = ++resume;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == "*") ++pi;
    return pi == p.size();
}
