#include "platform/win32/http/SecureFailures.h"

#include <algorithm>
#include <array>

namespace kanvel::platform::win32 {
namespace {

constexpr const wchar_t* CertificateRevokedText = L"Certyfikat serwera został unieważniony.";
constexpr const wchar_t* UntrustedIssuerText = L"Certyfikat serwera nie pochodzi od zaufanego wystawcy.";
constexpr const wchar_t* DateInvalidText = L"Certyfikat serwera wygasł lub nie jest jeszcze ważny.";
constexpr const wchar_t* NameInvalidText = L"Certyfikat serwera wystawiono dla innej nazwy serwera.";
constexpr const wchar_t* WrongUsageText = L"Certyfikat serwera nie służy do uwierzytelniania serwera.";
constexpr const wchar_t* InvalidCertificateText = L"Certyfikat serwera jest nieprawidłowy.";
constexpr const wchar_t* RevocationUnknownText =
    L"Nie można sprawdzić, czy certyfikat serwera nie został unieważniony.";
constexpr const wchar_t* NoSecureConnectionText = L"Nie można nawiązać bezpiecznego połączenia z serwerem.";

struct Cause {
    unsigned long flag;
    unsigned long error;
    const wchar_t* text;
};

// Most serious first: a revoked certificate outweighs an expired one.
constexpr std::array Causes{
    Cause{secure::FlagCertificateRevoked, secure::CertificateRevoked, CertificateRevokedText},
    Cause{secure::FlagUntrustedIssuer, secure::UntrustedIssuer, UntrustedIssuerText},
    Cause{secure::FlagDateInvalid, secure::CertificateDateInvalid, DateInvalidText},
    Cause{secure::FlagNameInvalid, secure::CertificateNameInvalid, NameInvalidText},
    Cause{secure::FlagWrongUsage, secure::CertificateWrongUsage, WrongUsageText},
    Cause{secure::FlagInvalidCertificate, secure::InvalidCertificate, InvalidCertificateText},
    Cause{secure::FlagRevocationCheckFailed, secure::RevocationCheckFailed, RevocationUnknownText},
};

// Secure-connection errors that name no cause of their own.
constexpr std::array GeneralErrors{secure::ChannelError, secure::Failure, secure::ClientCertificateNeeded};

}  // namespace

std::optional<std::wstring> SecureFailureText(unsigned long winHttpError, unsigned long failureFlags) {
    for (const Cause& cause : Causes) {
        if (failureFlags & cause.flag) return cause.text;
    }
    const auto byError = std::ranges::find(Causes, winHttpError, &Cause::error);
    if (byError != Causes.end()) return byError->text;
    if (failureFlags != 0 || std::ranges::find(GeneralErrors, winHttpError) != GeneralErrors.end())
        return NoSecureConnectionText;
    return std::nullopt;
}

}  // namespace kanvel::platform::win32
