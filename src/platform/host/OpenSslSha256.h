#pragma once

#include "services/trust/Sha256Digest.h"

struct evp_md_ctx_st;

namespace kanvel::platform::host {

// SHA-256 by OpenSSL's libcrypto (Debian's libssl-dev), for the tests.
class OpenSslSha256 : public services::Sha256Digest {
public:
    OpenSslSha256();
    ~OpenSslSha256() override;
    OpenSslSha256(const OpenSslSha256&) = delete;
    OpenSslSha256& operator=(const OpenSslSha256&) = delete;

    void Add(const std::uint8_t* data, std::size_t size) override;
    services::Sha256 Finish() override;

private:
    evp_md_ctx_st* context_;
};

}  // namespace kanvel::platform::host
