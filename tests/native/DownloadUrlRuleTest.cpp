#include <fstream>
#include <regex>

#include "InstallerHarness.h"
#include "services/http/DownloadUrlRule.h"

namespace kanvel::testing {
namespace {

// The installer's own parser on the very cases the configure's is tested on.
TEST(DownloadUrlRule, AgreesWithTheConfigureOnEveryCase) {
    std::ifstream cases(KANVEL_DOWNLOAD_URL_CASES);
    ASSERT_TRUE(cases) << KANVEL_DOWNLOAD_URL_CASES;
    const std::regex form("^(accepted|refused) (ON|OFF) (.*)$");
    int count = 0;
    for (std::string line; std::getline(cases, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::smatch parts;
        ASSERT_TRUE(std::regex_match(line, parts, form)) << line;
        const std::wstring url = platform::host::FromUtf8(parts[3]);
        const bool accepted = services::JudgeDownloadUrl(url, parts[2] == "ON") == services::DownloadUrlVerdict::Accepted;
        EXPECT_EQ(accepted, parts[1] == "accepted") << line;
        ++count;
    }
    EXPECT_GE(count, 50);
}

TEST(DownloadUrlRule, SaysWhyAUrlIsRefused) {
    using services::DownloadUrlVerdict;
    EXPECT_EQ(services::JudgeDownloadUrl(L"http://kanvel.example.com/", false),
              DownloadUrlVerdict::PlainHttpToAnotherMachine);
    EXPECT_EQ(services::JudgeDownloadUrl(L"http://127.0.0.1?@evil.example/", false), DownloadUrlVerdict::Malformed);
}

// The program checks its base URL again before anything leaves the machine:
// a build that got a wrong one past the configure downloads nothing.
TEST(DownloadUrlRuleInTheInstaller, ARefusedBaseUrlSendsNoRequestAndSaysWhy) {
    struct Case {
        std::wstring baseUrl;
        bool plainHttpAllowed;
        std::wstring message;  // empty: the request goes out
    };
    const Case cases[] = {
        {L"http://127.0.0.1?@evil.example/", false, L"message Nieudane pobranie pliku: nieprawidłowy adres serwera"},
        {L"http://kanvel.example.com/", false,
         L"message Nieudane pobranie pliku: połączenie z serwerem nie byłoby szyfrowane (http://)"},
        {L"http://kanvel.example.com/", true, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(platform::host::ToUtf8(c.baseUrl));
        TempTree tree;
        platform::host::EventLog log;
        platform::host::HostPlatform platform(tree.path(), log);
        platform::host::ScriptedServer server;
        server.responses[c.baseUrl + L"sterowniki/bde/setup._exe"] = {.body = "MZ setup"};
        platform::host::ScriptedHttpClient client(server);
        struct NoView : services::DownloadView {
            void ShowStatus(const std::wstring&) override {}
            void SetProgressRange(int) override {}
            void SetProgressPosition(int) override {}
            bool KeepWorking() override { return true; }
            void ShowReplaceNotice(const std::wstring&) override {}
            std::optional<services::ProxyCredentials> AskProxySignIn(const std::wstring&) override {
                return std::nullopt;
            }
        } view;
        const services::ProgramVerification unverified{services::PublisherList()};
        services::ComponentDownload download(platform, client, view, unverified, c.baseUrl, c.plainHttpAllowed);
        platform.files().MakeFolders(L"C:\\BDE");
        const auto outcome = download.Fetch(L"sterowniki/bde", L"setup", L"exe", false, L"C:\\BDE");
        EXPECT_EQ(server.requests.size(), c.message.empty() ? 1u : 0u);
        EXPECT_EQ(outcome.stored(), c.message.empty());
        EXPECT_EQ(log.withPrefix(L"message "),
                  c.message.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{c.message});
    }
}

}  // namespace
}  // namespace kanvel::testing
