#include "pages/install/LocationLengthRule.h"

#include <algorithm>
#include <vector>

#include "pages/install/DatabaseFileSets.h"
#include "services/paths/InstallationPaths.h"
#include "services/paths/PathLimits.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::install {

namespace {
// Where Windows keeps the machine's choice to allow paths beyond MAX_PATH.
constexpr const wchar_t* kFileSystemKey = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
constexpr const wchar_t* kLongPathsEnabled = L"LongPathsEnabled";

// Every file the installation downloads (written first under its partial
// name) and every file it copies or writes whole, for an installation below
// the location.
struct WrittenFiles {
    std::vector<std::wstring> downloaded;
    std::vector<std::wstring> written;
};

WrittenFiles FilesBelow(const std::wstring& location, services::InstallerContext context) {
    context.installBase = location;
    context.installDir = services::InstallationPaths::InstallFolderIn(location);
    const services::InstallationPaths paths(context);
    WrittenFiles files{services::InstallationPaths::EveryProgramFileIn(context.installDir),
                       {paths.KeptInstaller(), paths.UpdateProgramTarget()}};
    files.downloaded.push_back(paths.EngineInstaller());
    for (const DatabaseFileSet* set : {&kDataSet, &kConfigurationSet, &kStatementSet})
        for (const auto name : set->slots) {
            if (name.empty()) continue;
            files.downloaded.push_back(services::JoinPath(paths.PristineFolder(), name));
            files.written.push_back(services::JoinPath(paths.WorkingFolder(set->workingFolder), name));
        }
    return files;
}
}  // namespace

bool LocationLengthRule::Fits(const std::wstring& location, const services::InstallerContext& context) const {
    return DeepestFileLength(location, context) <= services::kMaxPathWithoutLongPaths || LongPathsEnabled();
}

std::size_t LocationLengthRule::DeepestFileLength(const std::wstring& location,
                                                  const services::InstallerContext& context) {
    const WrittenFiles files = FilesBelow(location, context);
    std::size_t deepest = 0;
    for (const auto& file : files.downloaded)
        deepest = std::max(deepest, services::InstallationPaths::PartialFileOf(file).size());
    for (const auto& file : files.written) deepest = std::max(deepest, file.size());
    return deepest;
}

bool LocationLengthRule::LongPathsEnabled() const {
    return registry_.ReadRegistryNumber(services::RegistryRoot::LocalMachine, kFileSystemKey, kLongPathsEnabled)
               .value_or(0) == 1;
}

}  // namespace kanvel::install
