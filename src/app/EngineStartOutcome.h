#pragma once

#include <optional>

#include "app/ExitCode.h"
#include "pages/install/InstallReport.h"

namespace kanvel::app {

// The exit code an installation's engine step alone decides, with a window
// or without: an engine installer that was there and was the maker's but
// did not start (the user declined the administrator's prompt, or the start
// failed) left the engine uninstalled. Nothing when the step says nothing
// of its own.
std::optional<ExitCode> EngineStartOutcome(const install::InstallReport& report);

}  // namespace kanvel::app
