#include "platform/host/ScriptedHttpClient.h"

#include <algorithm>

#include "services/CountingSink.h"
#include "services/InstallerError.h"

namespace kanvel::platform::host {

namespace {
services::DeclaredBody Declared(const ScriptedResponse& response) {
    services::DeclaredBody declared;
    declared.chunked = response.chunked;
    if (response.chunked || response.announced == 0) return declared;
    declared.length = response.announced < 0 ? static_cast<std::int64_t>(response.body.size()) : response.announced;
    return declared;
}
}  // namespace

// A request started ahead: answered at the latest when it is waited for.
class ScriptedHttpClient::OpenRequest : public services::StartedGet {
public:
    OpenRequest(std::vector<OpenRequest*>& open, std::wstring url, services::ByteSink& body)
        : open_(open), url(std::move(url)), body(body) {
        open_.push_back(this);
    }
    ~OpenRequest() override { std::erase(open_, this); }

    std::vector<OpenRequest*>& open_;
    std::wstring url;
    services::ByteSink& body;
    bool answered = false;
    services::DeclaredBody declared;
    std::int64_t received = 0;
    std::exception_ptr error;
};


services::DeclaredBody ScriptedHttpClient::Get(const std::wstring& url, services::ByteSink& body) {
    Record(url);
    return Answer(url, body, true);
}

std::unique_ptr<services::StartedGet> ScriptedHttpClient::Start(const std::wstring& url, services::ByteSink& body) {
    if (!server_.answersOutOfOrder) return HttpClient::Start(url, body);
    Record(url);
    return std::make_unique<OpenRequest>(open_, url, body);
}

services::DeclaredBody ScriptedHttpClient::Finish(services::StartedGet& started) {
    auto* request = dynamic_cast<OpenRequest*>(&started);
    if (!request) return HttpClient::Finish(started);
    for (auto other = open_.rbegin(); other != open_.rend(); ++other)
        if (*other != request && !(*other)->answered) AnswerAhead(**other);
    if (!request->answered) return Answer(request->url, request->body, true);
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
        request.declared = Answer(request.url, counted, false);
    } catch (const services::InstallerError&) {
        request.error = std::current_exception();
    }
    request.received = counted.total();
}

void ScriptedHttpClient::Record(const std::wstring& url) {
    server_.requests.push_back({url, BasicAuthentication, Username, Password});
}

services::DeclaredBody ScriptedHttpClient::Answer(const std::wstring& url, services::ByteSink& body, bool report) {
    const auto found = server_.responses.find(url);
    if (found == server_.responses.end()) throw services::InstallerError(L"HTTP/1.1 404 Not Found");
    const ScriptedResponse& response = found->second;
    for (int i = 0; i < response.waits; ++i)
        if (OnWait) OnWait(*this);
    if (!response.error.empty() && !response.errorAfterBody) throw services::InstallerError(response.error);

    const auto mode = services::WorkMode::Reading;
    const services::DeclaredBody declared = Declared(response);
    if (report && OnWorkBegin) OnWorkBegin(*this, mode, declared.length.value_or(0));
    std::size_t done = 0;
    while (done < response.body.size()) {
        const std::size_t block = std::min(response.blockSize, response.body.size() - done);
        body.Write(reinterpret_cast<const std::uint8_t*>(response.body.data() + done), block);
        done += block;
        if (server_.onBlock) server_.onBlock();
        if (report && OnWork) OnWork(*this, mode, static_cast<std::int64_t>(done));
    }
    if (report && OnWorkEnd) OnWorkEnd(*this, mode);
    if (!response.error.empty()) throw services::InstallerError(response.error);
    return declared;
}

}  // namespace kanvel::platform::host
