#include "services/BuildSettings.h"

// CMakeLists.txt sets both on this file alone; a build that did not is one
// without a publisher and without plain HTTP to other machines.
#ifndef KANVEL_PUBLISHER
#define KANVEL_PUBLISHER L""
#endif
#ifndef KANVEL_ALLOW_PLAIN_HTTP
#define KANVEL_ALLOW_PLAIN_HTTP 0
#endif

namespace kanvel::services {

std::wstring_view BuildPublisher() { return KANVEL_PUBLISHER; }

bool BuildAllowsPlainHttp() { return KANVEL_ALLOW_PLAIN_HTTP != 0; }

}  // namespace kanvel::services
