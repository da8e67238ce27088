#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "services/trust/FileSignature.h"
#include "services/trust/Sha256Digest.h"

namespace kanvel::services {

// Digests and signatures as the platform computes and judges them.
class Cryptography {
public:
    virtual ~Cryptography() = default;

    // A SHA-256 to compute. (A program's signature is read through the
    // handle that holds it: Shell::HoldProgram.)
    virtual std::unique_ptr<Sha256Digest> StartSha256() = 0;

    // The detached CMS (PKCS #7) signature `signature` of the bytes
    // `content`, as the system judges it: the signature against the bytes,
    // then its signer's certificate chain to a root the machine trusts, for
    // code signing, as of now. trustStatus is 0 when the system accepts
    // both, otherwise the reason (a Windows error number); the signer and
    // its validity now are given when the signature names one.
    virtual FileSignature VerifyDetachedSignature(std::string_view content, std::string_view signature) = 0;
};

}  // namespace kanvel::services
