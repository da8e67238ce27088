#pragma once

#include <functional>

#include "services/system/Clock.h"

namespace kanvel::services {

// Why one try of a file operation (rename, replace, copy, delete) failed, as
// far as trying it again is concerned.
enum class FileFailure {
    None,              // it succeeded
    SharingViolation,  // another program holds the file open without sharing it
    LockViolation,     // another program has locked a range of the file
    AccessDenied,      // refused with no lasting cause in sight: a file pending
                       // delete, a virus scanner's or a backup tool's hold
    ReadOnly,          // refused because the file is read-only: that lasts
    Other,             // anything else (no such file, no space, ...)
};

// Virus scanners, the search indexer and backup tools open a file for a
// moment just after it was written. A rename, replace, copy or delete that
// meets such a hold is tried again after short, growing pauses, until it
// succeeds, fails for a reason that lasts, or the pauses add up to a few
// seconds: a program that keeps the file longer is really using it.
class BriefLockRetry {
public:
    static constexpr int kPatienceMilliseconds = 3000;
    static constexpr int kFirstPauseMilliseconds = 25;
    static constexpr int kLongestPauseMilliseconds = 500;

    explicit BriefLockRetry(Clock& clock) : clock_(clock) {}

    // Tries the operation until one of the ends above; answers how its last
    // try ended.
    FileFailure Run(const std::function<FileFailure()>& attempt) const;

    // Whether a failure can come from a hold that ends by itself.
    static bool IsBrief(FileFailure failure);

private:
    Clock& clock_;
};

}  // namespace kanvel::services
