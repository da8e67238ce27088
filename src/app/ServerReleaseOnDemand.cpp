#include "app/ServerReleaseOnDemand.h"

namespace kanvel::app {

pages::ReleaseGate::Opening ServerReleaseOnDemand::Open() {
    if (!judged_) {
        ServerRelease release = ServerRelease::Fetch(platform_, log_, verification_);
        // Only the maker's list or a refused one is kept; a server out of reach is asked again.
        const bool settled = release.list || release.stop == ExitCode::ReleaseListRefused;
        if (!settled) return {nullptr, release.stop ? release.reason : std::wstring()};
        judged_ = std::move(release);
    }
    return {judged_->list.get(), judged_->stop ? judged_->reason : std::wstring()};
}

}  // namespace kanvel::app
