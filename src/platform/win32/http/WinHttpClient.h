#pragma once

#include <chrono>
#include <string>

#include "platform/win32/http/WinHttpHandle.h"
#include "services/HttpClient.h"
#include "services/StallWatch.h"

namespace kanvel::platform::win32 {

// HttpClient over WinHTTP: one synchronous GET per call, redirects never
// followed, failures thrown as services::InstallerError in the two forms
// HttpClient describes. It reports what the answer declared (Content-Length,
// chunks, validators) and leaves judging the body's completeness to its
// caller. Besides WinHTTP's own waits, a body of which less than
// minimumBytes arrive in any stall window ends as a time-out. OnWorkEnd
// follows OnWorkBegin also when the body breaks off, before the error is
// thrown.
class WinHttpClient : public services::HttpClient {
public:
    // Long enough for a slow line, short enough that a dead or stalled server
    // does not keep the installer waiting for ever.
    static constexpr std::chrono::milliseconds DefaultConnectTimeout{15'000};
    static constexpr std::chrono::milliseconds DefaultReceiveTimeout{30'000};

    // connectTimeout bounds name resolution and the connection;
    // receiveTimeout bounds each wait for data (the answer, every block);
    // stallWindow and minimumBytes: see services::StallWatch.
    explicit WinHttpClient(std::chrono::milliseconds connectTimeout = DefaultConnectTimeout,
                           std::chrono::milliseconds receiveTimeout = DefaultReceiveTimeout,
                           std::chrono::milliseconds stallWindow = services::StallWatch::kDefaultWindow,
                           std::int64_t minimumBytes = services::StallWatch::kDefaultMinimumBytes);

    WinHttpClient(const WinHttpClient&) = delete;
    WinHttpClient& operator=(const WinHttpClient&) = delete;

    services::DeclaredBody Get(const std::wstring& url, services::ByteSink& body) override;

private:
    void ReadBody(const WinHttpHandle& request, services::ByteSink& body, std::int64_t expected);
    void CopyBlocks(const WinHttpHandle& request, services::ByteSink& body);
    std::wstring RequestHeaders() const;

    WinHttpHandle session_;
    std::chrono::milliseconds stallWindow_;
    std::int64_t minimumBytes_;
};

}  // namespace kanvel::platform::win32
