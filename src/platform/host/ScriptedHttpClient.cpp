#include "platform/host/ScriptedHttpClient.h"

#include <algorithm>

#include "services/InstallerError.h"

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

std::optional<services::ProxyCredentials> ScriptedHttpClient::signInToProxy() {
    if (!server_.proxyUser) return std::nullopt;
    if (!proxyCredentials_ && !proxySignInAsked_) {
        proxySignInAsked_ = true;
        if (OnProxySignIn) proxyCredentials_ = OnProxySignIn(*this);
    }
    return proxyCredentials_;
}

services::DeclaredBody ScriptedHttpClient::Get(const std::wstring& url, services::ByteSink& body) {
    const auto proxy = signInToProxy();
    server_.requests.push_back({url, BasicAuthentication, Username, Password, ResumeFrom, proxy});
    if (server_.proxyUser && !proxy) throw services::ProxySignInFailed(services::kProxySignInNotGiven);
    if (server_.proxyUser && (proxy->username != server_.proxyUser->username ||
                              proxy->password != server_.proxyUser->password)) {
        proxyCredentials_.reset();
        proxySignInAsked_ = false;
        throw services::ProxySignInFailed(services::kProxySignInRefused);
    }
    const auto found = server_.responses.find(url);
    if (found == server_.responses.end()) throw services::InstallerError(L"HTTP/1.1 404 Not Found");
    ScriptedResponse& response = found->second;
    for (int i = 0; i < response.waits; ++i)
        if (OnWait) OnWait(*this);
    const bool failing = !response.error.empty() && response.failures != 0;
    if (failing && response.failures > 0) --response.failures;
    const bool failsAfterBytes = response.errorAfterBody || response.cutAfter >= 0;
    if (failing && !failsAfterBytes) throw services::InstallerError(response.error);

    const auto mode = services::WorkMode::Reading;
    const std::size_t from = StartOf(response, ResumeFrom);
    const services::DeclaredBody declared = Declared(response, from);
    body.Begin(declared);
    if (OnWorkBegin) OnWorkBegin(*this, mode, declared.length.value_or(0));
    std::size_t end = response.body.size();
    if (failing && response.cutAfter >= 0) end = std::min(end, from + static_cast<std::size_t>(response.cutAfter));
    std::size_t done = from;
    while (done < end) {
        const std::size_t block = std::min(response.blockSize, end - done);
        body.Write(reinterpret_cast<const std::uint8_t*>(response.body.data() + done), block);
        done += block;
        server_.bytesSent += static_cast<std::int64_t>(block);
        if (server_.onBlock) server_.onBlock();
        if (OnWork) OnWork(*this, mode, static_cast<std::int64_t>(done - from));
    }
    if (OnWorkEnd) OnWorkEnd(*this, mode);
    if (failing) throw services::InstallerError(response.error);
    return declared;
}

}  // namespace kanvel::platform::host
