#pragma once

#include "services/http/TransferFailure.h"

namespace kanvel::services {

// Whether a failed transfer is worth trying again: a connection reset,
// refused or timed out, or aborted by the network, the answers a busy server
// or gateway gives (408, 429, 502, 503, 504), and a body cut short. Anything
// else, a name that does not resolve or a 404 among them, fails the same way
// the next time.
bool IsTransientFailure(const TransferFailure& failure);

}  // namespace kanvel::services
