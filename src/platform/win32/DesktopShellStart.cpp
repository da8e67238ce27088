#include "platform/win32/DesktopShellStart.h"

#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "platform/win32/ResourceHolders.h"

namespace kanvel::platform::win32 {

namespace {
// A BSTR, freed when the holder goes.
class Text {
public:
    explicit Text(const std::wstring& text) : text_(SysAllocString(text.c_str())) {}
    ~Text() { SysFreeString(text_); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    BSTR get() const { return text_; }

private:
    BSTR text_;
};

VARIANT Nothing() {
    VARIANT value;
    VariantInit(&value);
    return value;
}

VARIANT Number(LONG number) {
    VARIANT value = Nothing();
    value.vt = VT_I4;
    value.lVal = number;
    return value;
}

VARIANT Borrowed(const Text& text) {
    VARIANT value = Nothing();
    value.vt = VT_BSTR;
    value.bstrVal = text.get();
    return value;
}

// The desktop's shell object (Shell.Application as the desktop's folder view
// offers it), or nothing.
ComPtr<IShellDispatch2> DesktopShell() {
    ComPtr<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&windows))))
        return nullptr;
    VARIANT desktopFolder = Number(CSIDL_DESKTOP);
    VARIANT noRoot = Nothing();
    long window = 0;
    ComPtr<IDispatch> desktop;
    if (windows->FindWindowSW(&desktopFolder, &noRoot, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &desktop) != S_OK ||
        !desktop)
        return nullptr;
    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IDispatch> application;
    ComPtr<IShellDispatch2> shell;
    if (FAILED(desktop.As(&services)) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(&browser))) ||
        FAILED(browser->QueryActiveShellView(&view)) ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(&background))) ||
        FAILED(background.As(&folderView)) || FAILED(folderView->get_Application(&application)) || !application ||
        FAILED(application.As(&shell)))
        return nullptr;
    return shell;
}
}  // namespace

bool ThisProcessIsElevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    const KernelHandle held(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

bool StartThroughDesktopShell(const std::wstring& file, const std::wstring& directory) {
    const ComApartment apartment;
    const ComPtr<IShellDispatch2> shell = DesktopShell();
    if (!shell) return false;
    const Text program(file);
    const Text folder(directory);
    VARIANT noArguments = Nothing();
    VARIANT workingFolder = directory.empty() ? Nothing() : Borrowed(folder);
    VARIANT defaultOperation = Nothing();
    VARIANT show = Number(SW_SHOWNORMAL);
    return SUCCEEDED(shell->ShellExecute(program.get(), noArguments, workingFolder, defaultOperation, show));
}

}  // namespace kanvel::platform::win32
