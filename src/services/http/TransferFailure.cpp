#include "services/http/TransferFailure.h"

#include <algorithm>
#include <array>

namespace kanvel::services {

namespace {

struct SocketErrorDescription {
    int number;
    const wchar_t* text;
};

// Every description the client can show, in one place.
constexpr std::array kSocketErrorDescriptions{
    SocketErrorDescription{socket_error::NetworkDown, L"Network is down."},
    SocketErrorDescription{socket_error::NetworkUnreachable, L"Network is unreachable."},
    SocketErrorDescription{socket_error::ConnectionAborted, L"Software caused connection abort."},
    SocketErrorDescription{socket_error::ConnectionReset, L"Connection reset by peer."},
    SocketErrorDescription{socket_error::TimedOut, L"Connection timed out."},
    SocketErrorDescription{socket_error::ConnectionRefused, L"Connection refused."},
    SocketErrorDescription{socket_error::HostDown, L"Host is down."},
    SocketErrorDescription{socket_error::HostUnreachable, L"No route to host."},
    SocketErrorDescription{socket_error::HostNotFound, L"Host not found."},
    SocketErrorDescription{socket_error::TryAgain, L"Non-authoritative host not found."},
    SocketErrorDescription{socket_error::NoData, L"Valid name, no data record of requested type."},
};
constexpr const wchar_t* kUnknownSocketError = L"Unknown socket error.";
constexpr const wchar_t* kSocketErrorPrefix = L"Socket Error # ";

// Indexed by SecureCause.
constexpr std::array<const wchar_t*, 8> kSecureCauseTexts{
    L"Certyfikat serwera został unieważniony.",
    L"Certyfikat serwera nie pochodzi od zaufanego wystawcy.",
    L"Certyfikat serwera wygasł lub nie jest jeszcze ważny.",
    L"Certyfikat serwera wystawiono dla innej nazwy serwera.",
    L"Certyfikat serwera nie służy do uwierzytelniania serwera.",
    L"Certyfikat serwera jest nieprawidłowy.",
    L"Nie można sprawdzić, czy certyfikat serwera nie został unieważniony.",
    L"Nie można nawiązać bezpiecznego połączenia z serwerem.",
};

constexpr const wchar_t* kNoDeclaredLength = L"serwer nie podał długości pliku";
constexpr const wchar_t* kChunkedBody = L"serwer przysłał plik w częściach, bez podanej długości";
constexpr const wchar_t* kShortBodyBefore = L"plik niekompletny, odebrano ";
constexpr const wchar_t* kLongBodyBefore = L"plik dłuższy, niż zapowiedział serwer: odebrano ";
constexpr const wchar_t* kBodyCountBetween = L" z ";
constexpr const wchar_t* kBodyCountAfter = L" bajtów";
constexpr const wchar_t* kWrongPart = L"serwer przysłał inną część pliku, niż o nią poproszono";

std::wstring SocketErrorText(int number) {
    const auto known = std::ranges::find(kSocketErrorDescriptions, number, &SocketErrorDescription::number);
    const wchar_t* description = known != kSocketErrorDescriptions.end() ? known->text : kUnknownSocketError;
    return kSocketErrorPrefix + std::to_wstring(number) + L"\r\n" + description;
}

std::wstring BodyText(BodyFault fault, std::int64_t received, std::int64_t expected) {
    const auto counts = [&] {
        return std::to_wstring(received) + kBodyCountBetween + std::to_wstring(expected) + kBodyCountAfter;
    };
    switch (fault) {
        case BodyFault::CutShort: return kShortBodyBefore + counts();
        case BodyFault::TooLong: return kLongBodyBefore + counts();
        case BodyFault::NoLength: return kNoDeclaredLength;
        case BodyFault::Chunked: return kChunkedBody;
        case BodyFault::WrongPart: return kWrongPart;
    }
    return kWrongPart;
}

}  // namespace

TransferFailure::TransferFailure(Kind kind, int detail, std::wstring text)
    : InstallerError(std::move(text)), kind_(kind), detail_(detail) {}

TransferFailure TransferFailure::Socket(int socketError) {
    return {Kind::Socket, socketError, SocketErrorText(socketError)};
}

TransferFailure TransferFailure::HttpStatus(std::wstring_view version, int statusCode, std::wstring_view reason) {
    std::wstring line(version);
    line += L' ';
    line += std::to_wstring(statusCode);
    if (!reason.empty()) {
        line += L' ';
        line += reason;
    }
    return {Kind::HttpStatus, statusCode, std::move(line)};
}

TransferFailure TransferFailure::SecureChannel(SecureCause cause) {
    return {Kind::SecureChannel, static_cast<int>(cause), kSecureCauseTexts.at(static_cast<std::size_t>(cause))};
}

TransferFailure TransferFailure::Body(BodyFault fault, std::int64_t received, std::int64_t expected) {
    return {Kind::Body, static_cast<int>(fault), BodyText(fault, received, expected)};
}

ProxySignInFailed::ProxySignInFailed(Reason reason)
    : TransferFailure(Kind::ProxySignIn, static_cast<int>(reason),
                      reason == Reason::NotGiven ? kProxySignInNotGiven : kProxySignInRefused),
      reason_(reason) {}

}  // namespace kanvel::services
