#pragma once

#include <chrono>
#include <mutex>

#include "platform/win32/http/WinHttpHandle.h"
#include "services/http/ProxyChoice.h"

namespace kanvel::platform::win32 {

// The proxy settings as Windows keeps them: the current user's
// (WinHttpGetIEProxyConfigForCurrentUser), a configuration script run by
// WinHTTP (WinHttpGetProxyForUrl) and the machine's WinHTTP setting
// (WinHttpGetDefaultProxyConfiguration). The calls block: the worker of a
// transfer makes them, never the window's thread. Several transfers may ask
// the script at once: they share one WinHTTP session, and with it the
// script WinHTTP fetched and keeps.
class WindowsProxySettings : public services::ProxySettingsSource {
public:
    // A script is fetched and run within the time-out. For the system
    // account, a script found by automatic detection is fetched without the
    // machine's sign-in, whatever its server asks.
    WindowsProxySettings(std::chrono::milliseconds scriptTimeout, bool systemAccount);

    std::optional<services::UserProxySettings> UserSettings() override;
    services::ScriptReply AskScript(const std::wstring& url, bool autoDetect, const std::wstring& scriptUrl,
                                    bool offerSignIn) override;
    std::optional<services::UserProxySettings> MachineSetting() override;

private:
    HINTERNET scriptSession();
    services::ScriptReply runScript(const std::wstring& url, DWORD flags, const std::wstring& scriptUrl,
                                    bool offerSignIn);

    std::chrono::milliseconds scriptTimeout_;
    bool systemAccount_;
    std::once_flag scriptSessionOpened_;
    WinHttpHandle scriptSession_;
};

}  // namespace kanvel::platform::win32
