#include "core/instance_name.h"

#include <cstdio>

std::string make_instance_name(uint32_t& last_name_tick, const std::function<uint32_t()>& tick_count,
                               size_t capacity)
{
    uint32_t tick = tick_count();
    while (tick == last_name_tick)
        tick = tick_count();
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
