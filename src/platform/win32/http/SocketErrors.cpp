#include <winsock2.h>

#include <windows.h>
#include <winhttp.h>

#include "platform/win32/http/SocketErrors.h"

#include <algorithm>
#include <array>

namespace kanvel::platform::win32 {
namespace {

namespace socket_error = services::socket_error;
static_assert(socket_error::NetworkDown == WSAENETDOWN);
static_assert(socket_error::NetworkUnreachable == WSAENETUNREACH);
static_assert(socket_error::ConnectionAborted == WSAECONNABORTED);
static_assert(socket_error::ConnectionReset == WSAECONNRESET);
static_assert(socket_error::TimedOut == WSAETIMEDOUT);
static_assert(socket_error::ConnectionRefused == WSAECONNREFUSED);
static_assert(socket_error::HostDown == WSAEHOSTDOWN);
static_assert(socket_error::HostUnreachable == WSAEHOSTUNREACH);
static_assert(socket_error::HostNotFound == WSAHOST_NOT_FOUND);
static_assert(socket_error::TryAgain == WSATRY_AGAIN);
static_assert(socket_error::NoData == WSANO_DATA);

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

services::TransferFailure ConnectionFailure(unsigned long winHttpError) {
    return services::TransferFailure::Socket(WinsockErrorFor(winHttpError));
}

void ThrowLastConnectionFailure() { throw ConnectionFailure(GetLastError()); }

}  // namespace kanvel::platform::win32
