#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "services/system/Registry.h"

namespace kanvel::services {

// The registry. Keys are paths below the root ("Software\...").
class RegistryAccess {
public:
    virtual ~RegistryAccess() = default;

    // Creates the key when missing and sets the values; false when it could not.
    virtual bool WriteRegistryValues(RegistryRoot root, const std::wstring& key,
                                     const std::vector<RegistryValue>& values) = 0;
    // A text value, when the key and the value exist.
    virtual std::optional<std::wstring> ReadRegistryText(RegistryRoot root, const std::wstring& key,
                                                         const std::wstring& name) = 0;
    // A number value (REG_DWORD), when the key and the value exist.
    virtual std::optional<std::uint32_t> ReadRegistryNumber(RegistryRoot root, const std::wstring& key,
                                                            const std::wstring& name) = 0;
    // Deletes a key that holds values only; true when it is gone (or never was).
    virtual bool DeleteRegistryKey(RegistryRoot root, const std::wstring& key) = 0;
    // True when this process may create keys and set values below the key.
    virtual bool CanWriteRegistryKey(RegistryRoot root, const std::wstring& key) = 0;
};

}  // namespace kanvel::services
