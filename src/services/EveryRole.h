#pragma once

#include "services/Clock.h"
#include "services/Cryptography.h"
#include "services/FileSystem.h"
#include "services/HttpClientFactory.h"
#include "services/Processes.h"
#include "services/RegistryAccess.h"
#include "services/Screen.h"
#include "services/Shell.h"

namespace kanvel::services {

// One object that plays every role: the Windows platform, the test platform.
class EveryRole : public FileSystem,
                  public RegistryAccess,
                  public Processes,
                  public Shell,
                  public Screen,
                  public Clock,
                  public Cryptography,
                  public HttpClientFactory {};

}  // namespace kanvel::services
