#pragma once

#include "pages/install/AppsAndFeaturesEntry.h"
#include "pages/install/DeferredRemoval.h"
#include "pages/install/InstallRecorder.h"
#include "pages/install/WorkingTablePolicy.h"

namespace kanvel::install {

// The collaborators the install form calls for what its handlers leave to
// others: the record of what they did, the "Apps & features" entry with the
// kept installer copy, the removal of that copy once the run it started has
// ended, and which working tables the database copy takes. The run owns
// them and reads them too.
struct InstallCollaborators {
    InstallRecorder& recorder;
    AppsAndFeaturesEntry& entry;
    DeferredRemoval& deferredRemoval;
    const WorkingTablePolicy& workingTables;
};

}  // namespace kanvel::install
