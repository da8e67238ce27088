#include "services/HttpClient.h"

namespace kanvel::services {

namespace {
// A GET that waits for its Finish to be made at all.
class DeferredGet : public StartedGet {
public:
    DeferredGet(std::wstring url, ByteSink& body) : url(std::move(url)), body(body) {}
    std::wstring url;
    ByteSink& body;
};
}  // namespace

std::unique_ptr<StartedGet> HttpClient::Start(const std::wstring& url, ByteSink& body) {
    return std::make_unique<DeferredGet>(url, body);
}

DeclaredBody HttpClient::Finish(StartedGet& started) {
    auto& deferred = dynamic_cast<DeferredGet&>(started);
    return Get(deferred.url, deferred.body);
}

}  // namespace kanvel::services
