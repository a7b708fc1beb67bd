#pragma once
#include "core/registry.h"

// The registry below HKEY_CURRENT_USER, opened with full access.
class Win32Registry : public Registry {
public:
    bool open(const std::string& key, bool create) override;
    bool read_bytes(const std::string& key, const std::string& name, size_t max_bytes,
                    std::vector<uint8_t>& data) override;
    void write_dword(const std::string& key, const std::string& name, uint32_t value) override;
    void write_string(const std::string& key, const std::string& name, const std::string& data) override;
    bool enum_value_names(const std::string& key, size_t max_name_length,
                          std::vector<std::string>& names) override;
    std::vector<std::string> enum_subkeys(const std::string& key) override;
    bool delete_subtree(const std::string& key) override;
    bool delete_values(const std::string& key) override;
};
