// CRegistryOverride: one registry default value, set for a while and then
// restored exactly.
#include "CRegistryOverride.h"
#include <vector>

namespace {
bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

bool SetDefaultValue(HKEY root, const std::string& path, const std::string& value,
                     DWORD type = REG_SZ) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const LSTATUS status =
        ::RegSetValueExA(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}
} // namespace

CRegistryOverride::CRegistryOverride(HKEY root, const std::string& subKey, const std::string& value)
    : root(root), subKey(subKey) {
    createdKey = FirstMissingKey();
    if (createdKey.empty())
        RememberOldValue();
    applied = SetDefaultValue(root, subKey, value);
}

CRegistryOverride::~CRegistryOverride() {
    if (!createdKey.empty()) {
        ::RegDeleteTreeA(root, createdKey.c_str());
        return;
    }
    if (hadValue) {
        SetDefaultValue(root, subKey, oldValue, oldType);
        return;
    }
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, subKey.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueA(key, nullptr);
        ::RegCloseKey(key);
    }
}

std::string CRegistryOverride::FirstMissingKey() const {
    for (size_t end = subKey.find('\\');; end = subKey.find('\\', end + 1)) {
        const std::string prefix = subKey.substr(0, end);
        if (!KeyExists(root, prefix))
            return prefix;
        if (end == std::string::npos)
            return std::string();
    }
}

void CRegistryOverride::RememberOldValue() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::vector<char> data(size + 1, '\0');
        if (::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                               &size) == ERROR_SUCCESS) {
            hadValue = true;
            oldType = type;
            oldValue = data.data();
        }
    }
    ::RegCloseKey(key);
}
