#pragma once

#include <windows.h>
#include <bcrypt.h>

#include "services/trust/Sha256Digest.h"

namespace kanvel::platform::win32 {

// SHA-256 by Windows' own cryptography (CNG, bcrypt.dll).
class CngSha256 : public services::Sha256Digest {
public:
    CngSha256();
    ~CngSha256() override;
    CngSha256(const CngSha256&) = delete;
    CngSha256& operator=(const CngSha256&) = delete;

    void Add(const std::uint8_t* data, std::size_t size) override;
    services::Sha256 Finish() override;

private:
    [[noreturn]] static void fail(NTSTATUS status);

    BCRYPT_ALG_HANDLE algorithm_ = nullptr;
    BCRYPT_HASH_HANDLE hash_ = nullptr;
};

}  // namespace kanvel::platform::win32
