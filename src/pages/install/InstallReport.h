#pragma once

#include <string>
#include <vector>

#include "services/download/FetchOutcome.h"
#include "services/system/FileInUse.h"

namespace kanvel::install {

// What the last press of "Instaluj" did, step by step (InstallRecorder keeps
// it). The window shows the same as it always does; a run without a window
// reads its outcome here.
struct InstallReport {
    // SignatureRefused: the engine installer is there, but its signature is
    // not the maker's: it was not started. NotStarted: it is the maker's,
    // but the start was declined at the elevation prompt or failed.
    enum class EngineStep { NotTicked, Started, InstallerMissing, SignatureRefused, NotStarted };
    enum class DatabaseStep { NotTicked, Copied, CopyAborted };
    enum class ProgramStep { NotTicked, Installed, AlreadyFetched, NotInstalled };

    struct FailedDownload {
        std::wstring file;  // the local path it was to be stored at
        services::FetchOutcome::Failure failure = services::FetchOutcome::Failure::Other;
        std::wstring message;  // what the user was shown
    };

    bool nothingTicked = false;
    // The existing install folder that could not be taken safely (a link, a
    // folder someone else made, a link inside): nothing was installed.
    std::wstring refusedFolder;
    // The files the run would have replaced that other programs held, with
    // those programs: nothing was fetched or installed.
    std::vector<services::FileInUse> filesInUse;
    // The newer release of the edition that is installed, which this older
    // installer was not allowed to replace: nothing was installed.
    std::wstring newerRelease;
    EngineStep engine = EngineStep::NotTicked;
    // The engine installer that was started or not started (left to start on its own without a window).
    std::wstring engineInstaller;
    DatabaseStep database = DatabaseStep::NotTicked;
    // The working tables that existed and were handed to the copy to be
    // replaced by their pristine copies, in order; all of them were replaced
    // when the step ended Copied.
    std::vector<std::wstring> tablesReplaced;
    ProgramStep program = ProgramStep::NotTicked;
    // Every component file that could not be fetched, in order.
    std::vector<FailedDownload> failedDownloads;
    // The shortcuts that were asked for and are not there after writing.
    std::vector<std::wstring> shortcutsMissing;
    // The "Apps & features" entry of an installed program, with the copy of
    // the installer it starts; Failed when either could not be written.
    enum class EntryStep { NotWritten, Written, Failed };
    EntryStep entry = EntryStep::NotWritten;
    std::wstring entryKey;
};

// What the last removal did.
struct RemovalReport {
    // Folders that stayed because they still hold something (each named in
    // a notice): the database folders, the update program or the user's own
    // files keep them, as removal intends.
    std::vector<std::wstring> foldersLeft;
    // Files that removal deletes and could not (a program still running, a
    // shortcut that is held open): they should have gone and did not.
    std::vector<std::wstring> filesLeft;
    // The files removal deletes that other programs held when it began,
    // with those programs: nothing was removed.
    std::vector<services::FileInUse> filesInUse;
    // The "Apps & features" entry of this installation could not be deleted.
    bool entryLeft = false;
};

}  // namespace kanvel::install
