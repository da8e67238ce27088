#include "pages/install/ServerFiles.h"

#include "services/download/ComponentDownload.h"
#include "services/installer/Editions.h"

namespace kanvel::install {

std::wstring ServerFile::Path() const { return services::ServerPath(folder, name, extension); }

std::vector<ServerFile> EveryServerFile() {
    std::vector<ServerFile> files;
    for (const auto& edition : services::kEditions)
        files.push_back({kProgramsServerFolder, std::wstring(edition.programBaseName), kProgramExtension, true});
    files.push_back({kEngineServerFolder, kEngineInstallerName, kEngineInstallerExtension, false});
    for (const DatabaseFileSet* set : {&kStatementSet, &kDataSet, &kConfigurationSet})
        for (const auto name : set->slots)
            if (!name.empty()) files.push_back({std::wstring(kTablesServerFolder), std::wstring(name), L"", false});
    return files;
}

}  // namespace kanvel::install
