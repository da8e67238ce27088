#pragma once

#include <string_view>

#include "services/trust/FileSignature.h"

namespace kanvel::platform::win32 {

// Windows' own judgement of a detached CMS (PKCS #7) signature of some
// bytes, in the order the checks depend on each other:
//   1. CryptVerifyDetachedMessageSignature: the signature is a CMS signed
//      message, its signer's signature matches the bytes (the digest of
//      the bytes against the signed one); it gives the signer's certificate,
//      found among the certificates the signature carries. The digest the
//      signer signed (its "message digest" attribute) is compared with the
//      SHA-256 of the bytes once more here: Wine 8's crypt32 leaves that out.
//   2. CertGetCertificateChain: the signer's chain as of now, through the
//      carried certificates to a root the machine trusts, for code signing
//      (the usage the chain must allow), revocation checked for every
//      certificate but the root.
//   3. CertVerifyCertificateChainPolicy (the base policy): the chain's
//      verdict, 0 or the reason (CERT_E_UNTRUSTEDROOT, CERT_E_EXPIRED,
//      CERT_E_WRONG_USAGE, ...); a revocation server out of reach is
//      ignored, as Authenticode's default policy ignores it, a revoked
//      certificate is not.
// The first failing step's error is the verdict. The SHA-256 of the signer's
// certificate and whether it is valid now are read beside it.
services::FileSignature DetachedSignatureOf(std::string_view content, std::string_view signature);

}  // namespace kanvel::platform::win32
