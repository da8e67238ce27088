#pragma once

#include "services/system/EveryRole.h"

namespace kanvel::services {

// Every role of the platform, for the composition root of a run and for the
// pages, which use most of them. A service takes only the roles it uses;
// the whole platform gives each of them as it is (see PlatformRoles).
struct Platform {
    FileSystem& files;
    RegistryAccess& registry;
    Processes& processes;
    Shell& shell;
    Screen& screen;
    Clock& clock;
    Cryptography& cryptography;
    HttpClientFactory& http;

    Platform(EveryRole& all)  // not explicit: one object that plays every role is a platform
        : files(all),
          registry(all),
          processes(all),
          shell(all),
          screen(all),
          clock(all),
          cryptography(all),
          http(all) {}

    Platform(FileSystem& files, RegistryAccess& registry, Processes& processes, Shell& shell, Screen& screen,
             Clock& clock, Cryptography& cryptography, HttpClientFactory& http)
        : files(files),
          registry(registry),
          processes(processes),
          shell(shell),
          screen(screen),
          clock(clock),
          cryptography(cryptography),
          http(http) {}

    // Each role as it is, for a service that takes that one.
    operator FileSystem&() const { return files; }
    operator RegistryAccess&() const { return registry; }
    operator Processes&() const { return processes; }
    operator Shell&() const { return shell; }
    operator Screen&() const { return screen; }
    operator Clock&() const { return clock; }
    operator Cryptography&() const { return cryptography; }
    operator HttpClientFactory&() const { return http; }
};

}  // namespace kanvel::services
