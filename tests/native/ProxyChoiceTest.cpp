#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "services/http/ProxyChoice.h"

namespace kanvel::services {
namespace {

// Settings as a test writes them; every script question is recorded, with
// whether the account's sign-in was offered. A script server that wants a
// sign-in refuses every question asked without it.
class ScriptedProxySettings : public ProxySettingsSource {
public:
    std::optional<UserProxySettings> user;
    std::variant<std::wstring, ScriptFailure> scriptAnswer = ScriptFailure::NotRun;
    bool scriptServerWantsSignIn = false;
    std::optional<UserProxySettings> machine;
    int userReads = 0;
    int machineReads = 0;
    std::vector<std::wstring> scriptQuestions;
    std::vector<bool> signInsOffered;

    std::optional<UserProxySettings> UserSettings() override {
        ++userReads;
        return user;
    }
    // Detection is asked first, as Windows does: when it is on, the answer is its.
    ScriptReply AskScript(const std::wstring& url, bool autoDetect, const std::wstring&, bool offerSignIn) override {
        {
            const std::lock_guard lock(questionsMutex_);
            scriptQuestions.push_back(url);
            signInsOffered.push_back(offerSignIn);
        }
        if (scriptServerWantsSignIn && !offerSignIn) return ScriptFailure::SignInRefused;
        if (const auto* failure = std::get_if<ScriptFailure>(&scriptAnswer)) return *failure;
        return ScriptAnswer{std::get<std::wstring>(scriptAnswer), autoDetect};
    }
    std::optional<UserProxySettings> MachineSetting() override {
        ++machineReads;
        return machine;
    }

private:
    std::mutex questionsMutex_;
};

const std::wstring kMirror = L"https://pliki.kanvel.test:8443/programy/wersja7/poprawki/Edytor3._exe";

TEST(ProxyChoice, TheUsersProxyServerCarriesEveryUrlNotOnItsBypassList) {
    ScriptedProxySettings settings;
    settings.user = UserProxySettings{.proxy = L"proxy.firma.pl:3128", .bypass = L"*.wewnatrz.firma.pl;<local>"};
    settings.machine = UserProxySettings{.proxy = L"machine:8080"};
    ProxyChoice choice(settings);
    EXPECT_EQ(choice.For(kMirror), ProxyRoute{L"proxy.firma.pl:3128"});
    EXPECT_TRUE(choice.For(L"http://serwer.wewnatrz.firma.pl/plik").direct());
    EXPECT_TRUE(choice.For(L"http://SERWER.Wewnatrz.Firma.PL:81/plik").direct());
    EXPECT_TRUE(choice.For(L"http://intranet/plik").direct());  // <local>: a name without a dot
    EXPECT_EQ(choice.For(L"http://127.0.0.1/plik"), ProxyRoute{L"proxy.firma.pl:3128"});
    EXPECT_EQ(settings.userReads, 1);  // read once for the run
    EXPECT_TRUE(settings.scriptQuestions.empty());
}

TEST(ProxyChoice, AProxyListNamesOneProxyForEachScheme) {
    EXPECT_EQ(RouteFromLists(L"https://a.pl/", L"http=web:80;https=secure:443", L""), ProxyRoute{L"secure:443"});
    EXPECT_EQ(RouteFromLists(L"http://a.pl/", L"http=http://web:80/ https=secure:443", L""), ProxyRoute{L"web:80"});
    EXPECT_TRUE(RouteFromLists(L"https://a.pl/", L"http=web:80;ftp=f:21", L"").direct());
    EXPECT_TRUE(RouteFromLists(L"https://a.pl/", L"proxy:1", L"http://a.pl;https://a.*").direct());
    EXPECT_EQ(RouteFromLists(L"http://a.pl/", L"proxy:1", L"https://a.pl"), ProxyRoute{L"proxy:1"});
    EXPECT_EQ(RouteFromLists(L"http://user@a.pl/", L"proxy:1", L"user"), ProxyRoute{L"proxy:1"});
}

TEST(ProxyChoice, AScriptDecidesForEachUrlAndItsDirectMeansDirect) {
    ScriptedProxySettings settings;
    settings.user = UserProxySettings{.scriptUrl = L"http://wpad.firma.pl/proxy.pac", .proxy = L"manual:1"};
    settings.scriptAnswer = L"squid:3128;backup:3128";
    ProxyChoice choice(settings);
    EXPECT_EQ(choice.For(kMirror), ProxyRoute{L"squid:3128"});
    settings.scriptAnswer = L"PROXY other:8080; DIRECT";
    EXPECT_EQ(choice.For(L"http://b.pl/x"), ProxyRoute{L"other:8080"});
    settings.scriptAnswer = L"";
    EXPECT_TRUE(choice.For(L"http://c.pl/x").direct());
    settings.scriptAnswer = L"DIRECT";
    EXPECT_TRUE(choice.For(L"http://d.pl/x").direct());
    EXPECT_EQ(settings.scriptQuestions, (std::vector<std::wstring>{kMirror, L"http://b.pl/x", L"http://c.pl/x",
                                                                   L"http://d.pl/x"}));
}

TEST(ProxyChoice, AScriptOrDetectionThatFailsFallsBackAndIsNotTriedAgain) {
    ScriptedProxySettings settings;
    settings.user = UserProxySettings{.autoDetect = true, .proxy = L"manual:1"};
    settings.machine = UserProxySettings{.proxy = L"machine:8080"};
    ProxyChoice withManual(settings);
    EXPECT_EQ(withManual.For(kMirror), ProxyRoute{L"manual:1"});
    EXPECT_EQ(withManual.For(kMirror), ProxyRoute{L"manual:1"});
    EXPECT_EQ(settings.scriptQuestions.size(), 1u);

    // Without a manual proxy the machine's setting is next, then direct.
    settings.user = UserProxySettings{.autoDetect = true};
    ProxyChoice withMachine(settings);
    EXPECT_EQ(withMachine.For(kMirror), ProxyRoute{L"machine:8080"});
    settings.machine.reset();
    ProxyChoice withNothing(settings);
    EXPECT_TRUE(withNothing.For(kMirror).direct());
}

TEST(ProxyChoice, AScriptIsAskedOncePerSchemeAndHostInARun) {
    ScriptedProxySettings settings;
    settings.user = UserProxySettings{.scriptUrl = L"http://wpad.firma.pl/proxy.pac"};
    settings.scriptAnswer = L"squid:3128";
    ProxyChoice choice(settings);
    for (const wchar_t* url : {L"https://pliki.kanvel.test/a._exe", L"https://pliki.kanvel.test/b._exe",
                               L"https://PLIKI.kanvel.test:443/c._exe", L"http://pliki.kanvel.test/d._exe",
                               L"https://inny.kanvel.test/e._exe", L"http://pliki.kanvel.test/f._exe"})
        EXPECT_EQ(choice.For(url), ProxyRoute{L"squid:3128"}) << url;
    EXPECT_EQ(settings.scriptQuestions,
              (std::vector<std::wstring>{L"https://pliki.kanvel.test/a._exe", L"http://pliki.kanvel.test/d._exe",
                                         L"https://inny.kanvel.test/e._exe"}));
}

TEST(ProxyChoice, TheSignInIsOfferedToTheScriptsServerOnlyAfterItRefusedWithoutOne) {
    ScriptedProxySettings settings;
    settings.user = UserProxySettings{.autoDetect = true, .proxy = L"manual:1"};
    settings.scriptAnswer = L"squid:3128";
    ProxyChoice open(settings);
    EXPECT_EQ(open.For(L"https://a.pl/"), ProxyRoute{L"squid:3128"});
    EXPECT_EQ(open.For(L"https://b.pl/"), ProxyRoute{L"squid:3128"});
    EXPECT_EQ(settings.signInsOffered, (std::vector<bool>{false, false}));

    settings.signInsOffered.clear();
    settings.scriptServerWantsSignIn = true;
    ProxyChoice guarded(settings);
    EXPECT_EQ(guarded.For(L"https://a.pl/"), ProxyRoute{L"squid:3128"});
    // Once refused, later hosts are asked with the sign-in straight away.
    EXPECT_EQ(guarded.For(L"https://b.pl/"), ProxyRoute{L"squid:3128"});
    EXPECT_EQ(settings.signInsOffered, (std::vector<bool>{false, true, true}));

    // Refused even with the sign-in: the script has failed, the user's proxy serves.
    settings.signInsOffered.clear();
    settings.scriptAnswer = ScriptFailure::SignInRefused;
    ProxyChoice refused(settings);
    EXPECT_EQ(refused.For(L"https://a.pl/"), ProxyRoute{L"manual:1"});
    EXPECT_EQ(refused.For(L"https://b.pl/"), ProxyRoute{L"manual:1"});
    EXPECT_EQ(settings.signInsOffered, (std::vector<bool>{false, true}));
}

// A script whose answer for one host is held back until the test lets it go.
class HeldScript : public ScriptedProxySettings {
public:
    explicit HeldScript(std::wstring heldHost) : heldHost_(std::move(heldHost)) {}
    std::promise<void> asked;
    std::promise<void> release;

