#include "display/display_scale.h"

#include <limits>

int32_t scale_for_dpi(int32_t dpi)
{
    if (dpi < kBaseDpi)
        return 1;
    return static_cast<int32_t>((static_cast<int64_t>(dpi) + kBaseDpi / 2) / kBaseDpi);
}

int32_t metric_for_dpi(int32_t system_metric, int32_t system_dpi, int32_t dpi)
{
    const int64_t from = system_dpi > 0 ? system_dpi : kBaseDpi;
    const int64_t to = dpi > 0 ? dpi : kBaseDpi;
    const int64_t scaled = (static_cast<int64_t>(system_metric) * to * 2 + from) / (from * 2);
    if (scaled > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (scaled < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(scaled);
}

int32_t scaled_length(int32_t length, int32_t scale)
{
    const int64_t scaled = static_cast<int64_t>(length) * (scale < 1 ? 1 : scale);
    if (scaled > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (scaled < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(scaled);
}

std::vector<RunRect> scale_runs(const std::vector<RunRect>& runs, int32_t scale)
{
    if (scale <= 1)
        return runs;
    std::vector<RunRect> scaled;
    scaled.reserve(runs.size());
    for (const RunRect& run : runs)
        scaled.push_back({scaled_length(run.left, scale), scaled_length(run.top, scale),
                          scaled_length(run.right, scale), scaled_length(run.bottom, scale)});
    return scaled;
}
