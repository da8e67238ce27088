#include "platform/win32/http/WindowsProxySettings.h"

namespace kanvel::platform::win32 {
namespace {

constexpr const wchar_t* ScriptUserAgent = L"Kanvel-Installer/7.0";

// Takes a string WinHTTP allocated for the caller, and frees it.
std::wstring Adopt(LPWSTR text) {
    if (text == nullptr) return {};
    std::wstring copy(text);
    GlobalFree(text);
    return copy;
}

}  // namespace

WindowsProxySettings::WindowsProxySettings(std::chrono::milliseconds scriptTimeout, bool systemAccount)
    : scriptTimeout_(scriptTimeout), systemAccount_(systemAccount) {}

std::optional<services::UserProxySettings> WindowsProxySettings::UserSettings() {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    if (!WinHttpGetIEProxyConfigForCurrentUser(&config)) return std::nullopt;
    services::UserProxySettings settings;
    settings.autoDetect = config.fAutoDetect != FALSE;
    settings.scriptUrl = Adopt(config.lpszAutoConfigUrl);
    settings.proxy = Adopt(config.lpszProxy);
    settings.bypass = Adopt(config.lpszProxyBypass);
    return settings;
}

services::ScriptReply WindowsProxySettings::AskScript(const std::wstring& url, bool autoDetect,
                                                       const std::wstring& scriptUrl, bool offerSignIn) {
    // Detection first, as Windows does, then the script the user named. A
    // refused sign-in is told when neither answered, so it may be offered.
    services::ScriptReply detected = services::ScriptFailure::NotRun;
    if (autoDetect) {
        detected = runScript(url, WINHTTP_AUTOPROXY_AUTO_DETECT, {}, offerSignIn);
        if (std::holds_alternative<services::ScriptAnswer>(detected)) return detected;
    }
    if (!scriptUrl.empty()) {
        services::ScriptReply named = runScript(url, WINHTTP_AUTOPROXY_CONFIG_URL, scriptUrl, offerSignIn);
        if (named != services::ScriptReply{services::ScriptFailure::NotRun}) return named;
    }
    return detected;
}

HINTERNET WindowsProxySettings::scriptSession() {
    std::call_once(scriptSessionOpened_, [this] {
        // The script itself is fetched directly, as Windows fetches it.
        scriptSession_.reset(WinHttpOpen(ScriptUserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                         WINHTTP_NO_PROXY_BYPASS, 0));
        if (!scriptSession_) return;
        const auto ms = static_cast<int>(scriptTimeout_.count());
        WinHttpSetTimeouts(scriptSession_.get(), ms, ms, ms, ms);
    });
    return scriptSession_.get();
}

services::ScriptReply WindowsProxySettings::runScript(const std::wstring& url, DWORD flags,
                                                      const std::wstring& scriptUrl, bool offerSignIn) {
    HINTERNET session = scriptSession();
    if (session == nullptr) return services::ScriptFailure::NotRun;
    WINHTTP_AUTOPROXY_OPTIONS options{};
    options.dwFlags = flags;
    options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
    options.lpszAutoConfigUrl = scriptUrl.empty() ? nullptr : scriptUrl.c_str();
    const bool detecting = flags == WINHTTP_AUTOPROXY_AUTO_DETECT;
    options.fAutoLogonIfChallenged = (offerSignIn && !(systemAccount_ && detecting)) ? TRUE : FALSE;
    WINHTTP_PROXY_INFO info{};
    if (!WinHttpGetProxyForUrl(session, url.c_str(), &options, &info))
        return GetLastError() == ERROR_WINHTTP_LOGIN_FAILURE ? services::ScriptFailure::SignInRefused
                                                             : services::ScriptFailure::NotRun;
    std::wstring proxy = Adopt(info.lpszProxy);
    Adopt(info.lpszProxyBypass);
    if (info.dwAccessType != WINHTTP_ACCESS_TYPE_NAMED_PROXY) proxy.clear();
    return services::ScriptAnswer{proxy, detecting};
}

std::optional<services::UserProxySettings> WindowsProxySettings::MachineSetting() {
    WINHTTP_PROXY_INFO info{};
    if (!WinHttpGetDefaultProxyConfiguration(&info)) return std::nullopt;
    services::UserProxySettings setting;
    setting.proxy = Adopt(info.lpszProxy);
    setting.bypass = Adopt(info.lpszProxyBypass);
    if (info.dwAccessType != WINHTTP_ACCESS_TYPE_NAMED_PROXY || setting.proxy.empty()) return std::nullopt;
    return setting;
}

}  // namespace kanvel::platform::win32
