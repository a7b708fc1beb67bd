#pragma once
#include <cstdint>
#include <functional>
#include <string>

// "Mascot%X" from the millisecond tick. A tick that has not moved past the one the previous
// name used gives the next number after that one instead, so that no two names of a run are
// alike and no start waits for the clock.
std::string make_instance_name(uint32_t& last_name_tick, const std::function<uint32_t()>& tick_count,
                               size_t capacity);
