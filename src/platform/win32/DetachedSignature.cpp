#include "platform/win32/DetachedSignature.h"

#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/win32/AuthenticodeSignature.h"
#include "platform/win32/CngSha256.h"
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

struct MessageTraits {
    using Handle = HCRYPTMSG;
    static constexpr Handle Empty() noexcept { return nullptr; }
    static bool Free(Handle message) noexcept { return CryptMsgClose(message) != FALSE; }
};

const BYTE* BytesOf(std::string_view bytes) { return reinterpret_cast<const BYTE*>(bytes.data()); }

// A parameter of a decoded message, as the bytes CryptMsgGetParam gives;
// nothing when the message has none.
std::optional<std::vector<BYTE>> MessageParam(HCRYPTMSG message, DWORD param) {
    DWORD size = 0;
    if (!CryptMsgGetParam(message, param, 0, nullptr, &size)) return std::nullopt;
    std::vector<BYTE> bytes(size);
    if (!CryptMsgGetParam(message, param, 0, bytes.data(), &size)) return std::nullopt;
    bytes.resize(size);
    return bytes;
}

// The digest of the content the signer signed: its message digest attribute,
// when the signature carries signed attributes (nothing when it has none).
std::optional<std::vector<BYTE>> SignedDigest(const CRYPT_ATTRIBUTES& attributes) {
    for (DWORD i = 0; i < attributes.cAttr; ++i) {
        const CRYPT_ATTRIBUTE& attribute = attributes.rgAttr[i];
        if (std::string_view(attribute.pszObjId) != szOID_RSA_messageDigest || attribute.cValue != 1) continue;
        DWORD size = 0;
        const CRYPT_ATTR_BLOB& value = attribute.rgValue[0];
        if (!CryptDecodeObjectEx(kEncodings, X509_OCTET_STRING, value.pbData, value.cbData, 0, nullptr, nullptr, &size))
            return std::vector<BYTE>();
        std::vector<BYTE> decoded(size);
        if (!CryptDecodeObjectEx(kEncodings, X509_OCTET_STRING, value.pbData, value.cbData, 0, nullptr,
                                 decoded.data(), &size))
            return std::vector<BYTE>();
        const auto* blob = reinterpret_cast<const CRYPT_DATA_BLOB*>(decoded.data());
        return std::vector<BYTE>(blob->pbData, blob->pbData + blob->cbData);
    }
    return std::vector<BYTE>();  // signed attributes without the digest: matches nothing
}

// Whether the digest the signer signed is the SHA-256 of these bytes. With
// signed attributes the signature covers the attributes, and the attribute
// "message digest" ties them to the content. Windows compares the two in
// CryptVerifyDetachedMessageSignature; Wine 8's crypt32 checks only the
// signature over the attributes, so a changed list with a signature of
// another would pass there. The comparison is made here once more.
bool SignedDigestMatches(std::string_view content, std::string_view signature) {
    UniqueHandle<MessageTraits> message(CryptMsgOpenToDecode(kEncodings, CMSG_DETACHED_FLAG, 0, 0, nullptr, nullptr));
    if (!message || !CryptMsgUpdate(message.get(), BytesOf(signature), static_cast<DWORD>(signature.size()), TRUE))
        return false;
    const auto signer = MessageParam(message.get(), CMSG_SIGNER_INFO_PARAM);
    if (!signer) return false;
    const auto& info = *reinterpret_cast<const CMSG_SIGNER_INFO*>(signer->data());
    if (std::string_view(info.HashAlgorithm.pszObjId) != szOID_NIST_sha256) return false;
    const auto attributes = MessageParam(message.get(), CMSG_SIGNER_AUTH_ATTR_PARAM);
    // Without signed attributes the signature is over the content's own digest itself.
    if (!attributes) return true;
    const auto signedDigest = SignedDigest(*reinterpret_cast<const CRYPT_ATTRIBUTES*>(attributes->data()));
    CngSha256 digest;
    digest.Add(reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
    const services::Sha256 computed = digest.Finish();
    return signedDigest && std::equal(signedDigest->begin(), signedDigest->end(), computed.begin(), computed.end());
}

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
    if (!SignedDigestMatches(content, signature)) {
        verdict.trustStatus = static_cast<std::int32_t>(CRYPT_E_HASH_VALUE);
        return verdict;
    }
    verdict.signer = CertificateSha256(*signer.get());
    verdict.signerValidWhenJudged = CertVerifyTimeValidity(nullptr, signer.get()->pCertInfo) == 0;
    verdict.trustStatus = ChainVerdict(signer.get());
    return verdict;
}

}  // namespace kanvel::platform::win32
