#pragma once

#include <windows.h>
#include <wincrypt.h>

#include <optional>
#include <string>

#include "services/trust/FileSignature.h"

namespace kanvel::platform::win32 {

// Windows' Authenticode check of a program file (WinVerifyTrust, generic
// verify v2, the whole chain checked for revocation, no user interface) and
// what the platform reads beside it from the provider's data: the SHA-256
// of the signer's certificate, and whether that certificate was valid at
// the time the signature is judged at (its time stamp, otherwise now). The
// file is read through the open handle when one is given (it must allow
// reading), else opened by its path.
services::FileSignature AuthenticodeSignatureOf(const std::wstring& path, HANDLE file = nullptr);

// The SHA-256 of a certificate (its encoded bytes), as a publisher is named.
std::optional<services::Sha256> CertificateSha256(const CERT_CONTEXT& certificate);

}  // namespace kanvel::platform::win32
