#pragma once

#include "services/system/Clock.h"
#include "services/system/Cryptography.h"
#include "services/system/FileSystem.h"
#include "services/system/HttpClientFactory.h"
#include "services/system/Processes.h"
#include "services/system/RegistryAccess.h"
#include "services/system/Screen.h"
#include "services/system/Shell.h"

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
