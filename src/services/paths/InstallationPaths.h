#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "services/installer/InstallerContext.h"
#include "services/system/FolderProtection.h"
#include "services/system/Registry.h"

namespace kanvel::services {

// The working folders of the three sets of database tables.
enum class DatabaseFolder { Statements, Data, Configuration };

// Every path of an installation, answered from the installer context as it
// is at the moment of asking (the chosen edition, location and install
// folder). The names of the installed layout live here and nowhere else.
class InstallationPaths {
public:
    explicit InstallationPaths(const InstallerContext& context) : context_(context) {}

    // The location the install panel starts with, and the context's start
    // values that are parts of paths.
    static std::wstring DefaultLocation();
    static std::wstring FamilyFolderLabel();  // the family folder as the panel shows it
    static std::wstring ShortcutSuffix();    // ending of both shortcut files' names
    static std::wstring EngineSubfolder();   // below the install folder

    // The family folder's name, and the install folder below a location.
    static std::wstring FamilyFolderName();
    static std::wstring InstallFolderIn(std::wstring_view location);
    // True when a folder path names the family folder anywhere (in any case).
    static bool NamesFamilyFolder(std::wstring_view folder);
    // Where a download of the file is written until it is complete.
    static std::wstring PartialFileOf(const std::wstring& file);
    // The shell folders of the shortcuts for a scope (numbers of SpecialFolderPath).
    static int DesktopFolderOf(InstallScope scope);
    static int ProgramsFolderOf(InstallScope scope);
    // The registry key below which Windows lists installed programs
    // ("Apps & features"), and the part of the registry for a scope.
    static std::wstring UninstallKeysParent();
    static RegistryRoot RegistryRootOf(InstallScope scope);
    // True when the program runs as the copy of the installer kept in an
    // installation for its removal.
    static bool IsKeptInstaller(std::wstring_view executablePath);

    // The install folder the component steps rebuild: the location's family folder.
    std::wstring RefreshedInstallFolder() const { return InstallFolderIn(context_.installBase); }
    // The folder that holds an installation for the current location, as
    // removal and the installation test see it: the install folder when it
    // is a folder named "OR-Vel" (the start value included); otherwise the
    // install folder is still the bare location (say "C:" after the licence
    // was accepted on another drive), and the installation lives in that
    // location's family folder.
    std::wstring InstalledFolder() const;

    std::wstring ProgramFile() const { return ProgramFileIn(context_.installDir); }
    std::wstring ProgramFileIn(std::wstring_view folder) const;
    // The program files of all the editions, as they lie in a folder.
    static std::vector<std::wstring> EveryProgramFileIn(std::wstring_view folder);
    // The update program next to the installer, and its place in the installation.
    std::wstring UpdateProgramSource() const;
    std::wstring UpdateProgramTarget() const;

    std::wstring DriversFolderIn(std::wstring_view folder) const;
    std::wstring EngineFolderIn(std::wstring_view folder) const;
    std::wstring EngineInstallerIn(std::wstring_view folder) const;
    std::wstring EngineFolder() const { return EngineFolderIn(context_.installDir); }
    std::wstring EngineInstaller() const { return EngineInstallerIn(context_.installDir); }
    // The copy of the installer kept in the installation, which its entry
    // in "Apps & features" starts to remove it.
    std::wstring KeptInstallerIn(std::wstring_view folder) const;
    std::wstring KeptInstaller() const { return KeptInstallerIn(context_.installDir); }
    // The chosen edition's key in "Apps & features": one for each edition.
    std::wstring UninstallKey() const { return UninstallKeyOf(context_.editionName); }
    static std::wstring UninstallKeyOf(std::wstring_view editionName);
    RegistryRoot EntryRoot() const { return RegistryRootOf(context_.scope); }

    std::wstring FormatFolder() const;
    std::wstring PristineFolder() const;
    std::wstring WorkingFolder(DatabaseFolder which) const;
    static constexpr DatabaseFolder kWorkingFolders[] = {DatabaseFolder::Statements, DatabaseFolder::Data,
                                                         DatabaseFolder::Configuration};

    // How the installation's folders are protected for the chosen scope:
    // the install folder (and every level above it the installer makes),
    // whose rights all it holds inherits, and each working folder of the
    // database, which its users edit.
    FolderProtection InstallFolderProtection() const { return InstallFolderProtectionFor(context_.scope); }
    static FolderProtection InstallFolderProtectionFor(InstallScope scope);
    FolderProtection WorkingFolderProtection() const;

    std::wstring DesktopShortcut() const;
    std::wstring StartMenuGroup() const;
    std::wstring StartMenuShortcut() const;
    // The default installation folder of older versions on the chosen location.
    std::wstring OldDefaultFolder() const;

private:
    std::wstring ShortcutFileName() const;

    const InstallerContext& context_;
};

}  // namespace kanvel::services
