#include "core/single_instance.h"

bool another_instance_runs(bool mutex_created, uint32_t last_error)
{
    constexpr uint32_t kAccessDenied = 5;
    constexpr uint32_t kAlreadyExists = 183;
    return last_error == kAlreadyExists || (!mutex_created && last_error == kAccessDenied);
}
