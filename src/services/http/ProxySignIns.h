#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "services/http/HttpClient.h"

namespace kanvel::services {

// The user's answers to the proxies' sign-in, each kept for the proxy
// ("host:port", letter case aside) that asked for it and offered to that
// proxy alone: a user name and password typed for the company's proxy never
// reach another one that a later setting or script names. Each proxy asks
// the user once; an answer it refused is forgotten, so that it asks again.
// Used on one thread; a transfer's worker gets a copy (Answers).
class ProxySignIns {
public:
    using Answers = std::map<std::wstring, ProxyCredentials>;
    using Ask = std::function<std::optional<ProxyCredentials>(const std::wstring& proxy)>;

    // The answer kept for the proxy, nothing when there is none.
    static std::optional<ProxyCredentials> AnswerFor(const Answers& answers, const std::wstring& proxy);
    std::optional<ProxyCredentials> AnswerFor(const std::wstring& proxy) const { return AnswerFor(answers_, proxy); }
    // Asks the user for the proxy's answer, unless the proxy asked before
    // (and did not refuse since); true when an answer is kept for it now.
    bool AskFor(const std::wstring& proxy, const Ask& ask);
    // The proxy refused the answer kept for it.
    void Refused(const std::wstring& proxy);
    const Answers& answers() const { return answers_; }

private:
    Answers answers_;
    std::set<std::wstring> asked_;
};

}  // namespace kanvel::services
