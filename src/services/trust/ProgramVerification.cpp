#include "services/trust/ProgramVerification.h"

#include "services/installer/BuildSettings.h"

namespace kanvel::services {

ProgramVerification::ProgramVerification(PublisherList publishers)
    : ProgramVerification(publishers, !publishers.empty()) {}

ProgramVerification::ProgramVerification(PublisherList publishers, bool required)
    : publishers_(std::move(publishers)), required_(required) {}

ProgramVerification ProgramVerification::AcceptingNothing() { return ProgramVerification(PublisherList(), true); }

ProgramVerification ProgramVerification::OfThisBuild() {
    // The configure refuses a malformed value; should one get through all the
    // same, nothing is started rather than everything.
    const auto publishers = PublisherList::Parse(BuildPublisher());
    return publishers ? ProgramVerification(*publishers) : AcceptingNothing();
}

bool ProgramVerification::Accepts(const FileSignature& signature) const {
    return signature.trustStatus == FileSignature::kAccepted && signature.signerValidWhenJudged &&
           signature.signer && publishers_.Contains(*signature.signer);
}

std::unique_ptr<HeldProgram> ProgramVerification::HoldIfAccepted(Shell& shell, const std::wstring& programFile,
                                                                 const SignatureReading& reading) const {
    auto held = shell.HoldProgram(programFile);
    if (held && required_ && !Accepts(reading.Read([&held] { return held->Signature(); }))) return nullptr;
    return held;
}

ProgramVerification::StartOutcome ProgramVerification::Start(Shell& shell, const std::wstring& programFile,
                                                             const std::wstring& directory, StartAs as,
                                                             const SignatureReading& reading) const {
    const auto held = HoldIfAccepted(shell, programFile, reading);
    if (!held) return StartOutcome::Refused;
    switch (held->Start(directory, as)) {
        case HeldProgram::StartResult::Started: return StartOutcome::Started;
        case HeldProgram::StartResult::Declined: return StartOutcome::Declined;
        case HeldProgram::StartResult::Failed: break;
    }
    return StartOutcome::NotStarted;
}

}  // namespace kanvel::services
