#pragma once

#include <string>

#include "services/InstallerError.h"

namespace kanvel::platform::win32 {

// The Winsock error number that a failed WinHTTP call stands for. Winsock
// numbers (WinHTTP sometimes passes those through) are kept as they are;
// anything unknown counts as an aborted connection.
int WinsockErrorFor(unsigned long winHttpError);

// L"Socket Error # <n>\r\n<description>", the text of a connection failure.
std::wstring SocketErrorText(int winsockError);

// The error thrown for a WinHTTP call that failed with GetLastError() == winHttpError.
services::InstallerError ConnectionFailure(unsigned long winHttpError);

// Throws the connection failure of the WinHTTP call that just failed.
[[noreturn]] void ThrowLastConnectionFailure();

}  // namespace kanvel::platform::win32
