#include "platform/win32/Win32ShellLink.h"

#include <string>

#include "services/InstallerError.h"

namespace kanvel::platform::win32 {

namespace {
[[noreturn]] void ThrowComFailure(HRESULT result) {
    wchar_t buffer[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(result), 0,
                   buffer, 512, nullptr);
    std::wstring text = buffer;
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    if (text.empty()) text = L"COM error " + std::to_wstring(static_cast<unsigned long>(result));
    throw services::InstallerError(text);
}
}  // namespace

Win32ShellLink::Win32ShellLink() {
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(&link_));
    if (FAILED(result)) ThrowComFailure(result);
    result = link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file_));
    if (FAILED(result)) {
        link_->Release();
        ThrowComFailure(result);
    }
}

Win32ShellLink::~Win32ShellLink() {
    file_->Release();
    link_->Release();
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
