#include "pages/install/UninstallEntry.h"

#include "pages/licence/ProducerInfo.h"
#include "services/paths/InstallationPaths.h"

namespace kanvel::install {

namespace {
constexpr const wchar_t* kProductName = L"Kanvel ";
constexpr std::uint32_t kNo = 0;
constexpr std::uint64_t kBytesPerUnit = 1024;  // the entry counts its size in KiB
// The options of the entry's command lines, as the installer's command line reads them.
constexpr const wchar_t* kSilentOption = L" /SILENT";
constexpr const wchar_t* kUninstallOption = L" /UNINSTALL";
constexpr const wchar_t* kRepairOption = L" /REPAIR";
constexpr const wchar_t* kEditionOption = L" /EDITION=";
constexpr const wchar_t* kLocationOption = L"/DIR=";
constexpr const wchar_t* kAllUsersOption = L" /ALLUSERS";
constexpr const wchar_t* kOwnerOption = L" /OWNER=";

// The words of the last install's choices, as the command line takes them.
constexpr const wchar_t* kProgramWord = L"program";
constexpr const wchar_t* kDatabaseWord = L"database";
constexpr const wchar_t* kEngineWord = L"engine";
constexpr const wchar_t* kDesktopWord = L"desktop";
constexpr const wchar_t* kStartMenuWord = L"startmenu";

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring Listed(std::initializer_list<std::pair<bool, const wchar_t*>> items) {
    std::wstring text;
    for (const auto& [chosen, word] : items)
        if (chosen) text += (text.empty() ? L"" : L",") + std::wstring(word);
    return text;
}

std::wstring Digits(int value, std::size_t width) {
    std::wstring digits = std::to_wstring(value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), L'0');
    return digits;
}

// The kept installer with the location, and the scope for all users or the
// owner for one user.
std::wstring KeptInstallerCommand(const services::InstallerContext& context, const std::wstring& options,
                                  const std::wstring& owner) {
    const bool allUsers = context.scope == services::InstallScope::AllUsers;
    const std::wstring scope = allUsers ? kAllUsersOption : owner.empty() ? L"" : kOwnerOption + owner;
    return Quoted(services::InstallationPaths(context).KeptInstaller()) + options + L" " +
           Quoted(kLocationOption + context.installBase) + scope;
}
}  // namespace

std::wstring UninstallCommand(const services::InstallerContext& context, const std::wstring& owner) {
    return KeptInstallerCommand(context, kUninstallOption, owner);
}

std::wstring RepairCommand(const services::InstallerContext& context, const std::wstring& owner) {
    return KeptInstallerCommand(context, kRepairOption, owner);
}

std::wstring QuietUninstallCommand(const services::InstallerContext& context, const std::wstring& owner) {
    return KeptInstallerCommand(
        context, kSilentOption + std::wstring(kUninstallOption) + kEditionOption + context.editionName, owner);
}

std::vector<services::RegistryValue> UninstallEntryValues(const services::InstallerContext& context,
                                                          const LastInstallChoices& choices,
                                                          std::uint64_t installedBytes,
                                                          const services::LocalTime& today,
                                                          const std::wstring& release, const std::wstring& owner) {
    const services::InstallationPaths paths(context);
    const auto size = static_cast<std::uint32_t>((installedBytes + kBytesPerUnit - 1) / kBytesPerUnit);
    return {
        {L"DisplayName", kProductName + context.editionName + L" " + context.versionText},
        {kEntryDisplayVersion, release},
        {L"Publisher", std::wstring(licence::kProducerName)},
        {kEntryInstallLocation, context.installDir},
        {L"DisplayIcon", paths.ProgramFile()},
        {L"EstimatedSize", size},
        {L"InstallDate", Digits(today.year, 4) + Digits(today.month, 2) + Digits(today.day, 2)},
        {L"URLInfoAbout", std::wstring(licence::kProducerWebUrl)},
        // Settings offers "Modify" (the ModifyPath) for an entry whose
        // NoModify is not 1, and winget repairs only an entry whose NoModify
        // and NoRepair are not 1; written as 0 so that an earlier entry's 1 goes.
        {L"NoModify", kNo},
        {L"NoRepair", kNo},
        {L"ModifyPath", RepairCommand(context, owner)},
        {L"UninstallString", UninstallCommand(context, owner)},
        {L"QuietUninstallString", QuietUninstallCommand(context, owner)},
        {kEntryLocation, context.installBase},
        // The entry is written once the program file is installed.
        {kEntryComponents,
         Listed({{true, kProgramWord}, {choices.database, kDatabaseWord}, {choices.engine, kEngineWord}})},
        {kEntryShortcuts,
         Listed({{choices.desktopShortcut, kDesktopWord}, {choices.startMenuShortcut, kStartMenuWord}})},
    };
}

}  // namespace kanvel::install
