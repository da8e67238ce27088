#pragma once

#include <optional>

#include "app/RunLog.h"
#include "app/ServerRelease.h"
#include "pages/ReleaseGate.h"
#include "services/system/Platform.h"
#include "services/trust/ProgramVerification.h"

namespace kanvel::app {

// The window's release list: the server's list fetched and judged as a run
// without a window judges it, but only when the window first needs it.
class ServerReleaseOnDemand final : public pages::ReleaseGate {
public:
    ServerReleaseOnDemand(services::Platform platform, RunLog& log, const services::ProgramVerification& verification)
        : platform_(platform), log_(log), verification_(verification) {}

    Opening Open() override;

private:
    services::Platform platform_;
    RunLog& log_;
    const services::ProgramVerification& verification_;
    // The list, or the refusal of a list that is not the maker's.
    std::optional<ServerRelease> judged_;
};

}  // namespace kanvel::app
