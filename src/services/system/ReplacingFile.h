#pragma once

#include <cstdint>

#include "services/trust/FileSignature.h"
#include "services/http/HttpClient.h"

namespace kanvel::services {

// A file being written in place of another: the bytes go to a temporary
// file in the target's folder, and only Commit puts it in the target's place.
// Destroyed without Commit, it removes the temporary file and leaves the
// target exactly as it was. Failures throw InputOutputError.
class ReplacingFile : public ByteSink {
public:
    // The Authenticode signature of what has been written, read from the
    // file as it is held open (nobody can change it in between).
    virtual FileSignature Signature() = 0;
    virtual void Commit() = 0;
    // The bytes the partial file holds.
    virtual std::int64_t Size() = 0;
    // Empties the partial file: what is written next starts it anew.
    virtual void Restart() = 0;
    // Destroyed without Commit after this, the partial file stays with what
    // it holds, for a later download to go on from.
    virtual void KeepPartial() = 0;
};


}  // namespace kanvel::services
