#include "platform/win32/CngSha256.h"

#include <algorithm>
#include <string>

#include "services/installer/InstallerError.h"

namespace kanvel::platform::win32 {

CngSha256::CngSha256() {
    NTSTATUS status = BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
    if (!BCRYPT_SUCCESS(status)) fail(status);
    // Since Windows 7 CNG keeps the hash object's memory itself.
    status = BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0);
    if (!BCRYPT_SUCCESS(status)) {
        BCryptCloseAlgorithmProvider(algorithm_, 0);
        fail(status);
    }
}

CngSha256::~CngSha256() {
    BCryptDestroyHash(hash_);
    BCryptCloseAlgorithmProvider(algorithm_, 0);
}

void CngSha256::Add(const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ULONG piece = static_cast<ULONG>(std::min<std::size_t>(size, 1u << 30));
        const NTSTATUS status = BCryptHashData(hash_, const_cast<PUCHAR>(data), piece, 0);
        if (!BCRYPT_SUCCESS(status)) fail(status);
        data += piece;
        size -= piece;
    }
}

services::Sha256 CngSha256::Finish() {
    services::Sha256 digest{};
    const NTSTATUS status = BCryptFinishHash(hash_, digest.data(), static_cast<ULONG>(digest.size()), 0);
    if (!BCRYPT_SUCCESS(status)) fail(status);
    return digest;
}

void CngSha256::fail(NTSTATUS status) {
    throw services::InstallerError(L"SHA-256: CNG error " + std::to_wstring(static_cast<unsigned long>(status)));
}

}  // namespace kanvel::platform::win32
