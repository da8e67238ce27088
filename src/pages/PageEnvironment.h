#pragma once

#include "pages/ReleaseGate.h"
#include "pages/notice/Notices.h"
#include "services/paths/InstallationPaths.h"
#include "services/installer/InstallerContext.h"
#include "services/localcopy/LocalSource.h"
#include "services/localcopy/ReleaseList.h"
#include "services/system/Platform.h"
#include "services/trust/ProgramVerification.h"
#include "ui/Application.h"

namespace kanvel::pages {

// What every page of one run stands on: the platform, the application, the
// installer context the pages share, the notice, the rule for which
// program files may be started, and where the files come from. The composition root
// of a run makes it; the pages never reach each other through it.
struct PageEnvironment {
    services::Platform platform;
    ui::Application& application;
    services::InstallerContext& context;
    notice::Notices& notices;
    const services::ProgramVerification& verification;
    // The local copy of the server the files come from (/SOURCE); nothing:
    // from the download server.
    const services::LocalSource* source = nullptr;
    // The download server's release list every file from it is checked
    // against; nothing: the server has none (or the files come from a copy),
    // or the window has not judged it yet.
    const services::ReleaseList* release = nullptr;
    // The window's way to the server's list, opened before the first file
    // from the server; nothing: `release` was judged before the run.
    ReleaseGate* releaseGate = nullptr;

    // The release this run installs: the one the server's release list (or
    // the copy's list) names, else this installer's own version.
    std::wstring offeredRelease() const;

    // Every path of the installation as the context gives it now.
    services::InstallationPaths paths() const { return services::InstallationPaths(context); }
};

}  // namespace kanvel::pages
