#pragma once

#include <string>

#include "CheckList.h"

namespace kanvel::tests {

// The installer's component download (services::ComponentDownload) over the
// WinHTTP client and the Windows file system, against the fault server: a
// body is stored only when it is known to be whole; every other answer
// fails with its text, keeps the old file and leaves no partial file.
void RunDownloadRuleTests(CheckList& checks, const std::wstring& faultServerUrl);

}  // namespace kanvel::tests
