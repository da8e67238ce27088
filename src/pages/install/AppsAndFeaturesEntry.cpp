#include "pages/install/AppsAndFeaturesEntry.h"

#include "services/paths/WindowsPath.h"

namespace kanvel::install {

void AppsAndFeaturesEntry::Register(const LastInstallChoices& choices) {
    auto& platform = environment_.platform;
    const auto paths = environment_.paths();
    const std::wstring kept = paths.KeptInstaller();
    const std::wstring running = platform.processes.ExecutablePath();
    // Run from the kept copy itself, the copy is in place already.
    const bool keptInPlace =
        services::EqualIgnoringCase(running, kept) || platform.files.CopyFileTo(running, kept, false);
    if (keptInPlace) platform.files.SetAttributes(kept, 0);
    const auto installedBytes = platform.files.SizeOfFolder(environment_.context.installDir);
    const auto values = UninstallEntryValues(environment_.context, choices, installedBytes, platform.clock.Now(),
                                             environment_.offeredRelease(), platform.processes.AccountId());
    const bool written =
        keptInPlace && platform.registry.WriteRegistryValues(paths.EntryRoot(), paths.UninstallKey(), values);
    recorder_.EntryEnded(written, paths.UninstallKey());
}

void AppsAndFeaturesEntry::Unregister(const std::wstring& folder) {
    auto& platform = environment_.platform;
    const auto paths = environment_.paths();
    const auto location = platform.registry.ReadRegistryText(paths.EntryRoot(), paths.UninstallKey(), kEntryInstallLocation);
    if (!location) return;
    // The entry of the edition's installation elsewhere stays. When neither
    // installation has its program file, the entry would list a program that
    // is gone (its folder named another way, "\OR-Vel\" for "C:\OR-Vel"):
    // the removal is not complete.
    if (!services::EqualIgnoringCase(*location, folder)) {
        if (!platform.files.FileExists(paths.ProgramFileIn(*location)) && !platform.files.FileExists(paths.ProgramFileIn(folder)))
            recorder_.EntryLeft();
        return;
    }
    // A program file that could not go keeps its entry, so that removal can be started again from there.
    if (platform.files.FileExists(paths.ProgramFileIn(folder))) return;
    if (!platform.registry.DeleteRegistryKey(paths.EntryRoot(), paths.UninstallKey())) recorder_.EntryLeft();
}

}  // namespace kanvel::install
