#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "services/http/HttpClient.h"
#include "services/http/ProxySignIns.h"

namespace kanvel::platform::host {

// What the scripted server answers for one URL.
struct ScriptedResponse {
    std::string body;
    // Content-Length to declare: -1 the body's size, 0 none, else that many
    // bytes.
    std::int64_t announced = -1;
    // Sent in chunks: no length declared, whatever `announced` says.
    bool chunked = false;
    // Thrown instead of an answer.
    std::optional<services::TransferFailure> error;
    // With an error: thrown only after the body's blocks arrived (a reset).
    bool errorAfterBody = false;
    std::size_t blockSize = 4;
    // Times the client waits for the answer (each a call of OnWait) before it
    // comes.
    int waits = 0;
    // With an error: it is thrown for this many requests only (-1: for
    // every one), and after this many bytes of the body (-1: none, or the
    // whole body with errorAfterBody).
    int failures = -1;
    std::int64_t cutAfter = -1;
    // Validator of the body; a request for the rest naming it in If-Range
    // gets a 206 answer with the rest.
    std::wstring entityTag;
};

// The server side of the scripted HTTP client, shared with the test.
struct ScriptedServer {
    struct Request {
        std::wstring url;
        bool basicAuthentication = false;
        std::wstring username;
        std::wstring password;
        std::optional<services::ResumePoint> resumeFrom;
        // What went to the proxy, when one asked.
        std::optional<services::ProxyCredentials> proxyCredentials;
        // The proxy ("host:port") it went through; empty: direct.
        std::wstring proxy;
    };
    // A proxy that lets only its user through (Basic).
    struct Proxy {
        std::wstring address;
        services::ProxyCredentials user;
    };
    // A proxy at proxyAddress that lets only this user through, when set:
    // every request goes through it, except those whose URL starts with a
    // key of proxiesByUrl, which go through that proxy instead.
    std::optional<services::ProxyCredentials> proxyUser;
    std::wstring proxyAddress = L"proxy.firma.pl:3128";
    std::map<std::wstring, Proxy> proxiesByUrl;
    std::map<std::wstring, ScriptedResponse> responses;
    // Body bytes delivered in all.
    std::int64_t bytesSent = 0;
    std::vector<Request> requests;
    // Runs after each block is delivered, before the progress event.
    std::function<void()> onBlock;
    // Requests started ahead (HttpClient::Start) go out at once and are
    // answered out of order: when one is waited for, every other one still
    // open is answered first, the newest first. Without it a started
    // request goes out only when it is waited for, one at a time.
    bool answersOutOfOrder = false;
};

// An HTTP client that answers from a script; a URL it does not know gets
// "HTTP/1.1 404 Not Found". It fails with the same services::TransferFailure
// kinds as the WinHTTP client. Like the WinHTTP client it reports what the
// answer declared and delivers the bytes as they come, judging nothing.
class ScriptedHttpClient : public services::HttpClient {
public:
    explicit ScriptedHttpClient(ScriptedServer& server) : server_(server) {}
    services::DeclaredBody Get(const services::GetRequest& request, services::ByteSink& body) override;
    std::unique_ptr<services::StartedGet> Start(const services::GetRequest& request,
                                                services::ByteSink& body) override;
    services::DeclaredBody Finish(services::StartedGet& started) override;

private:
    class OpenRequest;
    // Records the request and signs in to the proxy as the WinHTTP client
    // does; throws when the proxy does not let it through.
    void Request(const services::GetRequest& request);
    // Sends the scripted answer to the body; with `report`, as progress
    // events too. Throws the scripted failure.
    services::DeclaredBody Answer(const services::GetRequest& request, services::ByteSink& body, bool report);
    void AnswerAhead(OpenRequest& request);
    // The proxy the URL goes through, nothing when it goes direct.
    std::optional<ScriptedServer::Proxy> proxyFor(const std::wstring& url) const;
    // Signs in to the proxy the way the WinHTTP client does: asks once for
    // each proxy, keeps what the user gave for that proxy, forgets it when
    // the proxy refuses it.
    std::optional<services::ProxyCredentials> signInTo(const std::wstring& proxy);

    ScriptedServer& server_;
    std::vector<OpenRequest*> open_;
    services::ProxySignIns signIns_;
};

}  // namespace kanvel::platform::host
