#include "platform/win32/AuthenticodeSignature.h"

#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>


namespace kanvel::platform::win32 {

namespace {
constexpr const wchar_t* kSha256 = L"SHA256";

// WinVerifyTrust with the state kept open until this goes, so that the
// provider's data (the signer and its chain) can be read after the verdict.
class TrustVerification {
public:
    TrustVerification(const std::wstring& path, HANDLE file) {
        file_.cbStruct = sizeof file_;
        file_.pcwszFilePath = path.c_str();
        file_.hFile = file;
        data_.cbStruct = sizeof data_;
        data_.dwUIChoice = WTD_UI_NONE;
        data_.fdwRevocationChecks = WTD_REVOKE_WHOLECHAIN;
        data_.dwUnionChoice = WTD_CHOICE_FILE;
        data_.pFile = &file_;
        data_.dwStateAction = WTD_STATEACTION_VERIFY;
        status_ = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action_, &data_);
    }
    ~TrustVerification() {
        data_.dwStateAction = WTD_STATEACTION_CLOSE;
        WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action_, &data_);
    }
    TrustVerification(const TrustVerification&) = delete;
    TrustVerification& operator=(const TrustVerification&) = delete;

    LONG status() const { return status_; }
    // The first signer, when the file has a signature Windows could read.
    CRYPT_PROVIDER_SGNR* signer() const {
        CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(data_.hWVTStateData);
        return provider != nullptr ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
    }

private:
    GUID action_ = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    WINTRUST_FILE_INFO file_{};
    WINTRUST_DATA data_{};
    LONG status_ = 0;
};

}  // namespace

std::optional<services::Sha256> CertificateSha256(const CERT_CONTEXT& certificate) {
    services::Sha256 digest{};
    DWORD size = static_cast<DWORD>(digest.size());
    if (!CryptHashCertificate2(kSha256, 0, nullptr, certificate.pbCertEncoded, certificate.cbCertEncoded,
                               digest.data(), &size) ||
        size != digest.size())
        return std::nullopt;
    return digest;
}

services::FileSignature AuthenticodeSignatureOf(const std::wstring& path, HANDLE file) {
    services::FileSignature signature;
    const TrustVerification verification(path, file);
    signature.trustStatus = static_cast<std::int32_t>(verification.status());
    CRYPT_PROVIDER_SGNR* signer = verification.signer();
    const CRYPT_PROVIDER_CERT* certificate = signer != nullptr ? WTHelperGetProvCertFromChain(signer, 0) : nullptr;
    if (certificate == nullptr || certificate->pCert == nullptr) return signature;
    signature.signer = CertificateSha256(*certificate->pCert);
    // The moment Windows judges the signature at: its time stamp, else now.
    FILETIME judgedAt = signer->sftVerifyAsOf;
    signature.signerValidWhenJudged = CertVerifyTimeValidity(&judgedAt, certificate->pCert->pCertInfo) == 0;
    return signature;
}

}  // namespace kanvel::platform::win32
