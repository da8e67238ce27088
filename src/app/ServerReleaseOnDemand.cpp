#include "app/ServerReleaseOnDemand.h"

namespace kanvel::app {

pages::ReleaseGate::Opening ServerReleaseOnDemand::Open() {
    if (!judged_) {
        ServerRelease release = ServerRelease::Fetch(platform_, log_, verification_);
        const bool final = release.list || release.stop == ExitCode::ReleaseListRefused;
        if (!final) return {nullptr, release.stop ? release.reason : std::wstring()};
        judged_ = std::move(release);
    }
    return {judged_->list.get(), judged_->stop ? judged_->reason : std::wstring()};
}

}  // namespace kanvel::app
