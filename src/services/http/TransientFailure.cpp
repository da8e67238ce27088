#include "services/http/TransientFailure.h"

#include <algorithm>
#include <array>

namespace kanvel::services {

namespace {
constexpr std::array kTransientSocketErrors{socket_error::ConnectionAborted, socket_error::ConnectionReset,
                                            socket_error::TimedOut, socket_error::ConnectionRefused};
constexpr std::array kTransientStatusCodes{408, 429, 502, 503, 504};

bool Contains(const auto& list, int value) { return std::ranges::find(list, value) != list.end(); }
}  // namespace

bool IsTransientFailure(const TransferFailure& failure) {
    switch (failure.kind()) {
        case TransferFailure::Kind::Socket: return Contains(kTransientSocketErrors, failure.number());
        case TransferFailure::Kind::HttpStatus: return Contains(kTransientStatusCodes, failure.number());
        case TransferFailure::Kind::Body: return failure.bodyFault() == BodyFault::CutShort;
        case TransferFailure::Kind::SecureChannel:
        case TransferFailure::Kind::ProxySignIn: return false;
    }
    return false;
}

}  // namespace kanvel::services
