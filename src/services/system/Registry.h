#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace kanvel::services {

// Which part of the registry a key lives in: the user's own, or the
// machine's (for every user).
enum class RegistryRoot { CurrentUser, LocalMachine };

// One value of a registry key: text (REG_SZ) or a number (REG_DWORD).
struct RegistryValue {
    std::wstring name;
    std::variant<std::wstring, std::uint32_t> data;
};

}  // namespace kanvel::services