    ScriptReply AskScript(const std::wstring& url, bool autoDetect, const std::wstring& scriptUrl,
                          bool offerSignIn) override {
        if (url.find(heldHost_) != std::wstring::npos) {
            asked.set_value();
            releaseSeen_.wait();
        }
        return ScriptedProxySettings::AskScript(url, autoDetect, scriptUrl, offerSignIn);
    }

private:
    std::wstring heldHost_;
    std::shared_future<void> releaseSeen_ = release.get_future().share();
};

TEST(ProxyChoice, TransfersWaitOnlyForTheScriptQuestionOfTheirOwnHost) {
    HeldScript settings(L"wolny.pl");
    settings.user = UserProxySettings{.scriptUrl = L"http://wpad.firma.pl/proxy.pac"};
    settings.scriptAnswer = L"squid:3128";
    ProxyChoice choice(settings);
    auto first = std::async(std::launch::async, [&] { return choice.For(L"https://wolny.pl/1"); });
    settings.asked.get_future().wait();
    auto sameHost = std::async(std::launch::async, [&] { return choice.For(L"https://wolny.pl/2"); });

    // Another host is answered while the first host's question is still open.
    auto otherHost = std::async(std::launch::async, [&] { return choice.For(L"https://szybki.pl/1"); });
    const bool otherAnswered = otherHost.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    settings.release.set_value();
    ASSERT_TRUE(otherAnswered);
    EXPECT_EQ(otherHost.get(), ProxyRoute{L"squid:3128"});
    EXPECT_EQ(first.get(), ProxyRoute{L"squid:3128"});
    EXPECT_EQ(sameHost.get(), ProxyRoute{L"squid:3128"});
    EXPECT_EQ(settings.scriptQuestions.size(), 2u);  // wolny.pl once, szybki.pl once
}

// The system account's own sign-in goes only to a proxy the settings name:
// whoever answers automatic detection on the network could name any proxy.
TEST(ProxyChoice, TheSystemAccountOffersItsSignInOnlyToAProxyTheSettingsName) {
    ScriptedProxySettings settings;
    settings.user = UserProxySettings{.autoDetect = true};
    settings.scriptAnswer = L"PROXY znaleziony:8080";
    EXPECT_TRUE(ProxyChoice(settings).For(kMirror).accountSignIn);  // a user's run, as Windows does
    const ProxyRoute detected = ProxyChoice(settings, true).For(kMirror);
    EXPECT_EQ(detected.proxy, L"znaleziony:8080");
    EXPECT_FALSE(detected.accountSignIn);

    // A script, a proxy server or the machine's setting that the user or an administrator set keeps it.
    settings.user = UserProxySettings{.scriptUrl = L"http://konfiguracja.firma.pl/proxy.pac"};
    EXPECT_EQ(ProxyChoice(settings, true).For(kMirror), ProxyRoute{L"znaleziony:8080"});
    settings.user = UserProxySettings{.autoDetect = true, .proxy = L"reczny:3128"};
    settings.scriptAnswer = ScriptFailure::NotRun;  // detection finds nothing: the proxy server applies
    EXPECT_EQ(ProxyChoice(settings, true).For(kMirror), ProxyRoute{L"reczny:3128"});
    settings.user.reset();
    settings.machine = UserProxySettings{.proxy = L"maszyna:8080"};
    EXPECT_EQ(ProxyChoice(settings, true).For(kMirror), ProxyRoute{L"maszyna:8080"});
}

TEST(ProxyChoice, WithoutUserSettingsTheMachineSettingAppliesWithItsBypassList) {
    ScriptedProxySettings settings;
    settings.machine = UserProxySettings{.proxy = L"machine:8080", .bypass = L"*.kanvel.test"};
    ProxyChoice choice(settings);
    EXPECT_TRUE(choice.For(kMirror).direct());
    EXPECT_EQ(choice.For(L"http://example.com/"), ProxyRoute{L"machine:8080"});
    EXPECT_EQ(settings.machineReads, 1);  // read once for the run
    // Settings that say nothing (direct) leave the machine's setting in force.
    settings.user = UserProxySettings{};
    ProxyChoice emptyUser(settings);
    EXPECT_EQ(emptyUser.For(L"http://example.com/"), ProxyRoute{L"machine:8080"});
}

}  // namespace
}  // namespace kanvel::services
