#include <gtest/gtest.h>

#include "services/http/TransferFailure.h"
#include "services/http/TransientFailure.h"

namespace kanvel::testing {
namespace {

using services::BodyFault;
using services::TransferFailure;

TEST(TransferFailure, TheTextIsMadeFromTheKindAsTheUserReadsIt) {
    EXPECT_EQ(TransferFailure::Socket(10054).text(), L"Socket Error # 10054\r\nConnection reset by peer.");
    EXPECT_EQ(TransferFailure::Socket(11001).text(), L"Socket Error # 11001\r\nHost not found.");
    EXPECT_EQ(TransferFailure::Socket(10099).text(), L"Socket Error # 10099\r\nUnknown socket error.");
    EXPECT_EQ(TransferFailure::HttpStatus(L"HTTP/1.0", 404, L"Not Found").text(), L"HTTP/1.0 404 Not Found");
    // A status line without its reason phrase ends with the code.
    EXPECT_EQ(TransferFailure::HttpStatus(L"HTTP/1.1", 599, L"").text(), L"HTTP/1.1 599");
    EXPECT_EQ(services::ProxySignInFailed(services::ProxySignInFailed::Reason::Refused).text(),
              services::kProxySignInRefused);
}

TEST(TransferFailure, OnlyPassingTroubleIsTriedAgainWhateverTheTextSays) {
    EXPECT_TRUE(IsTransientFailure(TransferFailure::Socket(10053)));
    EXPECT_FALSE(IsTransientFailure(TransferFailure::Socket(10065)));
    EXPECT_TRUE(IsTransientFailure(TransferFailure::HttpStatus(L"HTTP/1.1", 503, L"Mirror Busy")));
    // A reason phrase that reads like a busy server changes nothing.
    EXPECT_FALSE(IsTransientFailure(TransferFailure::HttpStatus(L"HTTP/1.1", 403, L"503 Service Unavailable")));
    EXPECT_TRUE(IsTransientFailure(TransferFailure::Body(BodyFault::CutShort, 400, 1000)));
    EXPECT_FALSE(IsTransientFailure(TransferFailure::Body(BodyFault::TooLong, 1000, 999)));
    EXPECT_FALSE(IsTransientFailure(TransferFailure::SecureChannel(services::SecureCause::NoSecureConnection)));
    EXPECT_FALSE(IsTransientFailure(services::ProxySignInFailed(services::ProxySignInFailed::Reason::NotGiven)));
}

}  // namespace
}  // namespace kanvel::testing
