#pragma once

#include <optional>
#include <string>

#include "app/RunLog.h"
#include "services/system/FileSystem.h"

namespace kanvel::app {

// Makes the location given on the command line ready for an installation:
// a missing folder is created, each missing level from its drive (or share)
// down, as Inno Setup does with /DIR; winget's --location passes folders
// that do not exist yet. Each level made gets the installation's protection
// when it is made (without one, its parent's rights). A location inside an "OR-Vel" folder is left as it
// is for the folder choice, which refuses it. Returns false, after a line in
// the log, when the drive does not exist or a folder cannot be created.
bool MakeLocationReady(services::FileSystem& files, RunLog& log, const std::wstring& location,
                       const std::optional<services::FolderProtection>& protection);

}  // namespace kanvel::app
