#include "platform/host/OpenSslSha256.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace kanvel::platform::host {

OpenSslSha256::OpenSslSha256() : context_(EVP_MD_CTX_new()) {
    if (context_ == nullptr || EVP_DigestInit_ex(context_, EVP_sha256(), nullptr) != 1) {
        EVP_MD_CTX_free(context_);
        throw std::runtime_error("SHA-256: OpenSSL could not start a digest");
    }
}

OpenSslSha256::~OpenSslSha256() { EVP_MD_CTX_free(context_); }

void OpenSslSha256::Add(const std::uint8_t* data, std::size_t size) {
    if (EVP_DigestUpdate(context_, data, size) != 1) throw std::runtime_error("SHA-256: OpenSSL update failed");
}

services::Sha256 OpenSslSha256::Finish() {
    services::Sha256 digest{};
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context_, digest.data(), &length) != 1 || length != digest.size())
        throw std::runtime_error("SHA-256: OpenSSL could not finish the digest");
    return digest;
}

}  // namespace kanvel::platform::host
