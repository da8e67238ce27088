#pragma once

#include <optional>

#include "app/CommandLine.h"
#include "pages/install/EditionEntry.h"
#include "services/system/RegistryAccess.h"

namespace kanvel::app {

// An upgrade goes where the installation lies. A run that names no location
// takes the edition's entry in "Apps & features" (the run's scope first,
// then the other, unless the command line named the scope): its location
// and its scope; an install that names no components or shortcuts takes
// those of the last install as well. A run with a window names no edition:
// it takes the first edition that has an entry. Returns the entry taken.
std::optional<install::EditionEntry> TakeDefaultsFromEntry(services::RegistryAccess& registry,
                                                           CommandLineOptions& options);

}  // namespace kanvel::app
