#pragma once

#include "services/http/TransferFailure.h"

namespace kanvel::platform::win32 {

// The Winsock error number that a failed WinHTTP call stands for. Winsock
// numbers (WinHTTP sometimes passes those through) are kept as they are;
// anything unknown counts as an aborted connection.
int WinsockErrorFor(unsigned long winHttpError);

// The error thrown for a WinHTTP call that failed with GetLastError() == winHttpError.
services::TransferFailure ConnectionFailure(unsigned long winHttpError);

// Throws the connection failure of the WinHTTP call that just failed.
[[noreturn]] void ThrowLastConnectionFailure();

}  // namespace kanvel::platform::win32
