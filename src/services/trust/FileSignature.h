#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace kanvel::services {

// A SHA-256 digest, such as that of a signer's certificate.
using Sha256 = std::array<std::uint8_t, 32>;

// What Windows found in a program file's Authenticode signature. The
// platform reads it; services::ProgramVerification decides what it means.
struct FileSignature {
    // Windows' own verdict on the signature and its whole certificate chain
    // (the answer of WinVerifyTrust): 0 when it accepts them, otherwise the
    // reason, such as 0x800B0100 for a file without signature.
    std::int32_t trustStatus = kNoSignature;
    // The SHA-256 of the signer's certificate, when the file carries a
    // signature Windows could read.
    std::optional<Sha256> signer;
    // The signer's certificate was valid at the moment the signature is
    // judged at: its time stamp when it has one, otherwise now.
    bool signerValidWhenJudged = false;

    static constexpr std::int32_t kAccepted = 0;
    static constexpr std::int32_t kNoSignature = static_cast<std::int32_t>(0x800B0100);  // TRUST_E_NOSIGNATURE
};

}  // namespace kanvel::services
