#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The settings store below the current user's hive. Key paths are relative to that hive
// and use backslashes. The Win32 implementation talks to the real registry; unit tests
// use the in-memory one.
class Registry {
public:
    virtual ~Registry() = default;

    // Opens the key, creating it (and its parents) when create is set; false when missing.
    virtual bool open(const std::string& key, bool create) = 0;
    // Copies at most max_bytes of a value's data, whatever its type. False when the value
    // is missing or holds more than max_bytes.
    virtual bool read_bytes(const std::string& key, const std::string& name, size_t max_bytes,
                            std::vector<uint8_t>& data) = 0;
    virtual void write_dword(const std::string& key, const std::string& name, uint32_t value) = 0;
    // Writes a REG_SZ whose data is exactly the given bytes (callers add the NUL they want).
    virtual void write_string(const std::string& key, const std::string& name,
                              const std::string& data) = 0;
    // Value names in enumeration order; false when the key does not exist.
    virtual bool enum_value_names(const std::string& key, size_t max_name_length,
                                  std::vector<std::string>& names) = 0;
    virtual std::vector<std::string> enum_subkeys(const std::string& key) = 0;
    // Deletes the key with everything below it; true when nothing of it is left, also when
    // it was missing. A subkey that cannot be deleted keeps the key, its values included.
    virtual bool delete_subtree(const std::string& key) = 0;
    // Deletes every value of the key, whatever its name, and leaves its subkeys; true when no
    // value is left, also when the key is missing.
    virtual bool delete_values(const std::string& key) = 0;
};

// Reads a value into a 32-bit field the way the program always has: the data's bytes
// overlay the field's low bytes, and a missing or oversized value leaves it untouched.
bool read_dword_into(Registry& registry, const std::string& key, const std::string& name,
                     int32_t& field);
bool read_dword_into(Registry& registry, const std::string& key, const std::string& name,
                     uint32_t& field);
