#pragma once

#include <string>
#include <vector>

#include "services/system/Clock.h"
#include "services/system/FileInUse.h"

namespace kanvel::platform::win32 {

// Which of the files another program holds (see
// services::Processes::FilesInUse). Restart Manager names the programs
// that have each file open or loaded; a file it names nobody for is opened
// for writing and deletion without sharing, and a sharing or lock violation
// that lasts beyond a brief hold (timed by the clock) says it is in use by
// a program the system does not name. rstrtmgr.dll is not one of Windows'
// known DLLs: it is loaded from System32 by its full search rule, never
// from the installer's folder; where it cannot be loaded, only the trial
// open answers.
std::vector<services::FileInUse> FilesInUse(services::Clock& clock, const std::vector<std::wstring>& files);

// Asks, through Restart Manager, every program that holds one of the files
// to close (RmShutdown without RmForceShutdown: a program that refuses keeps
// running). True when Restart Manager reports that all of them closed.
bool AskProgramsToClose(const std::vector<std::wstring>& files);

}  // namespace kanvel::platform::win32
