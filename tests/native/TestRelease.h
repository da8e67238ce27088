#pragma once

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>

#include "InstallerHarness.h"
#include "services/trust/ProgramVerification.h"

namespace kanvel::testing {

// The test certificates of tools/tls/make-test-pki.sh (a test CA, the
// maker's code-signing certificate "signing", its expired earlier one
// "signing-expired", someone else's self-signed "signing-other", and the
// CA's server certificate "localhost", which is not for code signing), made
// once in the build tree and kept while they are valid; and release lists
// signed by them through tools/release-list.sh, as the maker makes them.
class TestRelease {
public:
    static std::string Pki(const std::string& file) {
        static std::once_flag made;
        std::call_once(made, [] {
            // Several test processes may ask at once: one makes them, the others wait.
            const std::string command = "flock '" + std::string(KANVEL_TEST_PKI) + ".lock' bash '" +
                                        KANVEL_SOURCE_DIR + "/tools/tls/make-test-pki.sh' '" + KANVEL_TEST_PKI +
                                        "' >/dev/null 2>&1";
            if (std::system(command.c_str()) != 0) throw std::runtime_error("the test certificates were not made");
        });
        return std::string(KANVEL_TEST_PKI) + "/" + file;
    }
    static std::string TrustedRoot() { return Pki("ca.crt"); }

    // The SHA-256 of a certificate of the test PKI, as KANVEL_PUBLISHER names it.
    static std::wstring PublisherOf(const std::string& certificate) {
        std::FILE* file = std::fopen(Pki(certificate + ".crt").c_str(), "r");
        if (file == nullptr) throw std::runtime_error("no certificate " + certificate);
        X509* x509 = PEM_read_X509(file, nullptr, nullptr, nullptr);
        std::fclose(file);
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        X509_digest(x509, EVP_sha256(), digest, &length);
        X509_free(x509);
        std::wstring hex;
        for (unsigned int i = 0; i < length; ++i) {
            wchar_t pair[3];
            std::swprintf(pair, 3, L"%02x", digest[i]);
            hex += pair;
        }
        return hex;
    }

    // A build naming the maker's certificate and its expired earlier one (as
    // the signed test installer does), and the test signatures' maker.
    static services::ProgramVerification MakersBuild() {
        return services::ProgramVerification(*services::PublisherList::Parse(
            PublisherOf("signing") + L";" + PublisherOf("signing-expired") + L";" + std::wstring(64, L'1')));
    }

    struct Signed {
        std::string list;
        std::string signature;
    };
    // The release list of a server tree holding these files ("/"-separated
    // paths), signed by the certificate named, made by tools/release-list.sh.
    static Signed Sign(const std::map<std::string, std::string>& files, const std::string& version,
                       const std::string& signer = "signing") {
        TempTree tree;
        for (const auto& [path, bytes] : files) {
            const auto file = tree.path() / path;
            std::filesystem::create_directories(file.parent_path());
            std::ofstream(file, std::ios::binary) << bytes;
        }
        const std::string command = "bash '" + std::string(KANVEL_SOURCE_DIR) + "/tools/release-list.sh' '" +
                                    tree.path().string() + "' " + version + " '" + Pki(signer + ".crt") + "' '" +
                                    Pki(signer + ".key") + "' >/dev/null";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("release-list.sh failed");
        return {Read(tree.path() / "Kanvel-pliki.txt"), Read(tree.path() / "Kanvel-pliki.txt.p7s")};
    }

private:
    static std::string Read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
};

}  // namespace kanvel::testing
