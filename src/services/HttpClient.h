#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kanvel::services {

// Where a response body goes, block by block, as it arrives.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Write(const std::uint8_t* data, std::size_t size) = 0;
};

enum class WorkMode { Reading, Writing };

// What a response said of its body before sending it. Whether the body that
// arrived is the whole of it is for the caller to judge from this.
struct DeclaredBody {
    // The Content-Length, when the response gave one; never for a body sent
    // in chunks, whatever Content-Length says beside it.
    std::optional<std::int64_t> length;
    // Transfer-Encoding named: the body came in chunks.
    bool chunked = false;
    // The validators the server gave (ETag, Last-Modified), as sent; empty
    // when it gave none. A later request can use them to resume the body.
    std::wstring entityTag;
    std::wstring lastModified;
};

// A GET started before its turn (HttpClient::Start). Destroyed before it was
// finished, it is given up: the transfer stops and nothing more is written to
// its body.
class StartedGet {
public:
    virtual ~StartedGet() = default;
};

// The installer's HTTP client. One GET per call, no redirect followed.
//
// Get returns normally only for a 2xx answer, with what the answer declared
// of its body; the sink has then received every byte that arrived, which may
// be fewer (or more) than declared: the client never judges completeness
// itself. Otherwise it throws
// services::InstallerError whose text is either
//   - the response's status line, e.g. L"HTTP/1.1 404 Not Found" (any non-2xx
//     answer, a 3xx redirect included), or
//   - L"Socket Error # <n>\r\n<description>" for a connection-level failure
//     (name not resolved, refused, reset, timed out, unreachable), with the
//     system's socket error number and its description. A body that
//     stalls (services::StallWatch) ends as a time-out.
//
// With BasicAuthentication on, every request carries an
// "Authorization: Basic ..." header built from Username and Password from the
// first request on; with it off, no credentials are sent.
//
// Progress: for a response body, OnWorkBegin once with the announced
// Content-Length (0 when none is announced, e.g. chunked or close-delimited),
// OnWork after each block with the running total of body bytes, OnWorkEnd once.
//
// Waiting: the calling thread never blocks on the network. While a transfer
// waits, the client calls OnWait whenever something arrives for the calling
// thread (a repaint, a click, a screen reader's question), so that the window
// stays alive. An exception thrown by OnWait or by a progress event ends the
// transfer: the client stops it, writes nothing more to the body and passes
// the exception on.
class HttpClient {
public:
    using WorkBeginHandler = std::function<void(HttpClient& sender, WorkMode mode, std::int64_t expected)>;
    using WorkHandler = std::function<void(HttpClient& sender, WorkMode mode, std::int64_t done)>;
    using WorkEndHandler = std::function<void(HttpClient& sender, WorkMode mode)>;
    using WaitHandler = std::function<void(HttpClient& sender)>;

    virtual ~HttpClient() = default;

    bool BasicAuthentication = false;
    std::wstring Username;
    std::wstring Password;

    WorkBeginHandler OnWorkBegin;
    WorkHandler OnWork;
    WorkEndHandler OnWorkEnd;
    WaitHandler OnWait;

    virtual DeclaredBody Get(const std::wstring& url, ByteSink& body) = 0;

    // Several GETs at once: Start begins one whose body goes to `body`;
    // Finish waits until it has ended and reports it exactly as Get would,
    // its progress events included (what arrived before Finish is reported
    // at once). While the client waits for any of its transfers, it writes
    // every started body as it arrives, on the calling thread. At most
    // kMostRequestsAtOnce requests are out at a time (the HTTP/1.1
    // connections browsers open to one host); those started beyond go out
    // in the order they were started, as earlier ones end. A client that
    // cannot run transfers side by side makes the request when Finish is
    // called: that is what this base does. The request carries the
    // credentials in force when it is made.
    static constexpr int kMostRequestsAtOnce = 6;
    virtual std::unique_ptr<StartedGet> Start(const std::wstring& url, ByteSink& body);
    virtual DeclaredBody Finish(StartedGet& started);
};

}  // namespace kanvel::services
