#pragma once

#include <atomic>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace kanvel::services {

// What the current user's Windows settings say of a proxy (the Internet
// options' connection settings): automatic detection, a configuration
// script, and a proxy server with the addresses that bypass it. Lists are
// as Windows writes them: entries separated by ";" or white space, a proxy
// entry "host:port" or "scheme=host:port".
struct UserProxySettings {
    bool autoDetect = false;
    std::wstring scriptUrl;
    std::wstring proxy;
    std::wstring bypass;
};

// The way one request goes: straight to the server, or through the proxy
// "host:port". accountSignIn: the account's own sign-in (Negotiate, NTLM,
// with the credentials Windows holds for it) may go to that proxy.
struct ProxyRoute {
    std::wstring proxy;  // empty: direct
    bool accountSignIn = true;
    bool direct() const { return proxy.empty(); }
    bool operator==(const ProxyRoute&) const = default;
};

// A configuration script's answer: its proxy list ("" for DIRECT), and
// whether the script was found by automatic detection (WPAD: whoever
// answers the network's DHCP or DNS question for it) rather than named in
// the settings by the user or an administrator.
struct ScriptAnswer {
    std::wstring proxies;
    bool foundByDetection = false;
    bool operator==(const ScriptAnswer&) const = default;
};

// Why a configuration script gave no answer: none could be found or run,
// or the server holding it asked for a sign-in that was not offered.
enum class ScriptFailure { NotRun, SignInRefused };

// A script's answer, or why there is none.
using ScriptReply = std::variant<ScriptAnswer, ScriptFailure>;

// Where the settings come from: Windows' calls on Windows, a script in the tests.
class ProxySettingsSource {
public:
    virtual ~ProxySettingsSource() = default;
    // The current user's settings; nothing when they cannot be read.
    virtual std::optional<UserProxySettings> UserSettings() = 0;
    // Runs the configuration script (found by automatic detection, or at
    // scriptUrl when that is not empty) for the URL. The account's own
    // sign-in is offered to the server holding the script only when
    // offerSignIn is set (and, for the system account, never to one found
    // by automatic detection).
    virtual ScriptReply AskScript(const std::wstring& url, bool autoDetect, const std::wstring& scriptUrl,
                                  bool offerSignIn) = 0;
    // The machine's WinHTTP proxy setting (proxy list and bypass list);
    // nothing when none is set.
    virtual std::optional<UserProxySettings> MachineSetting() = 0;
};

// Chooses the proxy of each URL the way Windows programs do: the current
// user's settings first (a configuration script, found or named, decides
// when it answers; when it cannot be found or run, the user's proxy server
// applies as browsers do), then the machine's WinHTTP setting, then direct.
// A proxy server's bypass list is honoured, "<local>" meaning any host name
// without a dot. The user's and the machine's settings are read once (each
// read is a trip to the registry, and a run fetches many files); a script
// that failed is not tried again for the rest of the run. Safe to call from
// several threads.
//
// A script is asked once per scheme and host in a run, first without the
// account's sign-in (so that WinHTTP may keep the script it fetched) and
// with it only when the script's server refused the request for want of
// one. Transfers to other hosts never wait for a script's answer; those to
// the same host wait for the one question asked for it.
//
// A run of the system account (a deployment tool's) never offers the
// machine's own sign-in to a proxy that automatic detection found: anyone
// on the network who answers the detection could name one and collect it.
// A proxy the user or an administrator set (a proxy server, a script they
// named, the machine's setting) gets it as before.
class ProxyChoice {
public:
    explicit ProxyChoice(ProxySettingsSource& source, bool systemAccount = false)
        : source_(source), systemAccount_(systemAccount) {}
    ProxyRoute For(const std::wstring& url);

private:
    // The script's route, or nothing when the script could not answer.
    using ScriptRoute = std::optional<ProxyRoute>;

    const std::optional<UserProxySettings>& userSettings();
    const std::optional<UserProxySettings>& machineSetting();
    ScriptRoute fromScript(const std::wstring& url, const UserProxySettings& user);
    ScriptRoute askScript(const std::wstring& url, const UserProxySettings& user);

    ProxySettingsSource& source_;
    bool systemAccount_;
    std::mutex mutex_;
    std::optional<std::optional<UserProxySettings>> user_;
    std::optional<std::optional<UserProxySettings>> machine_;
    bool scriptFailed_ = false;
    std::atomic<bool> scriptNeedsSignIn_ = false;
    // The script's answers, asked or being asked, by "scheme://host".
    std::map<std::wstring, std::shared_future<ScriptRoute>> scriptRoutes_;
};

// The route a proxy list and its bypass list give for the URL: the first
// entry for the URL's scheme (or for every scheme); direct when the host is
// on the bypass list or no entry applies.
ProxyRoute RouteFromLists(std::wstring_view url, std::wstring_view proxies, std::wstring_view bypass);

}  // namespace kanvel::services
