#pragma once

#include <string>

#include "CheckList.h"

namespace kanvel::tests {

// The client against tools/faultserver: status lines, body framings, bodies
// that break off, credentials and redirects (checked on the server side), and
// a port nobody listens on. Urls are "scheme://host:PORT" without a slash.
void RunFaultServerTests(CheckList& checks, const std::wstring& faultServerUrl, const std::wstring& closedPortUrl);

}  // namespace kanvel::tests
