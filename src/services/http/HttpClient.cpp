#include "services/http/HttpClient.h"

namespace kanvel::services {

namespace {
// A GET that waits for its Finish to be made at all.
class DeferredGet : public StartedGet {
public:
    DeferredGet(GetRequest request, ByteSink& body) : request(std::move(request)), body(body) {}
    GetRequest request;
    ByteSink& body;
};
}  // namespace

std::unique_ptr<StartedGet> HttpClient::Start(const GetRequest& request, ByteSink& body) {
    return std::make_unique<DeferredGet>(request, body);
}

DeclaredBody HttpClient::Finish(StartedGet& started) {
    auto& deferred = dynamic_cast<DeferredGet&>(started);
    return Get(deferred.request, deferred.body);
}

}  // namespace kanvel::services
