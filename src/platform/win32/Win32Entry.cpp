// Program entry of the Windows installer: the Win32 platform and toolkit are
// wired in here; everything else is the portable program.
#include <windows.h>
#include <objbase.h>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Toolkit.h"
#include "shell/Installer.h"
#include "ui/Application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The shell link object needs the component object system on this thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int exitCode = 0;
    {
        kanvel::platform::win32::Win32Platform platform;
        kanvel::platform::win32::Win32Toolkit toolkit(instance);
        kanvel::ui::Application application(toolkit, platform.ExecutablePath());
        toolkit.attach(application);
        kanvel::shell::Installer installer(platform, application);
        application.guarded([&] {
            installer.CreateForms();
            installer.Run();
        });
    }
    CoUninitialize();
    return exitCode;
}
