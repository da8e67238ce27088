#pragma once

#include <memory>
#include <optional>
#include <string>

#include "services/system/Processes.h"

namespace kanvel::platform::win32 {

// The machine's lock of an elevated run (an administrator's, or the system
// account's), as a mutex in a private namespace bounded by the
// Administrators group: only a process whose token holds that group enabled
// can make or open the namespace, and the namespace and the mutex admit
// SYSTEM and the Administrators alone. A user who is not an administrator
// cannot make, hold or even open the lock, so no one can keep an
// administrator's or a deployment tool's run from starting.
//
// Nothing when this lock cannot be had here: the run is not elevated, or
// Windows lacks the private namespace calls (looked up at run time; Wine 8
// has no AddSIDToBoundaryDescriptor); the caller then takes the lock every
// run shares. Otherwise the lock, or nullptr when another elevated run holds
// it (or the namespace cannot be made or opened: only an administrator
// could have caused that).
std::optional<std::unique_ptr<services::HeldLock>> ClaimAdministratorsLock(const std::wstring& name);

}  // namespace kanvel::platform::win32
