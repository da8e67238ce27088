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

std::optional<services::ScriptAnswer> WindowsProxySettings::AskScript(const std::wstring& url, bool autoDetect,
                                                                       const std::wstring& scriptUrl) {
    // Detection first, as Windows does, then the script the user named.
    if (autoDetect)
        if (auto answer = runScript(url, WINHTTP_AUTOPROXY_AUTO_DETECT, {}))
            return services::ScriptAnswer{*answer, true};
    if (!scriptUrl.empty())
        if (auto answer = runScript(url, WINHTTP_AUTOPROXY_CONFIG_URL, scriptUrl))
            return services::ScriptAnswer{*answer, false};
    return std::nullopt;
}

std::optional<std::wstring> WindowsProxySettings::runScript(const std::wstring& url, DWORD flags,
                                                            const std::wstring& scriptUrl) {
    if (!scriptSession_) {
        // The script itself is fetched directly, as Windows fetches it.
        scriptSession_.reset(WinHttpOpen(ScriptUserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                         WINHTTP_NO_PROXY_BYPASS, 0));
        if (!scriptSession_) return std::nullopt;
        const auto ms = static_cast<int>(scriptTimeout_.count());
        WinHttpSetTimeouts(scriptSession_.get(), ms, ms, ms, ms);
    }
    WINHTTP_AUTOPROXY_OPTIONS options{};
    options.dwFlags = flags;
    options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
    options.lpszAutoConfigUrl = scriptUrl.empty() ? nullptr : scriptUrl.c_str();
    options.fAutoLogonIfChallenged = (systemAccount_ && flags == WINHTTP_AUTOPROXY_AUTO_DETECT) ? FALSE : TRUE;
    WINHTTP_PROXY_INFO info{};
    if (!WinHttpGetProxyForUrl(scriptSession_.get(), url.c_str(), &options, &info)) return std::nullopt;
    std::wstring proxy = Adopt(info.lpszProxy);
    Adopt(info.lpszProxyBypass);
    return info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY ? proxy : std::wstring();
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
