#pragma once

#include <string_view>

namespace kanvel::services {

// Whether a failed transfer is worth trying again, from the error's text
// (the client's two forms, see HttpClient): a connection reset, refused or
// timed out, or aborted by the network, and the answers a busy server or
// gateway gives (408, 429, 502, 503, 504). Anything else, a name that does
// not resolve or a 404 among them, fails the same way the next time.
bool IsTransientFailure(std::wstring_view errorText);

}  // namespace kanvel::services
