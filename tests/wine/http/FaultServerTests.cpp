#include "FaultServerTests.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

#include "Download.h"
#include "platform/win32/http/WinHttpClient.h"

namespace kanvel::tests {
namespace {

using platform::win32::WinHttpClient;
using namespace std::chrono_literals;

// What the fault server sends: BodySize bytes where byte i is i % 251.
constexpr std::int64_t BodySize = 200'000;
constexpr std::int64_t ShortAnnouncedSize = BodySize + 1'000;
constexpr std::int64_t HugeAnnouncedSize = 3'221'225'472;
constexpr std::int64_t PartSize = 70'000;
constexpr std::int64_t ChunkedCutSize = 40'000;  // a whole chunk of 30 000 and 10 000 of the next

constexpr auto ConnectTimeout = 5s;
constexpr auto ReceiveTimeout = 2s;  // /stall and /silent keep quiet longer than this
constexpr auto StallWindow = 4s;    // /trickle sends a byte a second: never a wait this long

constexpr const wchar_t* ResetText = L"Socket Error # 10054\r\nConnection reset by peer.";
constexpr const wchar_t* TimedOutText = L"Socket Error # 10060\r\nConnection timed out.";
constexpr const wchar_t* RefusedText = L"Socket Error # 10061\r\nConnection refused.";

std::vector<std::uint8_t> KnownBody() {
    std::vector<std::uint8_t> body(BodySize);
    for (std::size_t i = 0; i < body.size(); ++i) {
        body[i] = static_cast<std::uint8_t>(i % 251);
    }
    return body;
}

bool IsPrefixOfKnownBody(const std::vector<std::uint8_t>& bytes) {
    static const std::vector<std::uint8_t> known = KnownBody();
    return bytes.size() <= known.size() && std::equal(bytes.begin(), bytes.end(), known.begin());
}

// The fault server's record of requests: "METHOD<TAB>PATH<TAB>AUTHORIZATION" lines.
class ServerRecord {
public:
    explicit ServerRecord(std::wstring serverUrl) : serverUrl_(std::move(serverUrl)) {}

    void Clear() { Fetch(reader_, serverUrl_ + L"/_reset"); }

