#pragma once

#include <windows.h>
#include <shlobj.h>

#include "platform/win32/ResourceHolders.h"
#include "services/shortcuts/ShellLink.h"

namespace kanvel::platform::win32 {

// The shell's link object (CLSID_ShellLink) through IShellLinkW and
// IPersistFile; both interfaces are released with this object.
class Win32ShellLink : public services::ShellLink {
public:
    Win32ShellLink();
    Win32ShellLink(const Win32ShellLink&) = delete;
    Win32ShellLink& operator=(const Win32ShellLink&) = delete;

    void SetPath(const std::wstring& path) override;
    void SetWorkingDirectory(const std::wstring& directory) override;
    void SetArguments(const std::wstring& arguments) override;
    void SetDescription(const std::wstring& description) override;
    void SetShowCmd(int showCommand) override;
    void SetIconLocation(const std::wstring& path, int index) override;
    void SetHotkey(std::uint16_t hotkey) override;
    void Save(const std::wstring& linkFile) override;

private:
    ComPtr<IShellLinkW> link_;
    ComPtr<IPersistFile> file_;
};

}  // namespace kanvel::platform::win32
