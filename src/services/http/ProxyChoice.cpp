#include "services/http/ProxyChoice.h"

#include <cwctype>
#include <vector>

namespace kanvel::services {

namespace {
constexpr std::wstring_view kSchemeEnd = L"://";
constexpr std::wstring_view kLocalNames = L"<local>";
constexpr std::wstring_view kScriptProxyWord = L"PROXY ";

std::wstring Lower(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return lower;
}

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && std::iswspace(static_cast<wint_t>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::iswspace(static_cast<wint_t>(text.back()))) text.remove_suffix(1);
    return text;
}

// The entries of a Windows list: separated by ";", "," or white space.
std::vector<std::wstring_view> Entries(std::wstring_view list) {
    std::vector<std::wstring_view> entries;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        if (i < list.size() && list[i] != L';' && list[i] != L',' && !std::iswspace(static_cast<wint_t>(list[i])))
            continue;
        if (i > start) entries.push_back(list.substr(start, i - start));
        start = i + 1;
    }
    return entries;
}

struct UrlParts {
    std::wstring scheme;
    std::wstring host;
};

UrlParts PartsOf(std::wstring_view url) {
    UrlParts parts;
    const std::size_t schemeEnd = url.find(kSchemeEnd);
    if (schemeEnd == std::wstring_view::npos) return parts;
    parts.scheme = Lower(url.substr(0, schemeEnd));
    std::wstring_view rest = url.substr(schemeEnd + kSchemeEnd.size());
    rest = rest.substr(0, rest.find_first_of(L"/?#"));
    if (const std::size_t at = rest.rfind(L'@'); at != std::wstring_view::npos) rest.remove_prefix(at + 1);
    const std::size_t hostEnd = rest.starts_with(L'[') ? rest.find(L']') + 1 : rest.find(L':');
    parts.host = Lower(rest.substr(0, hostEnd));
    return parts;
}

// "*" stands for any run of characters; everything else matches itself.
bool WildcardMatch(std::wstring_view pattern, std::wstring_view text) {
    std::size_t p = 0, t = 0, star = std::wstring_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::wstring_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

bool Bypassed(const UrlParts& url, std::wstring_view bypass) {
    for (std::wstring_view entry : Entries(bypass)) {
        std::wstring pattern = Lower(entry);
        if (pattern == kLocalNames) {
            if (url.host.find_first_of(L".:") == std::wstring::npos) return true;
            continue;
        }
        if (const std::size_t schemeEnd = pattern.find(kSchemeEnd); schemeEnd != std::wstring::npos) {
            if (pattern.substr(0, schemeEnd) != url.scheme) continue;
            pattern.erase(0, schemeEnd + kSchemeEnd.size());
        }
        if (WildcardMatch(pattern, url.host)) return true;
    }
    return false;
}

// "host:port" from an entry that may carry a scheme of its own ("http://host:port").
std::wstring ProxyAddress(std::wstring_view entry) {
    if (const std::size_t schemeEnd = entry.find(kSchemeEnd); schemeEnd != std::wstring_view::npos)
        entry.remove_prefix(schemeEnd + kSchemeEnd.size());
    while (!entry.empty() && entry.back() == L'/') entry.remove_suffix(1);
    return std::wstring(entry);
}

// A script's answer as Windows gives it ("host:port;host2:port"), or in the
// script's own words ("PROXY host:port; DIRECT"): its first proxy, or direct.
ProxyRoute RouteFromScriptAnswer(std::wstring_view answer) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = answer.find(L';', start);
        std::wstring_view entry = Trimmed(answer.substr(start, end - start));
        if (entry.size() > kScriptProxyWord.size() && Lower(entry.substr(0, kScriptProxyWord.size())) == L"proxy ")
            entry = Trimmed(entry.substr(kScriptProxyWord.size()));
        if (!entry.empty()) return Lower(entry) == L"direct" ? ProxyRoute{} : ProxyRoute{ProxyAddress(entry)};
        if (end == std::wstring_view::npos) return {};
        start = end + 1;
    }
}
}  // namespace

ProxyRoute RouteFromLists(std::wstring_view url, std::wstring_view proxies, std::wstring_view bypass) {
    const UrlParts parts = PartsOf(url);
    if (Bypassed(parts, bypass)) return {};
    for (std::wstring_view entry : Entries(proxies)) {
        const std::size_t equals = entry.find(L'=');
        if (equals == std::wstring_view::npos) return {ProxyAddress(entry)};
        if (Lower(entry.substr(0, equals)) == parts.scheme) return {ProxyAddress(entry.substr(equals + 1))};
    }
    return {};
}

ProxyRoute ProxyChoice::For(const std::wstring& url) {
    if (const auto& user = userSettings()) {
        if (auto scripted = fromScript(url, *user)) return *scripted;
        if (!user->proxy.empty()) return RouteFromLists(url, user->proxy, user->bypass);
    }
    if (const auto& machine = machineSetting(); machine && !machine->proxy.empty())
        return RouteFromLists(url, machine->proxy, machine->bypass);
    return {};
}

// Both settings are read once and never change afterwards, so the reference
// stays valid and unchanged once the lock is let go.
const std::optional<UserProxySettings>& ProxyChoice::userSettings() {
    const std::lock_guard lock(mutex_);
    if (!user_) user_ = source_.UserSettings();
    return *user_;
}

const std::optional<UserProxySettings>& ProxyChoice::machineSetting() {
    const std::lock_guard lock(mutex_);
    if (!machine_) machine_ = source_.MachineSetting();
    return *machine_;
}

ProxyChoice::ScriptRoute ProxyChoice::fromScript(const std::wstring& url, const UserProxySettings& user) {
    if (!user.autoDetect && user.scriptUrl.empty()) return std::nullopt;
    const UrlParts parts = PartsOf(url);
    const std::wstring key = parts.scheme + std::wstring(kSchemeEnd) + parts.host;
    std::promise<ScriptRoute> answer;
    std::shared_future<ScriptRoute> asked;
    {
        const std::lock_guard lock(mutex_);
        if (scriptFailed_) return std::nullopt;
        auto [entry, first] = scriptRoutes_.try_emplace(key);
        if (first) entry->second = answer.get_future().share();
        else asked = entry->second;
    }
    // Another transfer to this host asks, or has asked, the script: its answer serves.
    if (asked.valid()) return asked.get();
    ScriptRoute route;
    try {
        route = askScript(url, user);
    } catch (...) {
        answer.set_exception(std::current_exception());
        throw;
    }
    if (!route) {
        const std::lock_guard lock(mutex_);
        scriptFailed_ = true;
    }
    answer.set_value(route);
    return route;
}

// Without the account's sign-in first: WinHTTP keeps the script it fetched
// only for questions asked without it. Once the script's server refused
// for want of a sign-in, later questions offer it straight away.
ProxyChoice::ScriptRoute ProxyChoice::askScript(const std::wstring& url, const UserProxySettings& user) {
    const bool offered = scriptNeedsSignIn_;
    ScriptReply reply = source_.AskScript(url, user.autoDetect, user.scriptUrl, offered);
    if (!offered && reply == ScriptReply{ScriptFailure::SignInRefused}) {
        scriptNeedsSignIn_ = true;
        reply = source_.AskScript(url, user.autoDetect, user.scriptUrl, true);
    }
    const auto* answer = std::get_if<ScriptAnswer>(&reply);
    if (!answer) return std::nullopt;
    ProxyRoute route = RouteFromScriptAnswer(answer->proxies);
    route.accountSignIn = !(systemAccount_ && answer->foundByDetection);
    return route;
}

}  // namespace kanvel::services
