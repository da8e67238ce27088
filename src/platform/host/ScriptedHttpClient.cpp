#include "platform/host/ScriptedHttpClient.h"

#include <algorithm>

#include "services/download/CountingSink.h"
#include "services/installer/InstallerError.h"

namespace kanvel::platform::host {

namespace {
services::DeclaredBody Declared(const ScriptedResponse& response, std::size_t from) {
    services::DeclaredBody declared;
    declared.chunked = response.chunked;
    declared.entityTag = response.entityTag;
    if (from > 0) {
        declared.partial = true;
        declared.rangeStart = static_cast<std::int64_t>(from);
        declared.completeLength = static_cast<std::int64_t>(response.body.size());
    }
    if (response.chunked || response.announced == 0) return declared;
    declared.length = response.announced < 0 ? static_cast<std::int64_t>(response.body.size() - from)
                                             : response.announced - static_cast<std::int64_t>(from);
    return declared;
}

// Where the answer's body starts: past the bytes a request for the rest
// already holds, when it names this body's validator.
std::size_t StartOf(const ScriptedResponse& response, const std::optional<services::ResumePoint>& resume) {
    if (!resume || response.entityTag.empty() || resume->validator != response.entityTag) return 0;
    return std::min(static_cast<std::size_t>(resume->offset), response.body.size());
}
}  // namespace

// A request started ahead: answered at the latest when it is waited for.
class ScriptedHttpClient::OpenRequest : public services::StartedGet {
public:
    OpenRequest(std::vector<OpenRequest*>& open, services::GetRequest request, services::ByteSink& body)
        : open_(open), request(std::move(request)), body(body) {
        open_.push_back(this);
    }
    ~OpenRequest() override { std::erase(open_, this); }

    std::vector<OpenRequest*>& open_;
    services::GetRequest request;
    services::ByteSink& body;
    bool answered = false;
    services::DeclaredBody declared;
    std::int64_t received = 0;
    std::exception_ptr error;
};


services::DeclaredBody ScriptedHttpClient::Get(const services::GetRequest& request, services::ByteSink& body) {
    Request(request);
    return Answer(request, body, true);
}

std::unique_ptr<services::StartedGet> ScriptedHttpClient::Start(const services::GetRequest& get,
                                                                services::ByteSink& body) {
    if (!server_.answersOutOfOrder) return HttpClient::Start(get, body);
    auto request = std::make_unique<OpenRequest>(open_, get, body);
    try {
        Request(get);
    } catch (const services::InstallerError&) {
        request->answered = true;
        request->error = std::current_exception();
    }
    return request;
}

services::DeclaredBody ScriptedHttpClient::Finish(services::StartedGet& started) {
    auto* request = dynamic_cast<OpenRequest*>(&started);
    if (!request) return HttpClient::Finish(started);
    for (auto other = open_.rbegin(); other != open_.rend(); ++other)
        if (*other != request && !(*other)->answered) AnswerAhead(**other);
    if (!request->answered) return Answer(request->request, request->body, true);
    // Answered while another was waited for: reported now, all at once.
    const auto mode = services::WorkMode::Reading;
    if (!request->error || request->received > 0) {
        if (OnWorkBegin) OnWorkBegin(*this, mode, request->declared.length.value_or(0));
        if (OnWork && request->received > 0) OnWork(*this, mode, request->received);
        if (OnWorkEnd) OnWorkEnd(*this, mode);
    }
    if (request->error) std::rethrow_exception(request->error);
    return request->declared;
}

void ScriptedHttpClient::AnswerAhead(OpenRequest& request) {
    request.answered = true;
    services::CountingSink counted(request.body);
    try {
        request.declared = Answer(request.request, counted, false);
    } catch (const services::InstallerError&) {
        request.error = std::current_exception();
    }
    request.received = counted.total();
}

std::optional<ScriptedServer::Proxy> ScriptedHttpClient::proxyFor(const std::wstring& url) const {
    for (const auto& [prefix, proxy] : server_.proxiesByUrl)
        if (url.starts_with(prefix)) return proxy;
    if (server_.proxyUser) return ScriptedServer::Proxy{server_.proxyAddress, *server_.proxyUser};
    return std::nullopt;
}

std::optional<services::ProxyCredentials> ScriptedHttpClient::signInTo(const std::wstring& proxy) {
    signIns_.AskFor(proxy, [this](const std::wstring& asking) {
        return OnProxySignIn ? OnProxySignIn(*this, asking) : std::nullopt;
    });
    return signIns_.AnswerFor(proxy);
}

void ScriptedHttpClient::Request(const services::GetRequest& request) {
    const auto proxy = proxyFor(request.url);
    const auto answer = proxy ? signInTo(proxy->address) : std::nullopt;
    const auto& credentials = request.serverCredentials;
    server_.requests.push_back({request.url, credentials.has_value(), credentials ? credentials->username : L"",
                                credentials ? credentials->password : L"", request.resume, answer,
                                proxy ? proxy->address : L""});
    if (!proxy) return;
    using Reason = services::ProxySignInFailed::Reason;
    if (!answer) throw services::ProxySignInFailed(Reason::NotGiven);
    if (answer->username != proxy->user.username || answer->password != proxy->user.password) {
        signIns_.Refused(proxy->address);
        throw services::ProxySignInFailed(Reason::Refused);
    }
}

services::DeclaredBody ScriptedHttpClient::Answer(const services::GetRequest& request, services::ByteSink& body,
                                                  bool report) {
    const auto found = server_.responses.find(request.url);
    if (found == server_.responses.end()) throw services::TransferFailure::HttpStatus(L"HTTP/1.1", 404, L"Not Found");
    ScriptedResponse& response = found->second;
    for (int i = 0; i < response.waits; ++i)
        if (OnWait) OnWait(*this);
    const bool failing = response.error && response.failures != 0;
    if (failing && response.failures > 0) --response.failures;
    const bool failsAfterBytes = response.errorAfterBody || response.cutAfter >= 0;
    if (failing && !failsAfterBytes) throw *response.error;

    const auto mode = services::WorkMode::Reading;
    const std::size_t from = StartOf(response, request.resume);
    const services::DeclaredBody declared = Declared(response, from);
    body.Begin(declared);
    if (report && OnWorkBegin) OnWorkBegin(*this, mode, declared.length.value_or(0));
    std::size_t end = response.body.size();
    if (failing && response.cutAfter >= 0) end = std::min(end, from + static_cast<std::size_t>(response.cutAfter));
    std::size_t done = from;
    while (done < end) {
        const std::size_t block = std::min(response.blockSize, end - done);
        body.Write(reinterpret_cast<const std::uint8_t*>(response.body.data() + done), block);
        done += block;
        server_.bytesSent += static_cast<std::int64_t>(block);
        if (server_.onBlock) server_.onBlock();
        if (report && OnWork) OnWork(*this, mode, static_cast<std::int64_t>(done - from));
    }
    if (report && OnWorkEnd) OnWorkEnd(*this, mode);
    if (failing) throw *response.error;
    return declared;
}

}  // namespace kanvel::platform::host
