#pragma once

#include <memory>
#include <string>

#include "services/trust/FileSignature.h"
#include "services/trust/Sha256Digest.h"

namespace kanvel::services {

// Digests and signatures as the platform computes and checks them.
class Cryptography {
public:
    virtual ~Cryptography() = default;

    // A SHA-256 to compute.
    virtual std::unique_ptr<Sha256Digest> StartSha256() = 0;
    // The Authenticode signature of a program file as Windows sees it.
    virtual FileSignature SignatureOf(const std::wstring& path) = 0;
};

}  // namespace kanvel::services
