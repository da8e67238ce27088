#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "services/system/Registry.h"

namespace kanvel::platform::host {

// The registry of the test machine: keys by root and path (paths compared
// without regard to letter case, as Windows does), each with its values.
// The tests read what the program wrote here as an administrator reads it
// with regedit.
class HostRegistry {
public:
    using Data = std::variant<std::wstring, std::uint32_t>;

    // Parts of the registry the test user may not write to (the machine's,
    // for a user without administrator rights).
    std::set<services::RegistryRoot> deniedRoots;

    bool write(services::RegistryRoot root, const std::wstring& key, const std::vector<services::RegistryValue>& values);
    bool remove(services::RegistryRoot root, const std::wstring& key);
    bool canWrite(services::RegistryRoot root) const { return deniedRoots.count(root) == 0; }

    bool hasKey(services::RegistryRoot root, const std::wstring& key) const;
    std::optional<std::wstring> text(services::RegistryRoot root, const std::wstring& key, const std::wstring& name) const;
    std::optional<std::uint32_t> number(services::RegistryRoot root, const std::wstring& key,
                                        const std::wstring& name) const;
    // Every key of a root, as first written.
    std::vector<std::wstring> keys(services::RegistryRoot root) const;

private:
    struct Key {
        std::wstring path;
        std::map<std::wstring, Data> values;
    };
    const Key* find(services::RegistryRoot root, const std::wstring& key) const;
    const Data* data(services::RegistryRoot root, const std::wstring& key, const std::wstring& name) const;

    std::map<std::pair<services::RegistryRoot, std::wstring>, Key> keys_;
};

}  // namespace kanvel::platform::host
