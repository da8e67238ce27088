#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "services/http/TransferFailure.h"

namespace kanvel::services {

// Where a response body goes, block by block, as it arrives.
struct DeclaredBody;

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // What the answer declared of its body, before the first Write.
    virtual void Begin(const DeclaredBody&) {}
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
    // A 206 answer to a request for the rest of a body: its Content-Range
    // said where the part starts and how long the whole body is. `length`
    // is then the part's length.
    bool partial = false;
    std::optional<std::int64_t> rangeStart;
    std::optional<std::int64_t> completeLength;
};

// The user name and password a proxy asks for. Kept in memory only.
struct ProxyCredentials {
    std::wstring username;
    std::wstring password;
};

// Where a body broken off earlier is to go on: the bytes already held and
// the validator (ETag or Last-Modified, as the server sent it) of the body
// they came from.
struct ResumePoint {
    std::int64_t offset = 0;
    std::wstring validator;
};

// The user name and password the server asks for.
struct ServerCredentials {
    std::wstring username;
    std::wstring password;
};

// One GET: the URL and what goes with this request alone.
struct GetRequest {
    GetRequest(std::wstring url, std::optional<ResumePoint> resume = std::nullopt,
               std::optional<ServerCredentials> serverCredentials = std::nullopt)
        : url(std::move(url)), resume(std::move(resume)), serverCredentials(std::move(serverCredentials)) {}

    std::wstring url;
    // Set: only the rest of the body is asked for.
    std::optional<ResumePoint> resume;
    // Set: the request carries them as Basic credentials.
    std::optional<ServerCredentials> serverCredentials;
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
// itself. Otherwise it throws services::TransferFailure: a socket error
// for a connection-level failure (name not resolved, refused, reset, timed
// out, unreachable; a body that stalls, services::StallWatch, ends as a
// time-out), the status of any non-2xx answer (a 3xx redirect included), or
// the secure channel's trouble. What the sink throws ends the transfer and
// is passed on as it is.
//
// A request with server credentials carries an "Authorization: Basic ..."
// header built from them from the first request on; without them, no
// credentials are sent.
//
// A request with a resume point asks for the rest of the body only
// ("Range: bytes=<offset>-" with "If-Range: <validator>"): the server
// answers 206 with the rest when the body is still the one the validator
// names, or 200 with the whole body when it is not (or ranges mean nothing
// to it).
//
// The sink hears what the answer declared (Begin) before the body's first
// block and before OnWorkBegin.
//
// A proxy that asks who the user is (407) gets the logged-on user's own
// sign-in where it offers one (Negotiate, NTLM) and its route allows it
// (ProxyRoute::accountSignIn); one that asks for a user name and password
// (Basic) gets what OnProxySignIn answers for that proxy ("host:port"),
// asked on the calling thread once for each proxy and kept for its later
// requests only (ProxySignIns). Proxy credentials go to their proxy only,
// the server's to the server only. Without an answer (no handler, or the user
// declined), or when the proxy refuses it, Get throws
// services::ProxySignInFailed (not given, or refused); refused credentials are forgotten, so the next
// request asks again.
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
    using ProxySignInHandler =
        std::function<std::optional<ProxyCredentials>(HttpClient& sender, const std::wstring& proxy)>;

    virtual ~HttpClient() = default;

    WorkBeginHandler OnWorkBegin;
    WorkHandler OnWork;
    WorkEndHandler OnWorkEnd;
    WaitHandler OnWait;
    ProxySignInHandler OnProxySignIn;

    virtual DeclaredBody Get(const GetRequest& request, ByteSink& body) = 0;

    // Several GETs at once: Start begins one whose body goes to `body`;
    // Finish waits until it has ended and reports it exactly as Get would,
    // its progress events included (what arrived before Finish is reported
    // at once). While the client waits for any of its transfers, it writes
    // every started body as it arrives, on the calling thread. At most
    // kMostRequestsAtOnce requests are out at a time (the HTTP/1.1
    // connections browsers open to one host); those started beyond go out
    // in the order they were started, as earlier ones end. A client that
    // cannot run transfers side by side makes the request when Finish is
    // called: that is what this base does.
    static constexpr int kMostRequestsAtOnce = 6;
    virtual std::unique_ptr<StartedGet> Start(const GetRequest& request, ByteSink& body);
    virtual DeclaredBody Finish(StartedGet& started);
};

}  // namespace kanvel::services
