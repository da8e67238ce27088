#include <gtest/gtest.h>

#include "InstallerHarness.h"
#include "TestRelease.h"
#include "platform/host/OpenSslDetachedSignature.h"
#include "platform/host/OpenSslSha256.h"
#include "platform/host/ScriptedHttpClient.h"
#include "services/localcopy/ReleaseList.h"

namespace kanvel::testing {
namespace {

using services::ReleaseList;

const std::map<std::string, std::string> kTree{{"programy/wersja7/bkp6/baza1.db", "table"},
                                               {"sterowniki/bde/setup._exe", "MZ setup"}};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The signature of a release list judged as Windows' CryptoAPI judges a
// detached signature, then held against the maker named by the build.
class ReleaseListSignature : public ::testing::Test {
protected:
    void SetUp() override { platform.trustedRoots = {TestRelease::TrustedRoot()}; }
    ReleaseList::Opening Judge(const std::string& list, std::optional<std::string> signature,
                               const services::ProgramVerification& build = TestRelease::MakersBuild()) {
        return ReleaseList::Judge(platform, build, list, std::move(signature));
    }
    std::wstring Refusal(const TestRelease::Signed& release) { return Judge(release.list, release.signature).reason; }

    TempTree tree;
    platform::host::EventLog events;
    platform::host::HostPlatform platform{tree.path(), events};
    const TestRelease::Signed makers = TestRelease::Sign(kTree, "8.0.1");
};

TEST_F(ReleaseListSignature, TheMakersListIsReadWithItsReleaseAndItsFiles) {
    const auto opening = Judge(makers.list, makers.signature);
    ASSERT_TRUE(opening.list) << Narrow(opening.reason);
    EXPECT_EQ(opening.list->release(), L"8.0.1");
    EXPECT_EQ(opening.list->list().files().size(), 2u);
    EXPECT_EQ(makers.list.substr(0, 30), "kanvel-layout 2\nrelease 8.0.1\n");
    // Each file is held against its size and SHA-256.
    auto facts = [&](const std::string& bytes) {
        auto digest = platform.StartSha256();
        digest->Add(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        return services::FileFacts{bytes.size(), digest->Finish()};
    };
    EXPECT_NO_THROW(opening.list->Check(L"programy/wersja7/bkp6/baza1.db", facts("table")));
    EXPECT_THROW(opening.list->Check(L"programy/wersja7/bkp6/baza1.db", facts("tablE")), services::NotAsListed);
    EXPECT_THROW(opening.list->Check(L"programy/wersja7/bkp6/baza2.db", facts("table")), services::NotAsListed);
}

// Each fault with the error Windows documents for it; the publisher's pin
// refuses even a signature the system accepts.
TEST_F(ReleaseListSignature, EveryFaultIsRefusedWithItsReason) {
    const std::wstring notTheMakers = L"lista plików wydania odrzucona: podpis listy nie jest ważnym podpisem producenta";
    std::string changed = makers.list;
    changed[changed.find(" 5 ") + 1] = '6';
    EXPECT_EQ(Judge(changed, makers.signature).reason, notTheMakers + L" (kod 0x80091007)");
    std::string damaged = makers.signature;
    damaged[damaged.size() - 10] ^= 0x01;  // within the signature value itself
    EXPECT_EQ(Judge(makers.list, damaged).reason, notTheMakers + L" (kod 0x80090006)");
    EXPECT_EQ(Judge(makers.list, "not a signature").reason, notTheMakers + L" (kod 0x8009310B)");
    EXPECT_EQ(Refusal(TestRelease::Sign(kTree, "8.0.1", "signing-other")), notTheMakers + L" (kod 0x800B0109)");
    EXPECT_EQ(Refusal(TestRelease::Sign(kTree, "8.0.1", "signing-expired")), notTheMakers + L" (kod 0x800B0101)");
    EXPECT_EQ(Refusal(TestRelease::Sign(kTree, "8.0.1", "localhost")), notTheMakers + L" (kod 0x800B0110)");
    EXPECT_EQ(Judge(makers.list, std::nullopt).reason,
              L"lista plików wydania odrzucona: lista nie ma podpisu (brak pliku .p7s)");
    // Trusted and valid, but not the maker the build names.
    const services::ProgramVerification othersBuild(
        *services::PublisherList::Parse(TestRelease::PublisherOf("signing-expired")));
    EXPECT_EQ(Judge(makers.list, makers.signature, othersBuild).reason, notTheMakers);
    // The maker's own signature on a machine that does not trust the test CA.
    platform.trustedRoots.clear();
    EXPECT_EQ(Judge(makers.list, makers.signature).reason, notTheMakers + L" (kod 0x800B0109)");
}

TEST_F(ReleaseListSignature, ABuildWithoutPublisherReadsTheListWhateverItsSignature) {
    const services::ProgramVerification development(services::PublisherList{});
    EXPECT_TRUE(Judge(makers.list, std::nullopt, development).list);
    EXPECT_TRUE(Judge(makers.list, "not a signature", development).list);
    // The list itself is still read as strictly as a copy's.
    std::string changed = makers.list;
    changed[changed.find(" 5 ") + 1] = '6';
    EXPECT_EQ(Judge(changed, std::nullopt, development).reason,
              L"lista plików wydania odrzucona: lista uszkodzona lub zmieniona (nie zgadza się jej SHA-256)");
}

// What the server answers decides whether the list is missing, out of reach or judged.
TEST_F(ReleaseListSignature, TheServersAnswerSaysWhetherTheListIsMissingOrOutOfReach) {
    platform::host::ScriptedServer server;
    platform::host::ScriptedHttpClient client(server);
    const std::wstring base = L"https://pliki.example.com/";
    auto fetch = [&] { return ReleaseList::Fetch(platform, client, TestRelease::MakersBuild(), base); };
    EXPECT_EQ(fetch().problem, ReleaseList::Problem::Missing);
    server.responses[base + L"Kanvel-pliki.txt"] = {.error = services::TransferFailure::HttpStatus(L"HTTP/1.1", 500, L"")};
    EXPECT_EQ(fetch().problem, ReleaseList::Problem::Unreachable);
    server.responses[base + L"Kanvel-pliki.txt"] = {.error = services::TransferFailure::Socket(10061)};
    EXPECT_EQ(fetch().problem, ReleaseList::Problem::Unreachable);
    server.responses[base + L"Kanvel-pliki.txt"] = {.body = makers.list};
    EXPECT_EQ(fetch().problem, ReleaseList::Problem::Refused);  // no signature beside it
    server.responses[base + L"Kanvel-pliki.txt.p7s"] = {.body = makers.signature};
    const auto fetched = fetch();
    ASSERT_TRUE(fetched.list) << Narrow(fetched.reason);
    EXPECT_EQ(fetched.list->text(), makers.list);
    EXPECT_EQ(fetched.list->signature(), makers.signature);
    for (const auto& request : server.requests) EXPECT_FALSE(request.basicAuthentication);
}

// The list's format with a release line, as release-list.sh writes it and
// the installer writes it for a copy; a list without one still reads.
TEST(ReleaseLine, WrittenAndReadBackAndMalformedOnesRefused) {
    platform::host::OpenSslSha256 digest, again;
    services::LayoutList list;
    list.SetRelease(L"8.0.1");
    list.Put({L"sterowniki/bde/setup._exe", 5, {}});
    const std::string text = list.Text(digest);
    EXPECT_EQ(text.substr(0, 30), "kanvel-layout 2\nrelease 8.0.1\n");
    const auto read = services::LayoutList::Read(text, again);
    ASSERT_TRUE(read.list);
    EXPECT_EQ(read.list->release(), L"8.0.1");
    EXPECT_EQ(read.list->files().size(), 1u);
    for (const wchar_t* bad : {L"", L"8.", L".8", L"8..0", L"8.0-beta", L"v8", L"8 0"})
        EXPECT_FALSE(services::LayoutList::ValidRelease(bad)) << Narrow(bad);
    EXPECT_TRUE(services::LayoutList::ValidRelease(L"8.0.10"));
    // A version-2 list whose second line is not a release line is refused.
    std::string noRelease = "kanvel-layout 2\n";
    platform::host::OpenSslSha256 seal, reading;
    seal.Add(reinterpret_cast<const std::uint8_t*>(noRelease.data()), noRelease.size());
    noRelease += "end 0 " + Narrow(services::HexOf(seal.Finish())) + "\n";
    EXPECT_EQ(services::LayoutList::Read(noRelease, reading).refusal, L"lista uszkodzona (nie zgadza się liczba plików)");
}

}  // namespace
}  // namespace kanvel::testing
