#pragma once

#include <memory>
#include <string>

#include "services/trust/FileSignature.h"
#include "services/trust/Sha256Digest.h"

namespace kanvel::services {

// Digests as the platform computes them.
class Cryptography {
public:
    virtual ~Cryptography() = default;

    // A SHA-256 to compute. (A program's signature is read through the
    // handle that holds it: Shell::HoldProgram.)
    virtual std::unique_ptr<Sha256Digest> StartSha256() = 0;
};

}  // namespace kanvel::services
