#include "platform/win32/DetachedSignature.h"

#include <windows.h>
#include <wincrypt.h>

#include "platform/win32/AuthenticodeSignature.h"
#include "platform/win32/ResourceHolders.h"

namespace kanvel::platform::win32 {

namespace {
constexpr DWORD kEncodings = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

struct CertificateTraits {
    using Handle = PCCERT_CONTEXT;
    static constexpr Handle Empty() noexcept { return nullptr; }
    static bool Free(Handle certificate) noexcept { return CertFreeCertificateContext(certificate) != FALSE; }
};
struct ChainTraits {
    using Handle = PCCERT_CHAIN_CONTEXT;
    static constexpr Handle Empty() noexcept { return nullptr; }
    static bool Free(Handle chain) noexcept {
        CertFreeCertificateChain(chain);
        return true;
    }
};

const BYTE* BytesOf(std::string_view bytes) { return reinterpret_cast<const BYTE*>(bytes.data()); }

std::int32_t ChainVerdict(PCCERT_CONTEXT signer) {
    char codeSigning[] = szOID_PKIX_KP_CODE_SIGNING;
    LPSTR usages[] = {codeSigning};
    CERT_CHAIN_PARA chainPara{};
    chainPara.cbSize = sizeof chainPara;
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    UniqueHandle<ChainTraits> chain;
    if (!CertGetCertificateChain(nullptr, signer, nullptr, signer->hCertStore, &chainPara,
                                 CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT, nullptr, chain.put()))
        return static_cast<std::int32_t>(HRESULT_FROM_WIN32(GetLastError()));
    CERT_CHAIN_POLICY_PARA policyPara{};
    policyPara.cbSize = sizeof policyPara;
    policyPara.dwFlags = CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_BASE, chain.get(), &policyPara, &status))
        return static_cast<std::int32_t>(CERT_E_CHAINING);
    return static_cast<std::int32_t>(status.dwError);
}
}  // namespace

services::FileSignature DetachedSignatureOf(std::string_view content, std::string_view signature) {
    services::FileSignature verdict;
    CRYPT_VERIFY_MESSAGE_PARA messagePara{};
    messagePara.cbSize = sizeof messagePara;
    messagePara.dwMsgAndCertEncodingType = kEncodings;
    const BYTE* pieces[] = {BytesOf(content)};
    DWORD pieceSizes[] = {static_cast<DWORD>(content.size())};
    UniqueHandle<CertificateTraits> signer;
    if (!CryptVerifyDetachedMessageSignature(&messagePara, 0, BytesOf(signature), static_cast<DWORD>(signature.size()),
                                             1, pieces, pieceSizes, signer.put())) {
        verdict.trustStatus = static_cast<std::int32_t>(GetLastError());
        return verdict;
    }
    if (!signer) return verdict;
    verdict.signer = CertificateSha256(*signer.get());
    verdict.signerValidWhenJudged = CertVerifyTimeValidity(nullptr, signer.get()->pCertInfo) == 0;
    verdict.trustStatus = ChainVerdict(signer.get());
    return verdict;
}

}  // namespace kanvel::platform::win32