    std::vector<std::wstring> Lines() {
        const Download record = Fetch(reader_, serverUrl_ + L"/_requests");
        std::vector<std::wstring> lines;
        std::wstring line;
        for (std::uint8_t byte : record.body) {
            if (byte == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += static_cast<wchar_t>(byte);
            }
        }
        return lines;
    }

private:
    std::wstring serverUrl_;
    WinHttpClient reader_;
};

void CheckOnlyRequest(CheckList& checks, ServerRecord& record, const std::wstring& expectedLine,
                      const std::string& what) {
    const auto lines = record.Lines();
    checks.CheckEqual(static_cast<std::int64_t>(lines.size()), 1, what + ": the server saw one request");
    if (!lines.empty()) {
        checks.CheckEqual(lines.front(), expectedLine, what + ": the request the server saw");
    }
}

struct StatusCase {
    const wchar_t* path;
    const wchar_t* statusLine;
};

// Every non-2xx answer, redirects included, fails with its status line, sends
// no progress and is never followed by a second request.
void RunStatusLineTests(CheckList& checks, const std::wstring& server) {
    constexpr StatusCase cases[] = {
        {L"/missing", L"HTTP/1.1 404 Not Found"},
        {L"/protected", L"HTTP/1.1 401 Unauthorized"},
        {L"/error", L"HTTP/1.1 500 Internal Server Error"},
        {L"/custom-status", L"HTTP/1.1 503 Mirror Busy"},
        {L"/http10-missing", L"HTTP/1.0 404 Not Found"},
        {L"/redirect/301", L"HTTP/1.1 301 Moved Permanently"},
        {L"/redirect/302", L"HTTP/1.1 302 Found"},
    };
    WinHttpClient client(ConnectTimeout, ReceiveTimeout);
    ServerRecord record(server);
    for (const auto& statusCase : cases) {
        const std::string what = "GET " + Printable(statusCase.path);
        record.Clear();
        const Download download = Fetch(client, server + statusCase.path);
        checks.Check(download.failed, what + ": fails");
        checks.CheckEqual(download.error, statusCase.statusLine, what + ": error text");
        checks.Check(download.events.empty() && download.body.empty(), what + ": no progress and no body");
        CheckOnlyRequest(checks, record, std::wstring(L"GET\t") + statusCase.path + L"\t-", what);
    }
}

struct FramingCase {
    const wchar_t* path;
    std::int64_t announced;         // what OnWorkBegin says: 0 for no length
    std::int64_t declaredLength;    // -1: none declared
    bool chunked;
    std::int64_t size;
};

// The client delivers what arrives and reports what the answer declared; it
// judges nothing. Bodies delimited by Content-Length, by chunks (with and
// without the final zero-size chunk: Wine 8 ends the latter quietly) and by
// the connection's end all arrive, each reported as what it was.
void RunBodyFramingTests(CheckList& checks, const std::wstring& server) {
    constexpr FramingCase cases[] = {
        {L"/ok", BodySize, BodySize, false, BodySize},
        {L"/empty", 0, 0, false, 0},
        {L"/chunked", 0, -1, true, BodySize},
        {L"/chunked-and-length", 0, -1, true, BodySize},
        {L"/chunked-no-end", 0, -1, true, BodySize},
        {L"/close-delimited", 0, -1, false, BodySize},
    };
    WinHttpClient client(ConnectTimeout, ReceiveTimeout);
    for (const auto& framing : cases) {
        const std::string what = "GET " + Printable(framing.path);
        const Download download = Fetch(client, server + framing.path);
        checks.Check(!download.failed, what + ": succeeds" + (download.failed ? " (" + Printable(download.error) + ")" : ""));
        checks.Check(IsPrefixOfKnownBody(download.body), what + ": the body is the one sent");
        checks.CheckEqual(download.declared.length.value_or(-1), framing.declaredLength, what + ": declared length");
        checks.Check(download.declared.chunked == framing.chunked, what + ": declared chunks or not");
        CheckCompleteProgress(checks, download, framing.announced, framing.size, what);
    }
}

struct ShortCase {
    const wchar_t* path;
    std::int64_t declaredLength;  // -1: none declared (chunked)
    std::int64_t size;            // what arrives
};

// Bodies that end early with a clean close: Wine 8's WinHTTP ends them
// without an error (a cut-off chunk included), so the client reports what
// was declared and what came, and its caller refuses them.
void RunShortBodyTests(CheckList& checks, const std::wstring& server) {
    constexpr ShortCase cases[] = {
        {L"/short", ShortAnnouncedSize, BodySize},
        {L"/huge", HugeAnnouncedSize, PartSize},
        {L"/chunked-cut", -1, ChunkedCutSize},
    };
    WinHttpClient client(ConnectTimeout, ReceiveTimeout);
    for (const auto& cut : cases) {
        const std::string what = "GET " + Printable(cut.path);
        const Download download = Fetch(client, server + cut.path);
        checks.Check(!download.failed, what + ": ends without an error under Wine" +
                                           (download.failed ? " (" + Printable(download.error) + ")" : ""));
        checks.CheckEqual(download.declared.length.value_or(-1), cut.declaredLength, what + ": declared length");
        checks.CheckEqual(static_cast<std::int64_t>(download.body.size()), cut.size, what + ": what arrived");
        checks.Check(IsPrefixOfKnownBody(download.body), what + ": what arrived is the start of the body");
    }
}

struct BrokenCase {
    const wchar_t* path;
    std::int64_t announced;
    const wchar_t* error;
};

// A body that breaks off with an error (reset, stall, a trickle too slow for
// the stall rule) is never a success, and its progress still ends with
// OnWorkEnd.
void RunBrokenBodyTests(CheckList& checks, const std::wstring& server) {
    constexpr BrokenCase cases[] = {
        {L"/reset", BodySize, ResetText},
        {L"/stall?seconds=6", BodySize, TimedOutText},
        {L"/trickle?seconds=1", BodySize, TimedOutText},
    };
    // Every wait of the trickle is shorter than the receive time-out; the
    // stall rule ends it: less than 1 KiB in StallWindow.
    WinHttpClient client(ConnectTimeout, ReceiveTimeout, StallWindow, 1024);
    for (const auto& broken : cases) {
        const std::string what = "GET " + Printable(broken.path);
        const auto started = std::chrono::steady_clock::now();
        const Download download = Fetch(client, server + broken.path);
        const auto took = std::chrono::steady_clock::now() - started;
        checks.Check(download.failed, what + ": fails");
        checks.CheckEqual(download.error, broken.error, what + ": error text");
        checks.Check(IsPrefixOfKnownBody(download.body), what + ": what arrived is the start of the body");
        checks.Check(took < 20s, what + ": ends within 20 s");
        CheckBrokenProgress(checks, download, broken.announced, what);
    }
}

struct CredentialCase {
    bool basicAuthentication;
    const wchar_t* username;
    const wchar_t* password;
    const wchar_t* path;
    const wchar_t* expectedHeader;
};

// The Authorization header goes out on the first request exactly when
// the request carries credentials, user and password as UTF-8.
void RunCredentialTests(CheckList& checks, const std::wstring& server) {
    constexpr CredentialCase cases[] = {
        {true, L"kanvel8", L"tormik584", L"/ok", L"Basic a2FudmVsODp0b3JtaWs1ODQ="},
        {true, L"użytkownik", L"zażółć gęślą", L"/ok", L"Basic dcW8eXRrb3duaWs6emHFvMOzxYLEhyBnxJnFm2zEhQ=="},
        {false, L"kanvel8", L"tormik584", L"/ok", L"-"},
        {true, L"kanvel8", L"tormik584", L"/protected", L"Basic a2FudmVsODp0b3JtaWs1ODQ="},
        {false, L"kanvel8", L"tormik584", L"/protected", L"-"},
    };
    ServerRecord record(server);
    for (const auto& credentials : cases) {
        const std::string what = std::string("credentials ") + (credentials.basicAuthentication ? "on" : "off") +
                                 " for " + Printable(credentials.username) + " on " + Printable(credentials.path);
        WinHttpClient client(ConnectTimeout, ReceiveTimeout);
        record.Clear();
        std::optional<services::ServerCredentials> sent;
        if (credentials.basicAuthentication) sent = services::ServerCredentials{credentials.username, credentials.password};
        Fetch(client, server + credentials.path, sent);
        CheckOnlyRequest(checks, record,
                         std::wstring(L"GET\t") + credentials.path + L"\t" + credentials.expectedHeader, what);
    }
}

struct UnansweredCase {
    std::wstring url;
    const wchar_t* error;
    std::string what;
};

// No answer at all, from a port nobody listens on or from a server that
// accepts and then keeps silent, fails with the socket error and no progress.
void RunUnansweredTests(CheckList& checks, const std::wstring& server, const std::wstring& closedPortUrl) {
    const UnansweredCase cases[] = {
        {closedPortUrl + L"/ok", RefusedText, "closed port"},
        {server + L"/silent?seconds=6", TimedOutText, "GET /silent?seconds=6"},
    };
    WinHttpClient client(ConnectTimeout, ReceiveTimeout);
    for (const auto& unanswered : cases) {
        const Download download = Fetch(client, unanswered.url);
        checks.Check(download.failed, unanswered.what + ": fails");
        checks.CheckEqual(download.error, unanswered.error, unanswered.what + ": error text");
        checks.Check(download.events.empty(), unanswered.what + ": no progress");
    }
}

}  // namespace

void RunFaultServerTests(CheckList& checks, const std::wstring& faultServerUrl, const std::wstring& closedPortUrl) {
    RunStatusLineTests(checks, faultServerUrl);
    RunBodyFramingTests(checks, faultServerUrl);
    RunShortBodyTests(checks, faultServerUrl);
    RunBrokenBodyTests(checks, faultServerUrl);
    RunCredentialTests(checks, faultServerUrl);
    RunUnansweredTests(checks, faultServerUrl, closedPortUrl);
}

}  // namespace kanvel::tests
