#pragma once

#include <string>

#include "services/trust/FileSignature.h"

namespace kanvel::services {

// As whom a started program runs.
enum class StartAs {
    // The account this installer runs as, elevated when the installer is.
    ThisAccount,
    // The user signed in at the desktop: an elevated installer has the
    // desktop's own shell start it, so that it is not elevated and the files
    // it makes belong to that user; otherwise it is started directly.
    SignedInUser,
};

// A program file held open so that nobody can change, replace or delete it
// (others may still read and start it), from the check of its signature
// until its process exists. Let go when this object goes.
class HeldProgram {
public:
    virtual ~HeldProgram() = default;

    // The Authenticode signature of the held file, read through the held handle.
    virtual FileSignature Signature() = 0;
    // Starts the held program with the folder as its working folder (empty:
    // the program's own); returns once its process exists (or the shell that
    // starts it has answered). False when it could not be started.
    virtual bool Start(const std::wstring& directory, StartAs as) = 0;
};

}  // namespace kanvel::services
