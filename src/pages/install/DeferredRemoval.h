#pragma once

#include <functional>
#include <string>

#include "pages/PageEnvironment.h"
#include "pages/install/InstallRecorder.h"

namespace kanvel::install {

// The installer copy kept in an installation cannot remove itself: a removal
// it starts goes on from a temporary copy (the second phase), while the run
// of the kept copy waits for its outcome. That removal leaves the kept copy,
// and the folders it keeps, until the first run has ended.
class DeferredRemoval {
public:
    DeferredRemoval(pages::PageEnvironment& environment, InstallRecorder& recorder)
        : environment_(environment), recorder_(recorder) {}

    // This run is the second phase of the kept copy's run: removal leaves
    // that copy to Complete.
    void Defer() { deferred_ = true; }
    // A window's removal in the second phase: the first run waits for the
    // outcome, and holds the kept copy while it waits. Before the kept copy
    // goes, RELEASE is called (once) to let that run end; the copy then goes
    // at once, in the window, with the folders it kept.
    void ReleaseFirstRunWith(std::function<void()> release) { release_ = std::move(release); }
    // Asked by a removal whose last edition has gone from FOLDER, before it
    // deletes the kept copy: true when the copy stays for Complete (the
    // folder is remembered), false when it goes now.
    bool Postpones(const std::wstring& folder);
    // Asked by a removal that found nothing of its edition in FOLDER: when
    // only the kept copy is left there (a window run of that copy removed
    // the installation, and started this one to delete the copy), the copy
    // stays for Complete; true then.
    bool TakesOverKeptCopy(const std::wstring& folder);
    // The install folder whose kept copy waits for Complete (empty when none).
    const std::wstring& Waiting() const { return folder_; }
    // Once the run that started this one has ended: deletes the kept copy of
    // the folder a removal left, and the folders that are empty then.
    void Complete();
    // True when FOLDER holds no edition's program file: its kept copy goes.
    static bool NoProgramLeftIn(services::Platform& platform, const std::wstring& folder);

private:
    pages::PageEnvironment& environment_;
    InstallRecorder& recorder_;
    bool deferred_ = false;
    std::function<void()> release_;
    // The install folder whose kept copy waits for Complete (empty when none).
    std::wstring folder_;
};

}  // namespace kanvel::install
