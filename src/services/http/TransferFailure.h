#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "services/installer/InstallerError.h"

namespace kanvel::services {

// Socket error numbers a transfer can fail with (Winsock's numbering).
namespace socket_error {
inline constexpr int NetworkDown = 10050;
inline constexpr int NetworkUnreachable = 10051;
inline constexpr int ConnectionAborted = 10053;
inline constexpr int ConnectionReset = 10054;
inline constexpr int TimedOut = 10060;
inline constexpr int ConnectionRefused = 10061;
inline constexpr int HostDown = 10064;
inline constexpr int HostUnreachable = 10065;
inline constexpr int HostNotFound = 11001;
inline constexpr int TryAgain = 11002;
inline constexpr int NoData = 11004;
}  // namespace socket_error

// Why a secure connection could not be made, the most serious first.
enum class SecureCause {
    CertificateRevoked,
    UntrustedIssuer,
    DateInvalid,
    NameInvalid,
    WrongUsage,
    InvalidCertificate,
    RevocationUnknown,
    // The system names no cause.
    NoSecureConnection,
};

// Why a body that arrived is not the whole file.
enum class BodyFault {
    CutShort,   // fewer bytes than declared: the rest may come on a later try
    TooLong,    // more bytes than declared
    NoLength,   // no Content-Length declared
    Chunked,    // sent in chunks, with no length declared
    WrongPart,  // a request for the rest got another part
};

// A transfer that failed, saying what failed. The code decides by kind()
// and its details; text() is what the user reads, made from them:
//   Socket         "Socket Error # <n>\r\n<description>" (name not resolved,
//                  refused, reset, timed out, unreachable; a stalled body
//                  ends as a time-out)
//   HttpStatus     the status line, "HTTP/1.1 404 Not Found" (any non-2xx
//                  answer, a redirect among them)
//   SecureChannel  the certificate's or the secure channel's trouble, in
//                  words that never read as a missing connection
//   ProxySignIn    the proxy's sign-in (ProxySignInFailed)
//   Body           a body that is not known to be whole, with the bytes
//                  counted where that matters
class TransferFailure : public InstallerError {
public:
    enum class Kind { Socket, HttpStatus, SecureChannel, ProxySignIn, Body };

    static TransferFailure Socket(int socketError);
    // `reason` may be empty: the line then ends with the code.
    static TransferFailure HttpStatus(std::wstring_view version, int statusCode, std::wstring_view reason);
    static TransferFailure SecureChannel(SecureCause cause);
    // `received` and `expected` count the whole file's bytes (CutShort, TooLong).
    static TransferFailure Body(BodyFault fault, std::int64_t received = 0, std::int64_t expected = 0);

    Kind kind() const noexcept { return kind_; }
    // The socket error number (Socket) or the status code (HttpStatus); 0 otherwise.
    int number() const noexcept { return kind_ == Kind::Socket || kind_ == Kind::HttpStatus ? detail_ : 0; }
    SecureCause secureCause() const noexcept { return static_cast<SecureCause>(detail_); }
    BodyFault bodyFault() const noexcept { return static_cast<BodyFault>(detail_); }

protected:
    TransferFailure(Kind kind, int detail, std::wstring text);

private:
    Kind kind_;
    // The number, or the cause or fault of the kind.
    int detail_;
};

// Why a proxy did not let a request through.
inline constexpr const wchar_t* kProxySignInNotGiven = L"serwer proxy wymaga logowania";
inline constexpr const wchar_t* kProxySignInRefused = L"serwer proxy nie przyjął nazwy użytkownika lub hasła";

// A proxy that asks who the user is did not let the request through: the
// user gave no user name and password (or could not be asked), or the proxy
// refused them.
class ProxySignInFailed : public TransferFailure {
public:
    enum class Reason { NotGiven, Refused };
    explicit ProxySignInFailed(Reason reason);
    Reason reason() const noexcept { return reason_; }

private:
    Reason reason_;
};

}  // namespace kanvel::services
