#pragma once
// An in-memory registry for unit tests: keys hold values in insertion order, which stands
// in for the real registry's enumeration order.
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/registry.h"

class MemoryRegistry : public Registry {
public:
    struct Value {
        std::string name;
        uint32_t type;  // 1 REG_SZ, 4 REG_DWORD
        std::vector<uint8_t> data;
    };
    std::map<std::string, std::vector<Value>> keys;
    std::vector<std::string> log;  // "write key name", "delete key", "clear key", in call order
    // Keys that no deletion removes, as with a subkey whose name the program cannot open;
    // the keys above them stay too, with their values.
    std::set<std::string> undeletable;

    bool open(const std::string& key, bool create) override
    {
        if (keys.count(key))
            return true;
        if (!create)
            return false;
        for (size_t at = key.find('\\'); at != std::string::npos; at = key.find('\\', at + 1))
            keys[key.substr(0, at)];
        keys[key];
        return true;
    }
    bool read_bytes(const std::string& key, const std::string& name, size_t max_bytes,
                    std::vector<uint8_t>& data) override
    {
        const Value* value = find(key, name);
        if (!value || value->data.size() > max_bytes)
            return false;
        data = value->data;
        return true;
    }
    void write_dword(const std::string& key, const std::string& name, uint32_t value) override
    {
        std::vector<uint8_t> bytes = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                                      uint8_t(value >> 24)};
        put(key, name, 4, bytes);
    }
    void write_string(const std::string& key, const std::string& name, const std::string& data) override
    {
        put(key, name, 1, std::vector<uint8_t>(data.begin(), data.end()));
    }
    bool enum_value_names(const std::string& key, size_t max_name_length,
                          std::vector<std::string>& names) override
    {
        auto it = keys.find(key);
        if (it == keys.end())
            return false;
        for (const auto& value : it->second)
            if (value.name.size() <= max_name_length)
                names.push_back(value.name);
        return true;
    }
    std::vector<std::string> enum_subkeys(const std::string& key) override
    {
        std::vector<std::string> children;
        const std::string prefix = key + "\\";
        for (const auto& entry : keys)
            if (entry.first.compare(0, prefix.size(), prefix) == 0 &&
                entry.first.find('\\', prefix.size()) == std::string::npos)
                children.push_back(entry.first.substr(prefix.size()));
        return children;
    }
    bool delete_subtree(const std::string& key) override
    {
        log.push_back("delete " + key);
        const std::string prefix = key + "\\";
        bool all_gone = true;
        for (auto it = keys.begin(); it != keys.end();) {
            const bool below = it->first == key || it->first.compare(0, prefix.size(), prefix) == 0;
            if (below && holds_undeletable(it->first)) {
                all_gone = false;
                ++it;
            } else {
                it = below ? keys.erase(it) : std::next(it);
            }
        }
        return all_gone;
    }
    bool delete_values(const std::string& key) override
    {
        log.push_back("clear " + key);
        auto it = keys.find(key);
        if (it != keys.end())
            it->second.clear();
        return true;
    }

    const Value* find(const std::string& key, const std::string& name) const
    {
        auto it = keys.find(key);
        if (it == keys.end())
            return nullptr;
        for (const auto& value : it->second)
            if (value.name == name)
                return &value;
        return nullptr;
    }
    std::vector<std::string> value_names(const std::string& key) const
    {
        std::vector<std::string> names;
        auto it = keys.find(key);
        if (it != keys.end())
            for (const auto& value : it->second)
                names.push_back(value.name);
        return names;
    }

private:
    bool holds_undeletable(const std::string& key) const
    {
        for (const auto& stuck : undeletable)
            if (stuck == key || stuck.compare(0, key.size() + 1, key + "\\") == 0)
                return true;
        return false;
    }
    void put(const std::string& key, const std::string& name, uint32_t type, std::vector<uint8_t> data)
    {
        log.push_back("write " + key + " " + name);
        open(key, true);
        auto& values = keys[key];
        for (auto& value : values)
            if (value.name == name) {
                value.type = type;
                value.data = std::move(data);
                return;
            }
        values.push_back({name, type, std::move(data)});
    }
};
