#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pages/ReleaseGate.h"
#include "pages/install/InstallReport.h"
#include "services/installer/InstallerContext.h"
#include "services/localcopy/LocalSource.h"
#include "services/localcopy/ReleaseList.h"
#include "services/system/Platform.h"
#include "services/trust/ProgramVerification.h"

namespace kanvel::app {

// What a run with a window takes from its command line: for whom it
// installs, and the location it starts with (already made ready).
struct WindowSettings {
    services::InstallScope scope = services::InstallScope::CurrentUser;
    std::optional<std::wstring> location;
    // The copy of the server the files come from (/SOURCE); nothing: the server.
    const services::LocalSource* source = nullptr;
    // The server's release list, judged before the window's first file
    // from the server; nothing: the files come from a copy.
    pages::ReleaseGate* release = nullptr;
    // An older installer may replace the installed newer release (/ALLOWDOWNGRADE).
    bool allowDowngrade = false;
    // A repair (/REPAIR): the database copy keeps every working table that exists.
    bool repair = false;
    // Set when this window runs from a temporary copy of the kept installer
    // (a removal): tells the waiting first run the outcome and returns when
    // that run has ended, so that the kept copy may go. Called when the
    // removal reaches the kept copy, or else when the window has closed;
    // only the first call counts.
    std::function<void(const install::InstallReport&)> releaseKeptCopy;
    // Set when this window runs from the kept installer where it lies: a
    // removal in the window that leaves only that copy (which a running
    // program cannot delete) hands it, with the edition removed, to a
    // temporary copy that deletes it once this run has ended.
    std::function<void(const std::wstring& edition)> handOverKeptCopy;
};

// What the program does with its command line (the arguments after the
// program name): no options, or only those a window takes, open the window
// (runWindow, which returns the report of the last installation made in the
// window, or an empty one); /? shows the usage; /SILENT is a run without a window, which
// checks program files by `verification` as the window does; /LAYOUT makes a
// copy of the server, and /SOURCE takes the files from one. One run at a
// time on a machine: a second one ends at once. Returns the exit code.
int RunFromCommandLine(services::Platform platform, const std::vector<std::wstring>& arguments,
                       const std::function<install::InstallReport(const WindowSettings&)>& runWindow,
                       const services::ProgramVerification& verification = services::ProgramVerification::OfThisBuild());

}  // namespace kanvel::app
