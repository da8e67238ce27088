#pragma once

namespace kanvel::install {

// What happens when files an installation replaces (or a removal deletes)
// are held by other programs. The window's way asks the user, who may close
// them and try again or give up; a run without a window cannot ask: it
// gives up, or, told to, asks the programs to close and goes on once they
// have.
class InUsePolicy {
public:
    // The window's way.
    InUsePolicy() = default;
    static InUsePolicy WithoutWindow(bool closeApplications) { return InUsePolicy(false, closeApplications); }

    bool AsksUser() const { return asksUser_; }
    bool ClosesApplications() const { return closesApplications_; }

private:
    InUsePolicy(bool asksUser, bool closesApplications)
        : asksUser_(asksUser), closesApplications_(closesApplications) {}

    bool asksUser_ = true;
    bool closesApplications_ = false;
};

}  // namespace kanvel::install
