#pragma once

#include <optional>
#include <string>

#include "services/http/HttpClient.h"

namespace kanvel::services {

// What a download shows the user while it works: a status line, a bar with
// a range and a position, and the notice that a file is about to be
// replaced. The install panel is the one view; the download never touches
// a control itself.
class DownloadView {
public:
    virtual ~DownloadView() = default;
    virtual void ShowStatus(const std::wstring& text) = 0;
    virtual void SetProgressRange(int max) = 0;
    virtual void SetProgressPosition(int position) = 0;
    // Lets the window paint and answer what has arrived meanwhile (a repaint,
    // a screen reader's question, a click). False once the user has ended
    // the program that way: the download is then to stop at once.
    virtual bool KeepWorking() = 0;
    // Tells the user that an existing file is about to be replaced; returns
    // when the user has read it.
    virtual void ShowReplaceNotice(const std::wstring& text) = 0;
    // Asks the user for the user name and password the proxy ("host:port")
    // wants; nothing when the user declines or cannot be asked (no window).
    virtual std::optional<ProxyCredentials> AskProxySignIn(const std::wstring& proxy) = 0;
};

}  // namespace kanvel::services
