#include "services/paths/InstallationPaths.h"

#include "services/installer/Editions.h"
#include "services/download/PartialFilePath.h"
#include "services/system/Shell.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::services {

namespace {
constexpr std::wstring_view kDefaultLocation = L"C:";
constexpr std::wstring_view kFamilyFolder = L"OR-Vel";
constexpr std::wstring_view kShortcutSuffix = L" 7.lnk";
constexpr std::wstring_view kDriversFolder = L"Sterowniki";
constexpr std::wstring_view kEngineFolder = L"BDE";
constexpr std::wstring_view kEngineInstaller = L"setup.exe";
constexpr std::wstring_view kProgramExtension = L".exe";
constexpr std::wstring_view kUpdateProgramFolder = L"Program";
constexpr std::wstring_view kUpdateProgram = L"Aktualizacja.exe";
constexpr std::wstring_view kFormatFolder = L"Format";
constexpr std::wstring_view kPristineFolder = L"Bkp6";
constexpr std::wstring_view kStatementsFolder = L"Zestaw";
constexpr std::wstring_view kDataFolder = L"Dbf6";
constexpr std::wstring_view kConfigurationFolder = L"Cfg";
constexpr std::wstring_view kStartMenuGroup = L"Velmarin";
constexpr std::wstring_view kOldDefaultFolder = L"Velmarin\\Kanvel";
constexpr std::wstring_view kKeptInstaller = L"Instalator.exe";
constexpr std::wstring_view kUninstallKeys = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr std::wstring_view kUninstallKeyPrefix = L"Velmarin.Kanvel.";

std::wstring_view WorkingFolderName(DatabaseFolder which) {
    switch (which) {
        case DatabaseFolder::Statements: return kStatementsFolder;
        case DatabaseFolder::Data: return kDataFolder;
        case DatabaseFolder::Configuration: return kConfigurationFolder;
    }
    return kDataFolder;
}
}  // namespace

std::wstring InstallationPaths::DefaultLocation() { return std::wstring(kDefaultLocation); }
std::wstring InstallationPaths::FamilyFolderLabel() { return InstallFolderIn(L"") + L'\\'; }
std::wstring InstallationPaths::ShortcutSuffix() { return std::wstring(kShortcutSuffix); }
std::wstring InstallationPaths::EngineSubfolder() { return JoinPath(kDriversFolder, kEngineFolder); }
std::wstring InstallationPaths::FamilyFolderName() { return std::wstring(kFamilyFolder); }
std::wstring InstallationPaths::InstallFolderIn(std::wstring_view location) { return JoinPath(location, kFamilyFolder); }
bool InstallationPaths::NamesFamilyFolder(std::wstring_view folder) { return ContainsIgnoringCase(folder, kFamilyFolder); }
std::wstring InstallationPaths::PartialFileOf(const std::wstring& file) { return PartialFilePath(file); }

int InstallationPaths::DesktopFolderOf(InstallScope scope) {
    return scope == InstallScope::AllUsers ? kFolderCommonDesktop : kFolderDesktop;
}
int InstallationPaths::ProgramsFolderOf(InstallScope scope) {
    return scope == InstallScope::AllUsers ? kFolderCommonPrograms : kFolderPrograms;
}
std::wstring InstallationPaths::UninstallKeysParent() { return std::wstring(kUninstallKeys); }
RegistryRoot InstallationPaths::RegistryRootOf(InstallScope scope) {
    return scope == InstallScope::AllUsers ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser;
}
bool InstallationPaths::IsKeptInstaller(std::wstring_view executablePath) {
    return EqualIgnoringCase(FileNameOf(executablePath), kKeptInstaller) &&
           EqualIgnoringCase(LastNameOf(FolderOf(executablePath)), kFamilyFolder);
}

std::wstring InstallationPaths::InstalledFolder() const {
    if (EqualIgnoringCase(LastNameOf(context_.installDir), kFamilyFolder)) return context_.installDir;
    return RefreshedInstallFolder();
}

std::wstring InstallationPaths::ProgramFileIn(std::wstring_view folder) const {
    return JoinPath(folder, context_.programBaseName + std::wstring(kProgramExtension));
}

std::vector<std::wstring> InstallationPaths::EveryProgramFileIn(std::wstring_view folder) {
    std::vector<std::wstring> files;
    for (const auto& edition : kEditions)
        files.push_back(JoinPath(folder, std::wstring(edition.programBaseName) + std::wstring(kProgramExtension)));
    return files;
}

std::wstring InstallationPaths::UpdateProgramSource() const {
    return JoinPath(JoinPath(context_.installerDir, kUpdateProgramFolder), kUpdateProgram);
}

std::wstring InstallationPaths::UpdateProgramTarget() const { return JoinPath(context_.installDir, kUpdateProgram); }

std::wstring InstallationPaths::DriversFolderIn(std::wstring_view folder) const { return JoinPath(folder, kDriversFolder); }
std::wstring InstallationPaths::EngineFolderIn(std::wstring_view folder) const {
    return JoinPath(folder, context_.engineSubfolder);
}
std::wstring InstallationPaths::EngineInstallerIn(std::wstring_view folder) const {
    return JoinPath(EngineFolderIn(folder), kEngineInstaller);
}

std::wstring InstallationPaths::KeptInstallerIn(std::wstring_view folder) const { return JoinPath(folder, kKeptInstaller); }
std::wstring InstallationPaths::UninstallKeyOf(std::wstring_view editionName) {
    return JoinPath(kUninstallKeys, std::wstring(kUninstallKeyPrefix) + std::wstring(editionName));
}

std::wstring InstallationPaths::FormatFolder() const { return JoinPath(context_.installDir, kFormatFolder); }
FolderProtection InstallationPaths::InstallFolderProtectionFor(InstallScope scope) {
    return scope == InstallScope::AllUsers ? FolderProtection::ForAllUsers() : FolderProtection::ForOneUser();
}

FolderProtection InstallationPaths::WorkingFolderProtection() const {
    return context_.scope == InstallScope::AllUsers ? FolderProtection::ForAllUsersWorkingFolder()
                                                    : FolderProtection::ForOneUser();
}

std::wstring InstallationPaths::PristineFolder() const { return JoinPath(FormatFolder(), kPristineFolder); }
std::wstring InstallationPaths::WorkingFolder(DatabaseFolder which) const {
    return JoinPath(FormatFolder(), WorkingFolderName(which));
}

std::wstring InstallationPaths::ShortcutFileName() const { return context_.editionName + context_.shortcutSuffix; }
std::wstring InstallationPaths::DesktopShortcut() const { return JoinPath(context_.desktopDir, ShortcutFileName()); }
std::wstring InstallationPaths::StartMenuGroup() const { return JoinPath(context_.programsDir, kStartMenuGroup); }
std::wstring InstallationPaths::StartMenuShortcut() const { return JoinPath(StartMenuGroup(), ShortcutFileName()); }
std::wstring InstallationPaths::OldDefaultFolder() const { return JoinPath(context_.installBase, kOldDefaultFolder); }

}  // namespace kanvel::services
