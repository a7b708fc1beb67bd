#pragma once
#include <cstdint>

// Whether another instance runs, from what creating the program's named mutex gave: it existed
// already, or it exists and may not be opened here (held by an instance started at another
// integrity level). Any other failure starts the program, as no instance can be shown to run.
bool another_instance_runs(bool mutex_created, uint32_t last_error);
