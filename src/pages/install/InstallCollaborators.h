#pragma once

#include "pages/install/AppsAndFeaturesEntry.h"
#include "pages/install/DeferredRemoval.h"
#include "pages/install/DowngradeRule.h"
#include "pages/install/InUsePolicy.h"
#include "pages/install/InstallRecorder.h"
#include "pages/install/WorkingTablePolicy.h"

namespace kanvel::install {

// The collaborators the install form calls for what its handlers leave to
// others: the record of what they did, the "Apps & features" entry with the
// kept installer copy, the removal of that copy once the run it started has
// ended, which working tables the database copy takes, and what to do about
// files other programs hold, and whether an older release may replace a
// newer one. The run owns them and reads them too.
struct InstallCollaborators {
    InstallRecorder& recorder;
    AppsAndFeaturesEntry& entry;
    DeferredRemoval& deferredRemoval;
    const WorkingTablePolicy& workingTables;
    const InUsePolicy& inUse;
    const DowngradeRule& downgrade;
};

}  // namespace kanvel::install
