#pragma once

#include <string>
#include <vector>

#include "pages/install/DatabaseFileSets.h"

namespace kanvel::install {

// Where the download server keeps the editions' programs (fetched with the
// maker's credentials) and the database engine's installer.
inline constexpr const wchar_t* kProgramsServerFolder = L"programy/wersja7/poprawki";
inline constexpr const wchar_t* kProgramExtension = L"exe";
inline constexpr const wchar_t* kEngineServerFolder = L"sterowniki/bde";
inline constexpr const wchar_t* kEngineInstallerName = L"setup";
inline constexpr const wchar_t* kEngineInstallerExtension = L"exe";

// One file of the download server, as a component step asks for it.
struct ServerFile {
    std::wstring folder;
    std::wstring name;
    std::wstring extension;  // empty for none
    bool authenticate = false;

    // Its path below the server's root.
    std::wstring Path() const;
};

// Every file an installation may fetch: the programs of the five editions,
// the engine installer, and the tables of the three database sets.
std::vector<ServerFile> EveryServerFile();

}  // namespace kanvel::install
