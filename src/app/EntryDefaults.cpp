#include "app/EntryDefaults.h"

#include "services/installer/Editions.h"

namespace kanvel::app {

namespace {
using services::InstallScope;

std::optional<install::EditionEntry> EntryOf(services::RegistryAccess& registry, const CommandLineOptions& options,
                                             const std::wstring& editionName) {
    const InstallScope scope = options.allUsers ? InstallScope::AllUsers : InstallScope::CurrentUser;
    if (options.scopeGiven) return install::EditionEntry::Read(registry, editionName, scope);
    return install::EditionEntry::Find(registry, editionName, scope);
}

std::optional<install::EditionEntry> EntryForRun(services::RegistryAccess& registry, const CommandLineOptions& options) {
    if (options.edition)
        return EntryOf(registry, options, std::wstring(services::kEditions[static_cast<std::size_t>(*options.edition)].name));
    for (const auto& edition : services::kEditions)
        if (auto entry = EntryOf(registry, options, std::wstring(edition.name))) return entry;
    return std::nullopt;
}

// The entry's location and the last install's choices as the command line
// would give them, read by its own rules (with an edition it asks for; only
// the location and the choices are taken); nothing when it refuses them (an
// entry someone edited).
std::optional<CommandLineOptions> EntryAsOptions(const install::EditionEntry& entry) {
    std::vector<std::wstring> arguments{L"/SILENT", L"/EDITION=" + std::wstring(services::kEditions[0].name),
                                        L"/DIR=" + entry.location};
    if (entry.components) arguments.push_back(L"/COMPONENTS=" + *entry.components);
    if (entry.shortcuts) arguments.push_back(entry.shortcuts->empty() ? L"/NOSHORTCUTS" : L"/SHORTCUTS=" + *entry.shortcuts);
    ParsedCommandLine parsed = CommandLine::Parse(arguments);
    if (parsed.error) return std::nullopt;
    return parsed.options;
}
}  // namespace

std::optional<install::EditionEntry> TakeDefaultsFromEntry(services::RegistryAccess& registry,
                                                           CommandLineOptions& options) {
    if (options.directory) return std::nullopt;
    const auto entry = EntryForRun(registry, options);
    if (!entry) return std::nullopt;
    const auto taken = EntryAsOptions(*entry);
    if (!taken) return std::nullopt;
    options.directory = taken->directory;
    options.allUsers = entry->scope == InstallScope::AllUsers;
    if (!options.silent || options.uninstall) return entry;
    if (!options.componentsGiven && taken->componentsGiven) {
        options.program = taken->program;
        options.database = taken->database;
        options.engine = taken->engine;
    }
    if (!options.shortcutsGiven && taken->shortcutsGiven) {
        options.desktopShortcut = taken->desktopShortcut;
        options.startMenuShortcut = taken->startMenuShortcut;
    }
    return entry;
}

}  // namespace kanvel::app
