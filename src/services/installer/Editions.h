#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace kanvel::services {

// The five editions of Kanvel, in the order of the edition choice: the
// edition's name and the base name of its executable.
struct Edition {
    std::wstring_view name;
    std::wstring_view programBaseName;
};

inline constexpr std::array<Edition, 5> kEditions{{
    {L"Koordynator", L"Edytor3"},
    {L"Procesor", L"Edytor2p"},
    {L"Administrator", L"Edytor2"},
    {L"Asystent", L"Edytor1a"},
    {L"Konstruktor", L"Edytor1"},
}};

// The edition at an item index of the choice, if there is one.
inline std::optional<Edition> EditionAt(int index) {
    if (index < 0 || index >= static_cast<int>(kEditions.size())) return std::nullopt;
    return kEditions[static_cast<std::size_t>(index)];
}

}  // namespace kanvel::services
