#include "platform/host/ScriptedHttpClient.h"

#include <algorithm>

#include "services/InstallerError.h"

namespace kanvel::platform::host {

namespace {
services::DeclaredBody Declared(const ScriptedResponse& response) {
    services::DeclaredBody declared;
    declared.chunked = response.chunked;
    if (response.chunked || response.announced == 0) return declared;
    declared.length =
        response.announced < 0 ? static_cast<std::int64_t>(response.body.size()) : response.announced;
    return declared;
}
}  // namespace

services::DeclaredBody ScriptedHttpClient::Get(const std::wstring& url, services::ByteSink& body) {
    server_.requests.push_back({url, BasicAuthentication, Username, Password});
    const auto found = server_.responses.find(url);
    if (found == server_.responses.end()) throw services::InstallerError(L"HTTP/1.1 404 Not Found");
    const ScriptedResponse& response = found->second;
    for (int i = 0; i < response.waits; ++i)
        if (OnWait) OnWait(*this);
    if (!response.error.empty() && !response.errorAfterBody) throw services::InstallerError(response.error);

    const auto mode = services::WorkMode::Reading;
    const services::DeclaredBody declared = Declared(response);
    if (OnWorkBegin) OnWorkBegin(*this, mode, declared.length.value_or(0));
    std::size_t done = 0;
    while (done < response.body.size()) {
        const std::size_t block = std::min(response.blockSize, response.body.size() - done);
        body.Write(reinterpret_cast<const std::uint8_t*>(response.body.data() + done), block);
        done += block;
        if (server_.onBlock) server_.onBlock();
        if (OnWork) OnWork(*this, mode, static_cast<std::int64_t>(done));
    }
    if (OnWorkEnd) OnWorkEnd(*this, mode);
    if (!response.error.empty()) throw services::InstallerError(response.error);
    return declared;
}

}  // namespace kanvel::platform::host
