#pragma once
#include <cstdint>
#include <functional>
#include <string>

// "Mascot%X" from the millisecond tick, waiting for the tick to move on when it still
// equals the one the previous name used, so that no two names of a run are alike.
std::string make_instance_name(uint32_t& last_name_tick, const std::function<uint32_t()>& tick_count,
                               size_t capacity);
