// Program entry of the Windows installer: the Win32 platform and toolkit are
// wired in here; everything else is the portable program.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/win32/ResourceHolders.h"
#include "platform/win32/SystemDllPreload.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Toolkit.h"
#include "app/CommandLineRun.h"
#include "app/Installer.h"
#include "pages/install/TFormInstal.h"
#include "services/installer/ProgramTitle.h"
#include "services/paths/WindowsPath.h"
#include "ui/Application.h"

namespace {

// The arguments after the program name, split by Windows' own rules
// (quotes, backslashes before quotes) as every Windows program splits them.
std::vector<std::wstring> CommandLineArguments() {
    std::vector<std::wstring> arguments;
    int count = 0;
    const kanvel::platform::win32::LocalMemory<LPWSTR*> split(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!split) return arguments;
    for (int i = 1; i < count; ++i) arguments.emplace_back(split.get()[i]);
    return arguments;
}

// Returns the report of the last installation made in the window.
kanvel::install::InstallReport RunWindow(HINSTANCE instance, kanvel::platform::win32::Win32Platform& platform,
                                         const kanvel::app::WindowSettings& settings) {
    kanvel::platform::win32::Win32Toolkit toolkit(instance);
    kanvel::ui::Application application(toolkit, kanvel::services::ProgramTitleOf(platform.ExecutablePath()));
    toolkit.attach(application);
    platform.OwnNoticesBy(&toolkit);
    // A repair keeps the working tables the users edited; otherwise the window's way replaces them.
    const auto workingTables = settings.repair ? kanvel::install::WorkingTablePolicy::WithoutWindow(false)
                                               : kanvel::install::WorkingTablePolicy();
    kanvel::app::Installer installer(platform, application, settings.scope,
                                     kanvel::services::ProgramVerification::OfThisBuild(), workingTables, {},
                                     settings.allowDowngrade ? kanvel::install::DowngradeRule::Allowing()
                                                             : kanvel::install::DowngradeRule());
    installer.TakeFilesFrom(settings.source);
    installer.JudgeReleaseBy(settings.release);
    // Run from a temporary copy of the kept installer for a removal: the
    // removal lets the waiting first run end before it deletes the kept copy.
    if (settings.releaseKeptCopy)
        installer.deferredRemoval().ReleaseFirstRunWith(
            [&] { settings.releaseKeptCopy(installer.recorder().installation()); });
    // Run from the kept installer itself: a removal leaves that copy, which cannot go while it runs.
    if (settings.handOverKeptCopy) installer.deferredRemoval().Defer();
    application.guarded([&] {
        installer.CreateForms();
        if (settings.location) installer.FormInstal().ChooseLocation(*settings.location);
        installer.Run();
    });
    // Not released by a removal: the first run learns the outcome now.
    if (settings.releaseKeptCopy) settings.releaseKeptCopy(installer.recorder().installation());
    const std::wstring waiting = installer.deferredRemoval().Waiting();
    if (settings.handOverKeptCopy && !waiting.empty()) {
        // The running copy's own folder: a copy that outlives this run deletes it; another folder's goes now.
        if (kanvel::services::EqualIgnoringCase(waiting, kanvel::services::FolderOf(platform.ExecutablePath())))
            settings.handOverKeptCopy(installer.context().editionName);
        else
            application.guarded([&] { installer.deferredRemoval().Complete(); });
    }
    platform.OwnNoticesBy(nullptr);
    return installer.recorder().installation();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Every DLL loaded from here on (the delay-loaded comctl32, WinHTTP,
    // uxtheme, wintrust, crypt32 and bcrypt, and whatever the system's own
    // DLLs load) comes from System32 alone, never from the folder the
    // installer lies in (a download folder, the installation, a temporary
    // folder). The DLLs those system DLLs load only on first need are loaded
    // from System32 at once: not every loader applies the restriction to them.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    kanvel::platform::win32::PreloadLateSystemDlls();
    // The shell link object needs the component object system on this thread.
    const kanvel::platform::win32::ComApartment com;
    const std::vector<std::wstring> arguments = CommandLineArguments();
    // A run with options may have nobody at the screen: no system box may
    // wait for an answer (a drive without a disk, a crash report).
    if (!arguments.empty()) SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    kanvel::platform::win32::Win32Platform platform;
    return kanvel::app::RunFromCommandLine(platform, arguments, [&](const kanvel::app::WindowSettings& settings) {
        return RunWindow(instance, platform, settings);
    });
}
