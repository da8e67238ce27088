#pragma once

#include <optional>

#include "services/download/DownloadView.h"

namespace kanvel::services {

// The view of a download nobody watches (a copy of the server being made):
// nothing to show, nothing to ask, never told to stop.
class UnwatchedView : public DownloadView {
public:
    void ShowStatus(const std::wstring&) override {}
    void SetProgressRange(int) override {}
    void SetProgressPosition(int) override {}
    bool KeepWorking() override { return true; }
    void ShowReplaceNotice(const std::wstring&) override {}
    std::optional<ProxyCredentials> AskProxySignIn(const std::wstring&) override { return std::nullopt; }
};

}  // namespace kanvel::services
