#pragma once

#include <memory>
#include <string>

#include "services/system/Shell.h"
#include "services/trust/FileSignature.h"
#include "services/trust/PublisherList.h"
#include "services/trust/SignatureReading.h"

namespace kanvel::services {

// Whether a program file may be started: when the build names the maker's
// signing certificates, only a file whose Authenticode signature Windows
// accepts, made by one of them while its certificate was valid. Windows'
// verdict alone is not enough: it accepts any signer it trusts, and Wine
// accepts any signature that matches the file. A build without a publisher
// starts what it downloaded unverified (its configure said so).
//
// The file is checked through a handle that keeps it from being changed,
// replaced or deleted, and that handle is held until the program has been
// started (or the file copied): nothing can be swapped in between. The
// signature is read through `reading`, off the asking thread, so that its
// window answers while Windows fetches revocation lists.
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

    // The program file, held, when it may be used: verification is not
    // required, or its signature is the maker's. Nothing when it is refused
    // or cannot be held. It stays held as long as the answer lives.
    std::unique_ptr<HeldProgram> HoldIfAccepted(Shell& shell, const std::wstring& programFile,
                                                const SignatureReading& reading) const;

    // Declined: the user said "No" to the system's elevation prompt;
    // NotStarted: the start failed for any other reason.
    enum class StartOutcome { Started, Refused, Declined, NotStarted };
    // Holds the program file, checks it and, when it may be used, starts it
    // while it is still held.
    StartOutcome Start(Shell& shell, const std::wstring& programFile, const std::wstring& directory, StartAs as,
                       const SignatureReading& reading) const;

private:
    ProgramVerification(PublisherList publishers, bool required);

    PublisherList publishers_;
    bool required_;
};

}  // namespace kanvel::services
