#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "services/trust/FileSignature.h"

namespace kanvel::services {

// A SHA-256 computed over bytes given piece by piece. The platform makes it:
// Windows' own cryptography (CNG) on Windows, a system library in the tests.
class Sha256Digest {
public:
    virtual ~Sha256Digest() = default;
    virtual void Add(const std::uint8_t* data, std::size_t size) = 0;
    // The digest of everything added; nothing may be added after.
    virtual Sha256 Finish() = 0;
};

// The digest as 64 lower-case hexadecimal digits, as sha256sum prints it.
std::wstring HexOf(const Sha256& digest);

}  // namespace kanvel::services
