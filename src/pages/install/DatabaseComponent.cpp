// The database component of the install panel: fetches the table files that
// are missing from the pristine folder, then copies the three file sets into
// their working folders.
#include "pages/install/DatabaseFileSets.h"
#include "pages/install/TFormInstal.h"
#include "services/paths/CopyOver.h"
#include "services/installer/InstallerError.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::install {

namespace {
constexpr const wchar_t* kExternalProblem = L"Problem zewnętrzny!";
constexpr const wchar_t* kRestartProgram = L"Program należy uruchomić ponownie.";
constexpr const wchar_t* kDatabaseFetched = L"Pobranie bazy danych zakończone";
constexpr const wchar_t* kDatabaseAlreadyThere = L"Pliki bazy danych już istnieją";
}  // namespace

void TFormInstal::BBBazaClick() {
    if (!ServerReleaseJudged()) return;
    ProgressBar1.setPosition(0);
    RefreshInstallFolder();
    const auto paths = environment_.paths();
    for (const std::wstring& folder : {paths.FormatFolder(), paths.PristineFolder()}) makeFolderIfMissing(folder);
    for (const auto which : services::InstallationPaths::kWorkingFolders)
        makeWorkingFolderIfMissing(paths.WorkingFolder(which));

    const std::wstring server(kTablesServerFolder);
    const std::wstring pristine = paths.PristineFolder();
    // The missing files of the three sets are requested several at a time;
    // each is still shown and stored in its turn below.
    download_->ExpectNext(server, TablesInFetchOrder(), pristine);
    const bool data = PobranieDanych(server, pristine);
    const bool configuration = PobranieKonfiguracji(server, pristine);
    const bool statements = PobranieZestawien(server, pristine);

    recorder_.DatabaseCopyBegun();
    PrzekazanieZestawien(pristine, paths.WorkingFolder(kStatementSet.workingFolder));
    PrzekazanieDanych(pristine, paths.WorkingFolder(kDataSet.workingFolder));
    PrzekazanieKonfiguracji(pristine, paths.WorkingFolder(kConfigurationSet.workingFolder));
    recorder_.DatabaseCopied();

    main_.SetStatus(data || configuration || statements ? kDatabaseFetched : kDatabaseAlreadyThere);
    environment_.application.processMessages();
}

void TFormInstal::CBBazaClick() { BBBaza.setEnabled(rules().databaseButton); }

bool TFormInstal::PobranieZestawien(const std::wstring& serverFolder, const std::wstring& targetFolder) {
    return fetchSet(kStatementSet, serverFolder, targetFolder);
}

bool TFormInstal::PobranieDanych(const std::wstring& serverFolder, const std::wstring& targetFolder) {
    return fetchSet(kDataSet, serverFolder, targetFolder);
}

bool TFormInstal::PobranieKonfiguracji(const std::wstring& serverFolder, const std::wstring& targetFolder) {
    return fetchSet(kConfigurationSet, serverFolder, targetFolder);
}

void TFormInstal::PrzekazanieZestawien(const std::wstring& sourceFolder, const std::wstring& targetFolder) {
    transferSet(kStatementSet, sourceFolder, targetFolder);
}

void TFormInstal::PrzekazanieDanych(const std::wstring& sourceFolder, const std::wstring& targetFolder) {
    transferSet(kDataSet, sourceFolder, targetFolder);
}

void TFormInstal::PrzekazanieKonfiguracji(const std::wstring& sourceFolder, const std::wstring& targetFolder) {
    transferSet(kConfigurationSet, sourceFolder, targetFolder);
}

bool TFormInstal::fetchSet(const DatabaseFileSet& set, const std::wstring& serverFolder,
                           const std::wstring& targetFolder) {
    bool fetched = false;
    for (auto name : set.slots) {
        if (name.empty()) continue;
        // A failed file was reported by the download; the next one is tried all the same.
        if (PobraniePliku(serverFolder, std::wstring(name), std::wstring(), false, targetFolder)) fetched = true;
    }
    return fetched;
}

void TFormInstal::transferSet(const DatabaseFileSet& set, const std::wstring& sourceFolder,
                              const std::wstring& targetFolder) {
    auto& platform = environment_.platform;
    auto giveUp = [&](std::wstring_view line1) {
        environment_.notices.ShowNotice(kExternalProblem, std::wstring(line1), kRestartProgram, true);
        throw services::SilentAbort();
    };
    const auto tables = workingTables_.Select(
        set, targetFolder, [&](const std::wstring& target) { return environment_.platform.files.FileExists(target); });
    for (const std::wstring& table : tables.replaced) recorder_.TableReplaced(table);
    for (const std::wstring& name : tables.names) {
        const std::wstring source = services::JoinPath(sourceFolder, name);
        const std::wstring target = services::JoinPath(targetFolder, name);
        if (!platform.files.FileExists(source)) {
            if (set.skipsMissingSource) continue;
            // Without its pristine copy the user's working table stays as it is:
            // deleting it first would leave nothing in its place.
            giveUp(set.cannotTransfer);
        }
        // The table is replaced by a finished copy, never deleted first: when
        // anything fails, the user's table is as it was.
        const services::CopyOverResult copied = services::CopyOver(platform, source, target);
        if (copied == services::CopyOverResult::CopyFailed) giveUp(set.cannotTransfer);
        if (copied == services::CopyOverResult::ReplaceFailed) giveUp(set.cannotPrepare);
        platform.files.SetAttributes(target, 0);
    }
}

}  // namespace kanvel::install
