#include <winsock2.h>

#include <windows.h>
#include <winhttp.h>

#include "platform/win32/http/SocketErrors.h"

#include <algorithm>
#include <array>

namespace kanvel::platform::win32 {
namespace {

struct SocketErrorDescription {
    int winsockError;
    const wchar_t* text;
};

// Every description the client can show, in one place.
constexpr std::array SocketErrorDescriptions{
    SocketErrorDescription{WSAENETDOWN, L"Network is down."},
    SocketErrorDescription{WSAENETUNREACH, L"Network is unreachable."},
    SocketErrorDescription{WSAECONNABORTED, L"Software caused connection abort."},
    SocketErrorDescription{WSAECONNRESET, L"Connection reset by peer."},
    SocketErrorDescription{WSAETIMEDOUT, L"Connection timed out."},
    SocketErrorDescription{WSAECONNREFUSED, L"Connection refused."},
    SocketErrorDescription{WSAEHOSTDOWN, L"Host is down."},
    SocketErrorDescription{WSAEHOSTUNREACH, L"No route to host."},
    SocketErrorDescription{WSAHOST_NOT_FOUND, L"Host not found."},
    SocketErrorDescription{WSATRY_AGAIN, L"Non-authoritative host not found."},
    SocketErrorDescription{WSANO_DATA, L"Valid name, no data record of requested type."},
};

constexpr const wchar_t* UnknownSocketErrorText = L"Unknown socket error.";

struct WinHttpErrorMapping {
    unsigned long winHttpError;
    int winsockError;
};

// WinHTTP reports connection trouble with its own codes; the user is shown
// the socket error behind it.
constexpr std::array WinHttpErrorMappings{
    WinHttpErrorMapping{ERROR_WINHTTP_CANNOT_CONNECT, WSAECONNREFUSED},
    WinHttpErrorMapping{ERROR_WINHTTP_NAME_NOT_RESOLVED, WSAHOST_NOT_FOUND},
    WinHttpErrorMapping{ERROR_WINHTTP_TIMEOUT, WSAETIMEDOUT},
    WinHttpErrorMapping{ERROR_WINHTTP_CONNECTION_ERROR, WSAECONNRESET},
    // The server closed or garbled the connection before a whole answer came.
    WinHttpErrorMapping{ERROR_WINHTTP_INVALID_SERVER_RESPONSE, WSAECONNRESET},
    WinHttpErrorMapping{ERROR_WINHTTP_OPERATION_CANCELLED, WSAECONNABORTED},
    // A URL WinHTTP cannot take apart names no host that could be reached.
    WinHttpErrorMapping{ERROR_WINHTTP_INVALID_URL, WSAHOST_NOT_FOUND},
    WinHttpErrorMapping{ERROR_WINHTTP_UNRECOGNIZED_SCHEME, WSAHOST_NOT_FOUND},
};

constexpr unsigned long FirstWinsockError = WSABASEERR;
constexpr unsigned long LastWinsockError = WSABASEERR + 1999;

}  // namespace

int WinsockErrorFor(unsigned long winHttpError) {
    if (winHttpError >= FirstWinsockError && winHttpError <= LastWinsockError) {
        return static_cast<int>(winHttpError);
    }
    const auto mapping = std::ranges::find(WinHttpErrorMappings, winHttpError, &WinHttpErrorMapping::winHttpError);
    return mapping != WinHttpErrorMappings.end() ? mapping->winsockError : WSAECONNABORTED;
}

std::wstring SocketErrorText(int winsockError) {
    const auto known = std::ranges::find(SocketErrorDescriptions, winsockError, &SocketErrorDescription::winsockError);
    const wchar_t* description = known != SocketErrorDescriptions.end() ? known->text : UnknownSocketErrorText;
    return L"Socket Error # " + std::to_wstring(winsockError) + L"\r\n" + description;
}

services::InstallerError ConnectionFailure(unsigned long winHttpError) {
    return services::InstallerError(SocketErrorText(WinsockErrorFor(winHttpError)));
}

void ThrowLastConnectionFailure() { throw ConnectionFailure(GetLastError()); }

}  // namespace kanvel::platform::win32
