#pragma once

namespace kanvel::platform::win32 {

// True when this process runs as the system account (LocalSystem), as
// deployment tools and start-up scripts run installers.
bool RunsAsSystemAccount();

}  // namespace kanvel::platform::win32
