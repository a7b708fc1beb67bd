#pragma once
#include <string>
#include <vector>

// One line of a report: something that makes a mascot look other than its author meant.
enum class Severity { note = 0, warning = 1, error = 2 };

struct Finding {
    Severity severity = Severity::note;
    std::string text;   // UTF-8
};

// 0 when nothing worse than notes was found, 1 for warnings, 2 for errors.
int exit_status(const std::vector<Finding>& findings);
std::string format_finding(const Finding& finding);
