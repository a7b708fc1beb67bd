#include "core/instance_name.h"

// A test build's mascots all take one window class name, so that every mascot started after
// the first finds its class taken and cannot be made.
std::string make_instance_name(uint32_t&, const std::function<uint32_t()>&, size_t)
{
    return "MascotTaken";
}
