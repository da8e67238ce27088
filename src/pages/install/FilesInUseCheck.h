#pragma once

#include <string>
#include <vector>

#include "pages/PageEnvironment.h"
#include "pages/install/InUsePolicy.h"
#include "services/system/FileInUse.h"
#include "ui/Form.h"

namespace kanvel::install {

// Before an installation replaces files that exist, or a removal deletes
// them, and before anything is fetched: whether other programs hold any of
// them. With a window the user is shown the files and the programs and may
// look again ("Ponów") as often as needed, or give up ("Anuluj"); without
// one, the programs are asked to close when the run was told so, and the
// files are looked at once more.
class FilesInUseCheck {
public:
    FilesInUseCheck(pages::PageEnvironment& environment, const ui::Form& owner, const InUsePolicy& policy)
        : environment_(environment), owner_(owner), policy_(policy) {}

    // The files still held when the check gave up; empty: go on.
    std::vector<services::FileInUse> StillInUse(const std::vector<std::wstring>& files);

private:
    bool userRetries(const std::vector<services::FileInUse>& inUse);

    pages::PageEnvironment& environment_;
    const ui::Form& owner_;
    const InUsePolicy& policy_;
};

}  // namespace kanvel::install
