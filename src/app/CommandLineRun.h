#pragma once

#include <functional>
#include <string>
#include <vector>

#include "services/PlatformOperations.h"
#include "services/ProgramVerification.h"

namespace kanvel::app {

// What the program does with its command line (the arguments after the
// program name): none at all opens the window (runWindow), /? shows the
// usage, anything else is a run without a window, which checks program
// files by `verification` as the window does. Returns the exit code.
int RunFromCommandLine(services::PlatformOperations& platform, const std::vector<std::wstring>& arguments,
                       const std::function<void()>& runWindow,
                       const services::ProgramVerification& verification = services::ProgramVerification::OfThisBuild());

}  // namespace kanvel::app
