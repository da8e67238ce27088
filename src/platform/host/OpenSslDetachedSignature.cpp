#include "platform/host/OpenSslDetachedSignature.h"

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace kanvel::platform::host {

namespace {
template <auto Free>
struct Freeing {
    template <typename T>
    void operator()(T* p) const { Free(p); }
};
using Bio = std::unique_ptr<BIO, Freeing<BIO_free>>;
using Cms = std::unique_ptr<CMS_ContentInfo, Freeing<CMS_ContentInfo_free>>;
using Store = std::unique_ptr<X509_STORE, Freeing<X509_STORE_free>>;
using StoreContext = std::unique_ptr<X509_STORE_CTX, Freeing<X509_STORE_CTX_free>>;
void FreeStack(STACK_OF(X509) * stack) { sk_X509_free(stack); }
void FreeStackAndCertificates(STACK_OF(X509) * stack) { sk_X509_pop_free(stack, X509_free); }
// The signers are the signature's own; the carried certificates are copies.
using Signers = std::unique_ptr<STACK_OF(X509), Freeing<FreeStack>>;
using Certificates = std::unique_ptr<STACK_OF(X509), Freeing<FreeStackAndCertificates>>;

Bio Memory(std::string_view bytes) { return Bio(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size()))); }

services::Sha256 Sha256Of(X509* certificate) {
    services::Sha256 digest{};
    unsigned int length = 0;
    X509_digest(certificate, EVP_sha256(), digest.data(), &length);
    return digest;
}

bool ValidNow(X509* certificate) {
    return X509_cmp_current_time(X509_get0_notBefore(certificate)) < 0 &&
           X509_cmp_current_time(X509_get0_notAfter(certificate)) > 0;
}

// Why the signature does not match the bytes: the digest of the bytes
// differs from the signed one, or the signature over it is wrong.
std::int32_t SignatureFault() {
    const unsigned long error = ERR_peek_last_error();
    ERR_clear_error();
    return ERR_GET_REASON(error) == CMS_R_VERIFICATION_FAILURE ? OpenSslDetachedSignature::kBadSignature
                                                                  : OpenSslDetachedSignature::kContentChanged;
}

std::int32_t ChainFault(int error) {
    switch (error) {
        case X509_V_ERR_CERT_HAS_EXPIRED:
        case X509_V_ERR_CERT_NOT_YET_VALID: return OpenSslDetachedSignature::kExpired;
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN: return OpenSslDetachedSignature::kUntrustedRoot;
        default: return OpenSslDetachedSignature::kChaining;
    }
}
}  // namespace

services::FileSignature OpenSslDetachedSignature::Verify(std::string_view content, std::string_view signature) const {
    services::FileSignature verdict{kNotASignature, std::nullopt, false};
    const Bio signatureBytes = Memory(signature);
    const Cms cms(d2i_CMS_bio(signatureBytes.get(), nullptr));
    if (!cms) {
        ERR_clear_error();
        return verdict;
    }
    // The signature against the bytes first, its signer's chain after, as
    // CryptVerifyDetachedMessageSignature leaves the chain to its caller.
    const Bio contentBytes = Memory(content);
    if (CMS_verify(cms.get(), nullptr, nullptr, contentBytes.get(), nullptr,
                   CMS_BINARY | CMS_DETACHED | CMS_NO_SIGNER_CERT_VERIFY) != 1) {
        verdict.trustStatus = SignatureFault();
        return verdict;
    }
    const Signers signers(CMS_get0_signers(cms.get()));
    X509* signer = signers && sk_X509_num(signers.get()) > 0 ? sk_X509_value(signers.get(), 0) : nullptr;
    if (signer == nullptr) return verdict;
    verdict.signer = Sha256Of(signer);
    verdict.signerValidWhenJudged = ValidNow(signer);

    const Store store(X509_STORE_new());
    for (const std::string& root : trustedRoots_)
        if (X509_STORE_load_file(store.get(), root.c_str()) != 1) ERR_clear_error();
    const Certificates carried(CMS_get1_certs(cms.get()));
    const StoreContext context(X509_STORE_CTX_new());
    X509_STORE_CTX_init(context.get(), store.get(), signer, carried.get());
    if (X509_verify_cert(context.get()) != 1) {
        verdict.trustStatus = ChainFault(X509_STORE_CTX_get_error(context.get()));
        ERR_clear_error();
        return verdict;
    }
    const bool codeSigning = (X509_get_extension_flags(signer) & EXFLAG_XKUSAGE) != 0 &&
                             (X509_get_extended_key_usage(signer) & XKU_CODE_SIGN) != 0;
    verdict.trustStatus = codeSigning ? services::FileSignature::kAccepted : kWrongUsage;
    return verdict;
}

}  // namespace kanvel::platform::host
