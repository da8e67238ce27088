// Adds a certificate authority to the Root store of the local machine, the
// way an administrator's tool would: used only inside a test Wine prefix, so
// that WinHTTP there trusts the test mirror's certificate.
// Usage: kanvel-trust-ca CA_CERTIFICATE (PEM or DER)
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<BYTE> ReadFileBytes(const wchar_t* path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// PEM ("-----BEGIN CERTIFICATE-----" and Base64) to DER; DER stays as it is.
std::vector<BYTE> ToDer(const std::vector<BYTE>& bytes) {
    DWORD size = 0;
    const auto* text = reinterpret_cast<const char*>(bytes.data());
    const auto length = static_cast<DWORD>(bytes.size());
    if (!CryptStringToBinaryA(text, length, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) {
        return bytes;
    }
    std::vector<BYTE> der(size);
    if (!CryptStringToBinaryA(text, length, CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr, nullptr)) {
        return {};
    }
    der.resize(size);
    return der;
}

int Fail(const char* what) {
    std::fprintf(stderr, "kanvel-trust-ca: %s (error %lu)\n", what, GetLastError());
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: kanvel-trust-ca CA_CERTIFICATE\n", stderr);
        return 2;
    }
    const std::vector<BYTE> der = ToDer(ReadFileBytes(argv[1]));
    if (der.empty()) {
        return Fail("no certificate in the file");
    }
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (root == nullptr) {
        return Fail("cannot open the Root store");
    }
    const BOOL added = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(),
                                                        static_cast<DWORD>(der.size()),
                                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    const int status = added ? 0 : Fail("cannot add the certificate");
    CertCloseStore(root, 0);
    return status;
}
