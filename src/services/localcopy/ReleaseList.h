#pragma once

#include <memory>
#include <optional>
#include <string>

#include "services/http/HttpClient.h"
#include "services/localcopy/LayoutList.h"
#include "services/system/Cryptography.h"
#include "services/trust/FileDigest.h"
#include "services/trust/ProgramVerification.h"

namespace kanvel::services {

// The maker's list of a release at the download server's root: every file
// of the server with its size and SHA-256, and the release's version
// (LayoutList with a release line), signed by the maker beside it
// (Kanvel-pliki.txt.p7s, a detached CMS signature). It is fetched and judged
// before any file: its signature as ListSignature judges it, then its text
// as a copy's list is read. Every file fetched from the server afterwards is
// checked against it before it replaces anything.
class ReleaseList {
public:
    // Missing: the server answered that it has no list (404, 410);
    // Unreachable: the list could not be fetched (no connection, any other
    // answer); Refused: its signature or its text was refused.
    enum class Problem { None, Missing, Unreachable, Refused };
    struct Opening {
        std::unique_ptr<ReleaseList> list;
        Problem problem = Problem::None;
        std::wstring reason;
    };

    // Fetches the list and its signature from the server's root (baseUrl
    // ends in "/"), without the maker's credentials, and judges them.
    static Opening Fetch(Cryptography& cryptography, HttpClient& client, const ProgramVerification& verification,
                         const std::wstring& baseUrl);
    // Judges a list and its signature (nothing: there is none).
    static Opening Judge(Cryptography& cryptography, const ProgramVerification& verification, std::string text,
                         std::optional<std::string> signature);

    const LayoutList& list() const { return list_; }
    // The release the list names; empty for a list that names none.
    const std::wstring& release() const { return list_.release(); }
    // The list's and the signature's bytes as they arrived, for a copy of
    // the server to hold them unchanged.
    const std::string& text() const { return text_; }
    const std::optional<std::string>& signature() const { return signature_; }

    // Throws NotAsListed when the file is not listed, or what arrived is not
    // what the list names.
    void Check(const std::wstring& serverPath, const FileFacts& arrived) const;

private:
    ReleaseList(LayoutList list, std::string text, std::optional<std::string> signature);

    LayoutList list_;
    std::string text_;
    std::optional<std::string> signature_;
};

}  // namespace kanvel::services
