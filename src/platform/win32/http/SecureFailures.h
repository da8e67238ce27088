#pragma once

#include <optional>

#include "services/http/TransferFailure.h"

namespace kanvel::platform::win32 {

// Why a secure connection failed. Kept free of Windows
// headers so the native tests can check it; the values below are WinHTTP's,
// and WinHttpClient.cpp checks them against <winhttp.h>.
namespace secure {
// Errors a WinHTTP call fails with when the TLS handshake or the server's
// certificate is not accepted.
inline constexpr unsigned long CertificateDateInvalid = 12037;
inline constexpr unsigned long CertificateNameInvalid = 12038;
inline constexpr unsigned long ClientCertificateNeeded = 12044;
inline constexpr unsigned long UntrustedIssuer = 12045;
inline constexpr unsigned long RevocationCheckFailed = 12057;
inline constexpr unsigned long ChannelError = 12157;
inline constexpr unsigned long InvalidCertificate = 12169;
inline constexpr unsigned long CertificateRevoked = 12170;
inline constexpr unsigned long Failure = 12175;
inline constexpr unsigned long CertificateWrongUsage = 12179;

// Flags of the status callback's secure-failure notice.
inline constexpr unsigned long FlagRevocationCheckFailed = 0x01;
inline constexpr unsigned long FlagInvalidCertificate = 0x02;
inline constexpr unsigned long FlagCertificateRevoked = 0x04;
inline constexpr unsigned long FlagUntrustedIssuer = 0x08;
inline constexpr unsigned long FlagNameInvalid = 0x10;
inline constexpr unsigned long FlagDateInvalid = 0x20;
inline constexpr unsigned long FlagWrongUsage = 0x40;
inline constexpr unsigned long FlagChannelError = 0x80000000;
}  // namespace secure

// The cause of a failed WinHTTP call when the failure lies in the secure
// connection, nothing otherwise. `failureFlags` are the flags the status
// callback reported for the request (0 when it reported none); they name the
// cause more precisely than the error, so they come first. With several
// causes the most serious one is named. A cause the system does not tell is
// services::SecureCause::NoSecureConnection.
std::optional<services::SecureCause> SecureFailureCause(unsigned long winHttpError, unsigned long failureFlags);

}  // namespace kanvel::platform::win32
