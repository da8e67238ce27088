#pragma once

#include <memory>
#include <string>

#include "services/shortcuts/ShellLink.h"
#include "services/system/HeldProgram.h"

namespace kanvel::services {

// Shell folder numbers: the user's own desktop and Start-menu programs, and
// the ones every user of the machine sees.
inline constexpr int kFolderDesktop = 0;
inline constexpr int kFolderPrograms = 2;
inline constexpr int kFolderCommonPrograms = 0x17;
inline constexpr int kFolderCommonDesktop = 0x19;

// How a started program's window is shown: normally.
inline constexpr int kShowNormal = 1;

// The Windows shell: starting a file or opening an address, its special
// folders and its shortcut files.
class Shell {
public:
    virtual ~Shell() = default;

    // Starts a file or opens an address; returns at once, result not examined.
    // A program that was checked is started through HoldProgram instead.
    virtual void ShellExecuteFile(const std::wstring& operation, const std::wstring& file,
                                  const std::wstring& parameters, const std::wstring& directory) = 0;
    // The program file held against writing and deletion, to be checked and
    // started (services::ProgramVerification::Start); nothing when there is
    // no such file or it cannot be held (another program is writing it).
    virtual std::unique_ptr<HeldProgram> HoldProgram(const std::wstring& file) = 0;
    virtual std::wstring SpecialFolderPath(int folder) = 0;
    // A fresh shell link object; throws when the shell cannot make one.
    virtual std::unique_ptr<ShellLink> CreateShellLink() = 0;
};

}  // namespace kanvel::services
