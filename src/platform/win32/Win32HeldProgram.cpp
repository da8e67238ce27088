#include "platform/win32/Win32HeldProgram.h"

#include <shellapi.h>

#include "platform/win32/AuthenticodeSignature.h"
#include "platform/win32/DesktopShellStart.h"

namespace kanvel::platform::win32 {

std::unique_ptr<Win32HeldProgram> Win32HeldProgram::Hold(const std::wstring& path) {
    FileHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK) return nullptr;
    return std::unique_ptr<Win32HeldProgram>(new Win32HeldProgram(std::move(file), path));
}

services::FileSignature Win32HeldProgram::Signature() {
    // The check reads the file through the handle, from its start.
    SetFilePointerEx(file_.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN);
    return AuthenticodeSignatureOf(path_, file_.get());
}

// From an elevated installer the signed-in user's shell starts the program;
// should there be none, it is not started elevated in its place (a token
// stripped of its rights would still be the administrator's, who may not be
// the user signed in), and the caller says so.
bool Win32HeldProgram::Start(const std::wstring& directory, services::StartAs as) {
    if (as == services::StartAs::SignedInUser && ThisProcessIsElevated())
        return StartThroughDesktopShell(path_, directory);
    return startDirectly(directory);
}

// ShellExecuteEx returns once the process exists (its handle asked for, the
// start not left to run on after the call).
bool Win32HeldProgram::startDirectly(const std::wstring& directory) const {
    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    start.hwnd = GetActiveWindow();
    start.lpFile = path_.c_str();
    start.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    start.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&start)) return false;
    const KernelHandle process(start.hProcess);
    return true;
}

}  // namespace kanvel::platform::win32
