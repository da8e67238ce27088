#include <gtest/gtest.h>

#include "InstallerHarness.h"
#include "platform/win32/http/SecureFailures.h"

namespace kanvel::testing {
namespace {

namespace secure = platform::win32::secure;

// What the user reads for a failed WinHTTP call, when it lies in the secure connection.
std::optional<std::wstring> SecureFailureText(unsigned long error, unsigned long flags) {
    const auto cause = platform::win32::SecureFailureCause(error, flags);
    if (!cause) return std::nullopt;
    return services::TransferFailure::SecureChannel(*cause).text();
}

const std::wstring kUntrusted = L"Certyfikat serwera nie pochodzi od zaufanego wystawcy.";
const std::wstring kExpired = L"Certyfikat serwera wygasł lub nie jest jeszcze ważny.";
const std::wstring kOtherName = L"Certyfikat serwera wystawiono dla innej nazwy serwera.";
const std::wstring kRevoked = L"Certyfikat serwera został unieważniony.";
const std::wstring kGeneral = L"Nie można nawiązać bezpiecznego połączenia z serwerem.";

TEST(SecureFailureText, TheCauseTheSystemTellsIsNamedTheRestIsTheGeneralText) {
    struct Case {
        unsigned long error;
        unsigned long flags;
        std::wstring text;
    };
    const std::vector<Case> cases{
        // The specific errors, with no notice from the status callback.
        {secure::UntrustedIssuer, 0, kUntrusted},
        {secure::CertificateDateInvalid, 0, kExpired},
        {secure::CertificateNameInvalid, 0, kOtherName},
        {secure::CertificateRevoked, 0, kRevoked},
        // The general failure with the callback's flags: the flags tell.
        {secure::Failure, secure::FlagUntrustedIssuer, kUntrusted},
        {secure::Failure, secure::FlagDateInvalid, kExpired},
        {secure::Failure, secure::FlagNameInvalid, kOtherName},
        // Several causes: the most serious is named.
        {secure::Failure, secure::FlagDateInvalid | secure::FlagCertificateRevoked, kRevoked},
        {secure::Failure, secure::FlagNameInvalid | secure::FlagUntrustedIssuer | secure::FlagDateInvalid, kUntrusted},
        // Flags outweigh an error that says less.
        {secure::ChannelError, secure::FlagNameInvalid, kOtherName},
        // Nothing more is known (Wine reports every refused certificate so).
        {secure::ChannelError, 0, kGeneral},
        {secure::Failure, 0, kGeneral},
        {secure::Failure, secure::FlagChannelError, kGeneral},
        {secure::ClientCertificateNeeded, 0, kGeneral},
    };
    for (const auto& c : cases) {
        const auto text = SecureFailureText(c.error, c.flags);
        ASSERT_TRUE(text.has_value()) << c.error << " flags " << c.flags;
        EXPECT_EQ(*text, c.text) << c.error << " flags " << c.flags;
        // Never read as a missing internet connection.
        EXPECT_EQ(text->find(L"Socket"), std::wstring::npos);
    }
}

TEST(SecureFailureText, ConnectionFailuresAreLeftToTheSocketTexts) {
    constexpr unsigned long cannotConnect = 12029;
    constexpr unsigned long timeout = 12002;
    constexpr unsigned long invalidServerResponse = 12152;
    constexpr unsigned long connectionReset = 10054;
    for (unsigned long error : {cannotConnect, timeout, invalidServerResponse, connectionReset})
        EXPECT_FALSE(SecureFailureText(error, 0).has_value()) << error;
}

// What the user sees when the certificate is refused: the download's other
// failure, with the old file kept byte for byte and no partial file left.
class RefusedCertificateTest : public InstallerTest {
protected:
    void SetUp() override {
        StartUp();
        platform.files().MakeFolders(L"C:\\OR-Vel");
    }
};

TEST_F(RefusedCertificateTest, IsAnOtherFailureThatKeepsTheOldFile) {
    platform.files().WriteFile(L"C:\\OR-Vel\\Edytor3.exe", "MZ working");
    CaptureNotices();
    server.responses[Url(L"programy/wersja7/poprawki/Edytor3._exe")] = {
        .error = services::TransferFailure::SecureChannel(*platform::win32::SecureFailureCause(secure::ChannelError, 0))};
    EXPECT_FALSE(panel().PobraniePliku(L"programy/wersja7/poprawki", L"Edytor3", L"exe", true, L"C:\\OR-Vel"));
    EXPECT_EQ(log.withPrefix(L"message "),
              std::vector<std::wstring>{L"message Nieudane pobranie pliku: " + kGeneral});
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), "MZ working");
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Edytor3.exe.part"));
}

}  // namespace
}  // namespace kanvel::testing
