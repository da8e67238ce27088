#pragma once

#include <optional>
#include <string>

#include "services/system/FileSystem.h"
#include "services/system/PlatformRoles.h"
#include "services/system/RegistryAccess.h"
#include "services/system/Shell.h"

namespace kanvel::app {

// The first place an installation for every user of the machine needs and
// this process cannot write to: the common desktop, the common Start menu,
// the machine's list of installed programs in the registry. Nothing when
// it can write to all three. Creating and deleting a file is the one sure
// test of a folder's rights.
std::optional<std::wstring> PlaceNotWritableForAllUsers(
    services::PlatformRoles<services::FileSystem, services::RegistryAccess, services::Shell> platform);

}  // namespace kanvel::app
