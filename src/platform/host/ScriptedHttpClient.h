#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "services/HttpClient.h"

namespace kanvel::platform::host {

// What the scripted server answers for one URL.
struct ScriptedResponse {
    std::string body;
    // Content-Length to declare: -1 the body's size, 0 none, else that many
    // bytes.
    std::int64_t announced = -1;
    // Sent in chunks: no length declared, whatever `announced` says.
    bool chunked = false;
    // Thrown instead of an answer (a status line or a socket error text).
    std::wstring error;
    // With an error: thrown only after the body's blocks arrived (a reset).
    bool errorAfterBody = false;
    std::size_t blockSize = 4;
    // Times the client waits for the answer (each a call of OnWait) before it
    // comes.
    int waits = 0;
};

// The server side of the scripted HTTP client, shared with the test.
struct ScriptedServer {
    struct Request {
        std::wstring url;
        bool basicAuthentication = false;
        std::wstring username;
        std::wstring password;
    };
    std::map<std::wstring, ScriptedResponse> responses;
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
// "HTTP/1.1 404 Not Found". Like the WinHTTP client it reports what the
// answer declared and delivers the bytes as they come, judging nothing.
class ScriptedHttpClient : public services::HttpClient {
public:
    explicit ScriptedHttpClient(ScriptedServer& server) : server_(server) {}
    services::DeclaredBody Get(const std::wstring& url, services::ByteSink& body) override;
    std::unique_ptr<services::StartedGet> Start(const std::wstring& url, services::ByteSink& body) override;
    services::DeclaredBody Finish(services::StartedGet& started) override;

private:
    class OpenRequest;
    // Sends the scripted answer to the body; with `report`, as progress
    // events too. Throws the scripted failure.
    services::DeclaredBody Answer(const std::wstring& url, services::ByteSink& body, bool report);
    void AnswerAhead(OpenRequest& request);
    void Record(const std::wstring& url);

    ScriptedServer& server_;
    std::vector<OpenRequest*> open_;
};

}  // namespace kanvel::platform::host
