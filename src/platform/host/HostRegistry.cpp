#include "platform/host/HostRegistry.h"

#include "services/paths/WindowsPath.h"

namespace kanvel::platform::host {

namespace {
std::pair<services::RegistryRoot, std::wstring> Slot(services::RegistryRoot root, const std::wstring& key) {
    return {root, services::UpperCaseAscii(key)};
}
}  // namespace

bool HostRegistry::write(services::RegistryRoot root, const std::wstring& key,
                         const std::vector<services::RegistryValue>& values) {
    if (!canWrite(root)) return false;
    Key& stored = keys_[Slot(root, key)];
    if (stored.path.empty()) stored.path = key;
    for (const auto& value : values) stored.values[value.name] = value.data;
    return true;
}

bool HostRegistry::remove(services::RegistryRoot root, const std::wstring& key) {
    if (!canWrite(root)) return find(root, key) == nullptr;
    keys_.erase(Slot(root, key));
    return true;
}

const HostRegistry::Key* HostRegistry::find(services::RegistryRoot root, const std::wstring& key) const {
    const auto found = keys_.find(Slot(root, key));
    return found == keys_.end() ? nullptr : &found->second;
}

bool HostRegistry::hasKey(services::RegistryRoot root, const std::wstring& key) const { return find(root, key) != nullptr; }

const HostRegistry::Data* HostRegistry::data(services::RegistryRoot root, const std::wstring& key,
                                             const std::wstring& name) const {
    const Key* stored = find(root, key);
    if (stored == nullptr) return nullptr;
    const auto found = stored->values.find(name);
    return found == stored->values.end() ? nullptr : &found->second;
}

std::optional<std::wstring> HostRegistry::text(services::RegistryRoot root, const std::wstring& key,
                                               const std::wstring& name) const {
    const Data* value = data(root, key, name);
    if (value == nullptr || !std::holds_alternative<std::wstring>(*value)) return std::nullopt;
    return std::get<std::wstring>(*value);
}

std::optional<std::uint32_t> HostRegistry::number(services::RegistryRoot root, const std::wstring& key,
                                                  const std::wstring& name) const {
    const Data* value = data(root, key, name);
    if (value == nullptr || !std::holds_alternative<std::uint32_t>(*value)) return std::nullopt;
    return std::get<std::uint32_t>(*value);
}

std::vector<std::wstring> HostRegistry::keys(services::RegistryRoot root) const {
    std::vector<std::wstring> found;
    for (const auto& [slot, key] : keys_)
        if (slot.first == root) found.push_back(key.path);
    return found;
}

}  // namespace kanvel::platform::host
