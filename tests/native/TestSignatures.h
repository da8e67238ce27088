#pragma once

#include <string>

#include "services/trust/FileSignature.h"
#include "services/trust/ProgramVerification.h"

namespace kanvel::testing {

// The signatures the test platform finds in a program file, read from the
// start of its bytes, with what Windows (or, marked so, Wine) answers for
// each; anything without a mark carries no signature.
struct TestSignatures {
    static services::Sha256 Maker() { return Filled(0x11); }
    static services::Sha256 RenewedMaker() { return Filled(0x22); }
    static services::Sha256 SomeoneElse() { return Filled(0x33); }

    static constexpr const char* kByMaker = "MZ signed by the maker";
    static constexpr const char* kByRenewedMaker = "MZ signed by the maker's renewed certificate";
    static constexpr const char* kBySomeoneElse = "MZ signed by someone else";
    static constexpr const char* kChangedAfterSigning = "MZ changed after signing";
    static constexpr const char* kUntrustedChain = "MZ maker's key, chain not trusted";
    static constexpr const char* kExpiredOnWindows = "MZ maker's expired certificate, no time stamp";
    static constexpr const char* kExpiredOnWine = "MZ (Wine) maker's expired certificate, no time stamp";

    static services::FileSignature Of(const std::string& content) {
        auto starts = [&](const char* mark) { return content.rfind(mark, 0) == 0; };
        if (starts(kByMaker)) return {0, Maker(), true};
        if (starts(kByRenewedMaker)) return {0, RenewedMaker(), true};
        if (starts(kBySomeoneElse)) return {0, SomeoneElse(), true};
        if (starts(kChangedAfterSigning)) return {kBadDigest, std::nullopt, false};
        if (starts(kUntrustedChain)) return {kUntrustedRoot, Maker(), true};
        if (starts(kExpiredOnWindows)) return {kExpired, Maker(), false};
        if (starts(kExpiredOnWine)) return {0, Maker(), false};
        return {};
    }

    // A build naming the maker and its renewed certificate.
    static services::ProgramVerification MakersBuild() {
        return services::ProgramVerification(*services::PublisherList::Parse(
            std::wstring(64, L'1') + L";" + std::wstring(64, L'2')));
    }

    static constexpr std::int32_t kBadDigest = static_cast<std::int32_t>(0x80096010);      // TRUST_E_BAD_DIGEST
    static constexpr std::int32_t kUntrustedRoot = static_cast<std::int32_t>(0x800B0109);  // CERT_E_UNTRUSTEDROOT
    static constexpr std::int32_t kExpired = static_cast<std::int32_t>(0x800B0101);        // CERT_E_EXPIRED

private:
    static services::Sha256 Filled(std::uint8_t value) {
        services::Sha256 digest;
        digest.fill(value);
        return digest;
    }
};

}  // namespace kanvel::testing
