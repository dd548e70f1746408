// CRegistryOverride: sets the default value of one registry key for the
// life of the object and then leaves the registry as it found it: the old
// value is put back, or the value is removed, or, when the key (or some of
// the keys above it) did not exist, the keys it had to make are deleted.
#pragma once
#include <string>
#include <windows.h>

class CRegistryOverride {
  public:
    CRegistryOverride(HKEY root, const std::string& subKey, const std::string& value);
    ~CRegistryOverride();
    CRegistryOverride(const CRegistryOverride&) = delete;
    CRegistryOverride& operator=(const CRegistryOverride&) = delete;

    bool Applied() const { return applied; }

  private:
    // The topmost key on the path that does not exist yet; empty when the
    // whole path exists.
    std::string FirstMissingKey() const;
    void RememberOldValue();

    HKEY root;
    std::string subKey;
    std::string createdKey;
    bool hadValue = false;
    DWORD oldType = REG_SZ;
    std::string oldValue;
    bool applied = false;
};
