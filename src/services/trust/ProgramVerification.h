#pragma once

#include <string>

#include "services/trust/FileSignature.h"
#include "services/system/Cryptography.h"
#include "services/trust/PublisherList.h"

namespace kanvel::services {

// Whether a program file may be started: when the build names the maker's
// signing certificates, only a file whose Authenticode signature Windows
// accepts, made by one of them while its certificate was valid. Windows'
// verdict alone is not enough: it accepts any signer it trusts, and Wine
// accepts any signature that matches the file. A build without a publisher
// starts what it downloaded unverified (its configure said so).
class ProgramVerification {
public:
    explicit ProgramVerification(PublisherList publishers);
    // Fails closed: nothing is accepted.
    static ProgramVerification AcceptingNothing();
    // The publishers this build was configured with (KANVEL_PUBLISHER).
    static ProgramVerification OfThisBuild();

    // True when program files are checked at all.
    bool Required() const { return required_; }
    // True when the signature is the maker's.
    bool Accepts(const FileSignature& signature) const;
    // True when the program file may be started now: verification is not
    // required, or the file's signature is the maker's.
    bool MayStart(Cryptography& cryptography, const std::wstring& programFile) const;

private:
    ProgramVerification(PublisherList publishers, bool required);

    PublisherList publishers_;
    bool required_;
};

}  // namespace kanvel::services
