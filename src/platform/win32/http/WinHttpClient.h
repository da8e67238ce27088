#pragma once

#include <chrono>
#include <string>

#include "platform/win32/http/WinHttpHandle.h"
#include "services/HttpClient.h"

namespace kanvel::platform::win32 {

// HttpClient over WinHTTP: one synchronous GET per call, redirects never
// followed, failures thrown as services::InstallerError in the two forms
// HttpClient describes. A body that ends before its announced Content-Length
// counts as a reset connection. OnWorkEnd follows OnWorkBegin also when the
// body breaks off, before the error is thrown.
class WinHttpClient : public services::HttpClient {
public:
    // Long enough for a slow line, short enough that a dead or stalled server
    // does not keep the installer waiting for ever.
    static constexpr std::chrono::milliseconds DefaultConnectTimeout{15'000};
    static constexpr std::chrono::milliseconds DefaultReceiveTimeout{30'000};

    // connectTimeout bounds name resolution and the connection;
    // receiveTimeout bounds each wait for data (the answer, every block).
    explicit WinHttpClient(std::chrono::milliseconds connectTimeout = DefaultConnectTimeout,
                           std::chrono::milliseconds receiveTimeout = DefaultReceiveTimeout);

    WinHttpClient(const WinHttpClient&) = delete;
    WinHttpClient& operator=(const WinHttpClient&) = delete;

    void Get(const std::wstring& url, services::ByteSink& body) override;

private:
    void ReadBody(const WinHttpHandle& request, services::ByteSink& body);
    void CopyBlocks(const WinHttpHandle& request, services::ByteSink& body, std::int64_t expected);
    std::wstring RequestHeaders() const;

    WinHttpHandle session_;
};

}  // namespace kanvel::platform::win32
