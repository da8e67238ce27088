#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/ExitCode.h"
#include "app/RunLog.h"
#include "services/localcopy/ReleaseList.h"
#include "services/system/Platform.h"
#include "services/trust/ProgramVerification.h"

namespace kanvel::app {

// The download server's release list, for a run that fetches files from the
// server, fetched and judged before any file: the list (logged with its
// release), or the run goes on without one (a build without a publisher
// whose server has none or is out of reach; logged), or it stops here.
struct ServerRelease {
    std::unique_ptr<services::ReleaseList> list;
    // Set when the run stops before any file: a list missing in a build that
    // names the maker, changed or not the maker's (ReleaseListRefused), or
    // out of reach in such a build (DownloadFailed); `reason` says which.
    std::optional<ExitCode> stop;
    std::wstring reason;

    static ServerRelease Fetch(services::Platform platform, RunLog& log,
                               const services::ProgramVerification& verification);
};

}  // namespace kanvel::app
