#include "services/http/ProxySignIns.h"

#include <cwctype>

namespace kanvel::services {

namespace {
// Host names ignore letter case; the port is digits.
std::wstring KeyOf(const std::wstring& proxy) {
    std::wstring key = proxy;
    for (wchar_t& c : key) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return key;
}
}  // namespace

std::optional<ProxyCredentials> ProxySignIns::AnswerFor(const Answers& answers, const std::wstring& proxy) {
    const auto found = answers.find(KeyOf(proxy));
    if (found == answers.end()) return std::nullopt;
    return found->second;
}

bool ProxySignIns::AskFor(const std::wstring& proxy, const Ask& ask) {
    const std::wstring key = KeyOf(proxy);
    if (answers_.count(key) != 0) return true;
    if (!asked_.insert(key).second) return false;
    if (auto answer = ask(proxy)) {
        answers_[key] = std::move(*answer);
        return true;
    }
    return false;
}

void ProxySignIns::Refused(const std::wstring& proxy) {
    const std::wstring key = KeyOf(proxy);
    answers_.erase(key);
    asked_.erase(key);
}

}  // namespace kanvel::services
