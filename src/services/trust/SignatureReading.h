#pragma once

#include <chrono>
#include <functional>

#include "services/trust/FileSignature.h"

namespace kanvel::services {

// Reads a program file's signature on a thread of its own. Windows' check
// may fetch certificate revocation lists online, for up to 15 s for each
// address it tries, and the thread that asks would be stuck as long: with
// the window on that thread, it would neither paint nor move. Only the
// reading moves: meanwhile the asking thread looks at it every kGlance and
// between looks calls whileWaiting, in which its window handles what
// arrived; everything the user sees stays on the asking thread.
//
// An exception from whileWaiting (the user ended the program) ends the wait
// only once the reading has ended: the file being read belongs to the
// caller and must outlive the reading. An exception from the reading itself
// reaches the caller.
class SignatureReading {
public:
    static constexpr std::chrono::milliseconds kGlance{20};

    explicit SignatureReading(std::function<void()> whileWaiting) : whileWaiting_(std::move(whileWaiting)) {}

    FileSignature Read(const std::function<FileSignature()>& read) const;

private:
    std::function<void()> whileWaiting_;
};

}  // namespace kanvel::services
