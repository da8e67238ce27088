#pragma once

#include <string>

#include "services/localcopy/ReleaseList.h"

namespace kanvel::pages {

// The download server's release list for a run with the window, fetched and
// judged when the user first asks for a file from the server rather than
// before the window opens: a server out of reach must not keep the window
// (its licence, its removal) from coming up.
class ReleaseGate {
public:
    struct Opening {
        // The list every file from the server is checked against; nothing:
        // the run goes on without one (a build without a publisher).
        const services::ReleaseList* list = nullptr;
        // Set when no file may come from the server now: what the user is told.
        std::wstring refusal;
    };

    virtual ~ReleaseGate() = default;
    // A list or a refusal, once judged, stands for the rest of the run; a
    // server out of reach is asked again the next time.
    virtual Opening Open() = 0;
};

}  // namespace kanvel::pages
