#include "services/download/FetchAhead.h"

#include "services/installer/InstallerError.h"

namespace kanvel::services {

FetchAhead::FetchAhead(FileSystem& files, Cryptography& cryptography, HttpClient& client)
    : files_(files), cryptography_(cryptography), client_(client) {}

void FetchAhead::Plan(std::vector<PlannedFile> files) {
    Drop();
    waiting_.assign(files.begin(), files.end());
    StartMore();
}

std::optional<AheadFile> FetchAhead::Take(const std::wstring& url, const std::wstring& localPath) {
    if (started_.empty() || started_.front().url != url || started_.front().localPath != localPath) {
        Drop();
        return std::nullopt;
    }
    AheadFile taken = std::move(started_.front());
    started_.pop_front();
    StartMore();
    return taken;
}

void FetchAhead::Drop() {
    // Given up newest first, so that no later request is waited for while
    // an earlier one is being stopped.
    while (!started_.empty()) started_.pop_back();
    waiting_.clear();
}

void FetchAhead::StartMore() {
    while (started_.size() < kMostFilesAhead && !waiting_.empty()) {
        PlannedFile next = std::move(waiting_.front());
        waiting_.pop_front();
        AheadFile ahead{std::move(next.url), std::move(next.localPath), nullptr, nullptr, nullptr};
        try {
            ahead.file = files_.CreateReplacingFile(ahead.localPath);
        } catch (const InstallerError&) {
            // Its own turn will meet the same trouble and report it; nothing
            // more is fetched ahead.
            waiting_.clear();
            return;
        }
        ahead.counted = std::make_unique<DigestingSink>(*ahead.file, cryptography_.StartSha256());
        ahead.get = client_.Start({ahead.url}, *ahead.counted);
        started_.push_back(std::move(ahead));
    }
}

}  // namespace kanvel::services
