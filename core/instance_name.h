#pragma once
#include <cstdint>
#include <functional>
#include <string>

// "Mascot%X" from the millisecond tick. A tick that has not moved past the one the previous
// name used gives the next number after that one instead, so that no two names of a run are
// alike and no start waits for the clock.
std::string make_instance_name(uint32_t& last_name_tick, const std::function<uint32_t()>& tick_count,
                               size_t capacity);

// Whether another instance runs, from what creating the program's named mutex gave: it existed
// already, or it exists and may not be opened here (held by an instance started at another
// integrity level). Any other failure starts the program, as no instance can be shown to run.
bool another_instance_runs(bool mutex_created, uint32_t last_error);
