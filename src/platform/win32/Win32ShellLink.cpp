#include "platform/win32/Win32ShellLink.h"

#include <string>

#include "platform/win32/SystemErrorText.h"
#include "services/installer/InstallerError.h"

namespace kanvel::platform::win32 {

namespace {
[[noreturn]] void ThrowComFailure(HRESULT result) {
    const auto code = static_cast<DWORD>(result);
    std::wstring text = SystemErrorText(code);
    if (text.empty()) text = L"COM error " + std::to_wstring(code);
    throw services::InstallerError(text);
}
}  // namespace

Win32ShellLink::Win32ShellLink() {
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link_));
    if (FAILED(result)) ThrowComFailure(result);
    result = link_.As(&file_);
    if (FAILED(result)) ThrowComFailure(result);
}

void Win32ShellLink::SetPath(const std::wstring& path) { link_->SetPath(path.c_str()); }
void Win32ShellLink::SetWorkingDirectory(const std::wstring& directory) { link_->SetWorkingDirectory(directory.c_str()); }
void Win32ShellLink::SetArguments(const std::wstring& arguments) { link_->SetArguments(arguments.c_str()); }
void Win32ShellLink::SetDescription(const std::wstring& description) { link_->SetDescription(description.c_str()); }
void Win32ShellLink::SetShowCmd(int showCommand) { link_->SetShowCmd(showCommand); }
void Win32ShellLink::SetIconLocation(const std::wstring& path, int index) { link_->SetIconLocation(path.c_str(), index); }
void Win32ShellLink::SetHotkey(std::uint16_t hotkey) { link_->SetHotkey(hotkey); }
void Win32ShellLink::Save(const std::wstring& linkFile) { file_->Save(linkFile.c_str(), FALSE); }

}  // namespace kanvel::platform::win32
