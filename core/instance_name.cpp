#include "core/instance_name.h"

#include <cstdio>

std::string make_instance_name(uint32_t& last_name_tick, const std::function<uint32_t()>& tick_count,
                               size_t capacity)
{
    uint32_t tick = tick_count();
    // Within this span behind the last name, a tick counts as not moved on; further back it is
    // the clock's wrap after 49.7 days, and the tick is used as it is.
    constexpr uint32_t kSpanBehind = 0x10000;
    if (tick == last_name_tick || (last_name_tick != 0 && last_name_tick - tick < kSpanBehind))
        tick = last_name_tick + 1;
    char text[32];
    std::snprintf(text, sizeof text, "Mascot%X", static_cast<unsigned>(tick));
    last_name_tick = tick;
    std::string name(text);
    if (capacity == 0)
        return std::string();
    if (name.size() > capacity - 1)
        name.resize(capacity - 1);
    return name;
}
