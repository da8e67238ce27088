#pragma once

namespace kanvel::install {

// Names of the installed layout, shared by installing and removing.
inline constexpr const wchar_t* kFamilyFolder = L"\\OR-Vel";            // below the chosen location
inline constexpr const wchar_t* kFamilyFolderLabel = L"\\OR-Vel\\";     // as the panel shows it
inline constexpr const wchar_t* kDriversFolder = L"\\Sterowniki";       // parent of the engine folder
inline constexpr const wchar_t* kEngineInstallerFile = L"\\setup.exe";  // in the engine folder
inline constexpr const wchar_t* kStartMenuGroup = L"\\Velmarin";        // below the Start menu's Programs
inline constexpr const wchar_t* kProgramExtension = L".exe";

}  // namespace kanvel::install
