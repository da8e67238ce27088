#pragma once

#include <string>

#include "pages/install/InstallReport.h"
#include "services/download/FetchOutcome.h"

namespace kanvel::install {

// Keeps the reports of the last installation and the last removal as their
// steps go: the install form's handlers and the collaborators they call tell
// it what each step did, and a run without a window reads the outcome here
// to make its exit code.
class InstallRecorder {
public:
    const InstallReport& installation() const { return installation_; }
    const RemovalReport& removal() const { return removal_; }

    // A press of "Instaluj": what the last one did is forgotten.
    void BeginInstallation() { installation_ = InstallReport{}; }
    void NothingTicked() { installation_.nothingTicked = true; }
    void InstallFolderRefused(const std::wstring& folder) { installation_.refusedFolder = folder; }
    void FilesInUse(const std::vector<services::FileInUse>& files) { installation_.filesInUse = files; }
    void NewerReleaseInstalled(const std::wstring& release) { installation_.newerRelease = release; }
    // The engine step's end, with the installer it found (none when missing).
    void EngineEnded(InstallReport::EngineStep step, const std::wstring& installer);
    // The database copy reads as aborted from its start until it is copied.
    void DatabaseCopyBegun() { installation_.database = InstallReport::DatabaseStep::CopyAborted; }
    void DatabaseCopied() { installation_.database = InstallReport::DatabaseStep::Copied; }
    void TableReplaced(const std::wstring& table) { installation_.tablesReplaced.push_back(table); }
    void ProgramEnded(InstallReport::ProgramStep step) { installation_.program = step; }
    // A component file's download, to be stored at FILE: a failure is kept
    // with its kind and what the user was shown; a stored file is no news.
    void FetchEnded(const std::wstring& file, const services::FetchOutcome& outcome);
    void ShortcutMissing(const std::wstring& link) { installation_.shortcutsMissing.push_back(link); }
    // The "Apps & features" entry at KEY, with the installer copy it starts.
    void EntryEnded(bool written, const std::wstring& key);

    // A removal: what the last one did is forgotten.
    void BeginRemoval() { removal_ = RemovalReport{}; }
    void FolderLeft(const std::wstring& folder) { removal_.foldersLeft.push_back(folder); }
    void FileLeft(const std::wstring& file) { removal_.filesLeft.push_back(file); }
    void EntryLeft() { removal_.entryLeft = true; }
    void RemovalFilesInUse(const std::vector<services::FileInUse>& files) { removal_.filesInUse = files; }

private:
    InstallReport installation_;
    RemovalReport removal_;
};

}  // namespace kanvel::install
