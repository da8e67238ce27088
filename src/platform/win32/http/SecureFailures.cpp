#include "platform/win32/http/SecureFailures.h"

#include <algorithm>
#include <array>

namespace kanvel::platform::win32 {
namespace {

using services::SecureCause;

struct Cause {
    unsigned long flag;
    unsigned long error;
    SecureCause cause;
};

// Most serious first: a revoked certificate outweighs an expired one.
constexpr std::array Causes{
    Cause{secure::FlagCertificateRevoked, secure::CertificateRevoked, SecureCause::CertificateRevoked},
    Cause{secure::FlagUntrustedIssuer, secure::UntrustedIssuer, SecureCause::UntrustedIssuer},
    Cause{secure::FlagDateInvalid, secure::CertificateDateInvalid, SecureCause::DateInvalid},
    Cause{secure::FlagNameInvalid, secure::CertificateNameInvalid, SecureCause::NameInvalid},
    Cause{secure::FlagWrongUsage, secure::CertificateWrongUsage, SecureCause::WrongUsage},
    Cause{secure::FlagInvalidCertificate, secure::InvalidCertificate, SecureCause::InvalidCertificate},
    Cause{secure::FlagRevocationCheckFailed, secure::RevocationCheckFailed, SecureCause::RevocationUnknown},
};

// Secure-connection errors that name no cause of their own.
constexpr std::array GeneralErrors{secure::ChannelError, secure::Failure, secure::ClientCertificateNeeded};

}  // namespace

std::optional<SecureCause> SecureFailureCause(unsigned long winHttpError, unsigned long failureFlags) {
    for (const Cause& cause : Causes) {
        if (failureFlags & cause.flag) return cause.cause;
    }
    const auto byError = std::ranges::find(Causes, winHttpError, &Cause::error);
    if (byError != Causes.end()) return byError->cause;
    if (failureFlags != 0 || std::ranges::find(GeneralErrors, winHttpError) != GeneralErrors.end())
        return SecureCause::NoSecureConnection;
    return std::nullopt;
}

}  // namespace kanvel::platform::win32
