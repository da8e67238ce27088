#pragma once

#include <string>

#include "app/ExitCode.h"
#include "app/RunLog.h"
#include "services/localcopy/LayoutList.h"
#include "services/system/Platform.h"
#include "services/trust/ProgramVerification.h"

namespace kanvel::app {

// /LAYOUT: a copy of every file an installation may fetch (the editions'
// programs, the engine installer, the database tables), in the download
// server's own folders and names, with its list (services::LayoutList). A
// file already in the folder that matches the list of an earlier copy is
// kept; any other is fetched, and a program is checked by its signature as
// the installation checks it, before it is stored. The list names every file
// of the copy, so a copy that failed in part is completed by the next run.
class LayoutRun {
public:
    LayoutRun(services::Platform platform, RunLog& log, std::wstring folder,
              const services::ProgramVerification& verification);

    ExitCode Execute();

private:
    // The list of an earlier copy in the folder; empty when there is none
    // or it was refused (every file is then fetched again).
    services::LayoutList earlierList();
    bool makeFoldersFor(const std::wstring& path);
    bool writeList(const services::LayoutList& list);

    services::Platform platform_;
    RunLog& log_;
    std::wstring folder_;
    const services::ProgramVerification& verification_;
};

}  // namespace kanvel::app
