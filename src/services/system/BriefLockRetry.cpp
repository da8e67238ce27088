#include "services/system/BriefLockRetry.h"

#include <algorithm>

namespace kanvel::services {

FileFailure BriefLockRetry::Run(const std::function<FileFailure()>& attempt) const {
    FileFailure failure = attempt();
    int paused = 0;
    int pause = kFirstPauseMilliseconds;
    while (IsBrief(failure) && paused < kPatienceMilliseconds) {
        const int step = std::min(pause, kPatienceMilliseconds - paused);
        clock_.Sleep(step);
        paused += step;
        pause = std::min(pause * 2, kLongestPauseMilliseconds);
        failure = attempt();
    }
    return failure;
}

bool BriefLockRetry::IsBrief(FileFailure failure) {
    return failure == FileFailure::SharingViolation || failure == FileFailure::LockViolation ||
           failure == FileFailure::AccessDenied;
}

}  // namespace kanvel::services
