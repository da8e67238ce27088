#include "app/EngineStartOutcome.h"

namespace kanvel::app {

std::optional<ExitCode> EngineStartOutcome(const install::InstallReport& report) {
    if (report.engine == install::InstallReport::EngineStep::NotStarted) return ExitCode::EngineNotStarted;
    return std::nullopt;
}

}  // namespace kanvel::app
