#include "kit/findings.h"

int exit_status(const std::vector<Finding>& findings)
{
    int worst = 0;
    for (const Finding& finding : findings)
        if (static_cast<int>(finding.severity) > worst)
            worst = static_cast<int>(finding.severity);
    return worst;
}

std::string format_finding(const Finding& finding)
{
    static const char* const kLabels[] = {"note", "warning", "error"};
    return std::string(kLabels[static_cast<int>(finding.severity)]) + ": " + finding.text;
}
