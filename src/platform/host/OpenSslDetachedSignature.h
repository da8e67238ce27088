#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "services/trust/FileSignature.h"

namespace kanvel::platform::host {

// Judges a detached CMS signature as Windows' CryptoAPI does, with OpenSSL's
// libcrypto, for the tests: first the signature against the bytes
// (CryptVerifyDetachedMessageSignature), then the signer's chain to one of
// the trusted roots, for code signing, as of now (CertGetCertificateChain
// and CertVerifyCertificateChainPolicy). Each fault is answered with the
// error number Windows documents for it:
//   not a signature at all             CRYPT_E_ASN1_BADTAG     0x8009310B
//   the bytes changed after signing    CRYPT_E_HASH_VALUE      0x80091007
//   the signature itself changed       NTE_BAD_SIGNATURE       0x80090006
//   the chain ends at no trusted root  CERT_E_UNTRUSTEDROOT    0x800B0109
//   a certificate of the chain expired CERT_E_EXPIRED          0x800B0101
//   the signer not for code signing    CERT_E_WRONG_USAGE      0x800B0110
//   any other fault of the chain       CERT_E_CHAINING         0x800B010A
class OpenSslDetachedSignature {
public:
    // The roots the machine trusts, as PEM files (a test's certificate authority).
    explicit OpenSslDetachedSignature(const std::vector<std::string>& trustedRoots) : trustedRoots_(trustedRoots) {}

    services::FileSignature Verify(std::string_view content, std::string_view signature) const;

    static constexpr std::int32_t kNotASignature = static_cast<std::int32_t>(0x8009310B);
    static constexpr std::int32_t kContentChanged = static_cast<std::int32_t>(0x80091007);
    static constexpr std::int32_t kBadSignature = static_cast<std::int32_t>(0x80090006);
    static constexpr std::int32_t kUntrustedRoot = static_cast<std::int32_t>(0x800B0109);
    static constexpr std::int32_t kExpired = static_cast<std::int32_t>(0x800B0101);
    static constexpr std::int32_t kWrongUsage = static_cast<std::int32_t>(0x800B0110);
    static constexpr std::int32_t kChaining = static_cast<std::int32_t>(0x800B010A);

private:
    const std::vector<std::string>& trustedRoots_;
};

}  // namespace kanvel::platform::host
