#include "core/registry_win.h"

#include <windows.h>

#include "core/wide_text_win.h"

namespace {

// An open key that closes itself.
class Key {
public:
    Key(const std::string& path, bool create)
    {
        if (create) {
            RegCreateKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &handle_, nullptr);
        } else if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, KEY_ALL_ACCESS, &handle_) != ERROR_SUCCESS) {
            handle_ = nullptr;
        }
    }
    ~Key()
    {
        if (handle_)
            RegCloseKey(handle_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return handle_; }

private:
    HKEY handle_ = nullptr;
};

// Deletes the key with everything below it; false when some of it stays. A subkey that cannot
// be deleted (its rights were changed, say) ends the walk and leaves the rest as it is:
// taking index 0 again would find that same subkey for ever.
bool delete_key_tree(HKEY parent, const std::wstring& name)
{
    HKEY key;
    if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        wchar_t child[256];
        DWORD length = 256;
        bool children_gone = true;
        // Always take index 0: each deletion moves the next subkey there.
        while (RegEnumKeyExW(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
            if (!delete_key_tree(key, child)) {
                children_gone = false;
                break;
            }
            length = 256;
        }
        RegCloseKey(key);
        if (!children_gone)
            return false;
    }
    return RegDeleteKeyW(parent, name.c_str()) == ERROR_SUCCESS;
}

}  // namespace

bool Win32Registry::open(const std::string& key, bool create) { return Key(key, create).get() != nullptr; }

bool Win32Registry::read_bytes(const std::string& key, const std::string& name, size_t max_bytes,
                               std::vector<uint8_t>& data)
{
    Key k(key, false);
    if (!k.get())
        return false;
    BYTE buffer[64];
    DWORD size = static_cast<DWORD>(max_bytes < sizeof buffer ? max_bytes : sizeof buffer);
    if (RegQueryValueExW(k.get(), Wide(name).c_str(), nullptr, nullptr, buffer, &size) != ERROR_SUCCESS)
        return false;
    data.assign(buffer, buffer + size);
    return true;
}

void Win32Registry::write_dword(const std::string& key, const std::string& name, uint32_t value)
{
    Key k(key, true);
    DWORD data = value;
    RegSetValueExW(k.get(), Wide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void Win32Registry::write_string(const std::string& key, const std::string& name, const std::string& data)
{
    Key k(key, true);
    // The data's own terminator, when it has one, is stored as a wide one: the same value the
    // ANSI call stored on a system whose code page held the text.
    const std::wstring wide = Wide(data);
    RegSetValueExW(k.get(), Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.data()),
                   static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
}

bool Win32Registry::enum_value_names(const std::string& key, size_t max_name_length,
                                     std::vector<std::string>& names)
{
    Key k(key, false);
    if (!k.get())
        return false;
    // Room for any value name, so that an overlong one is skipped rather than ending the walk.
    // The limit counts characters as the platform does, in UTF-16 units.
    std::vector<wchar_t> name(16384);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG result = RegEnumValueW(k.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA)
            break;
        if (result == ERROR_SUCCESS && length <= max_name_length)
            names.push_back(Utf8(name.data(), length));
    }
    return true;
}

std::vector<std::string> Win32Registry::enum_subkeys(const std::string& key)
{
    std::vector<std::string> names;
    Key k(key, false);
    if (!k.get())
        return names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(k.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(Utf8(name, length));
    }
    return names;
}

bool Win32Registry::delete_subtree(const std::string& key)
{
    if (delete_key_tree(HKEY_CURRENT_USER, Wide(key)))
        return true;
    HKEY probe;
    const LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, Wide(key).c_str(), 0, KEY_QUERY_VALUE, &probe);
    if (result == ERROR_SUCCESS)
        RegCloseKey(probe);
    return result == ERROR_FILE_NOT_FOUND;
}

bool Win32Registry::delete_values(const std::string& key)
{
    Key k(key, false);
    if (!k.get())
        return true;
    std::vector<wchar_t> name(16384);
    for (;;) {
        DWORD length = static_cast<DWORD>(name.size());
        // Always index 0: each deletion moves the next value there. A value that will not go
        // ends the walk rather than being found again for ever.
        if (RegEnumValueW(k.get(), 0, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (RegDeleteValueW(k.get(), name.data()) != ERROR_SUCCESS)
            break;
    }
    DWORD values = 0;
    return RegQueryInfoKeyW(k.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS &&
           values == 0;
}
