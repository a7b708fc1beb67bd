#include "core/registry.h"

#include <cstring>

bool read_dword_into(Registry& registry, const std::string& key, const std::string& name,
                     uint32_t& field)
{
    std::vector<uint8_t> data;
    if (!registry.read_bytes(key, name, 4, data))
        return false;
    uint8_t bytes[4];
    std::memcpy(bytes, &field, 4);
    if (!data.empty())
        std::memcpy(bytes, data.data(), data.size());
    std::memcpy(&field, bytes, 4);
    return true;
}

bool read_dword_into(Registry& registry, const std::string& key, const std::string& name,
                     int32_t& field)
{
    uint32_t value = static_cast<uint32_t>(field);
    const bool ok = read_dword_into(registry, key, name, value);
    field = static_cast<int32_t>(value);
    return ok;
}
