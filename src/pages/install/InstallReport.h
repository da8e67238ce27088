#pragma once

#include <string>
#include <vector>

#include "services/FetchOutcome.h"

namespace kanvel::install {

// What the last press of "Instaluj" did, step by step. The window shows the
// same as it always does; a run without a window reads its outcome here.
struct InstallReport {
    // SignatureRefused: the engine installer is there, but its signature is
    // not the maker's: it was not started.
    enum class EngineStep { NotTicked, Started, InstallerMissing, SignatureRefused };
    enum class DatabaseStep { NotTicked, Copied, CopyAborted };
    enum class ProgramStep { NotTicked, Installed, AlreadyFetched, NotInstalled };

    struct FailedDownload {
        std::wstring file;  // the local path it was to be stored at
        services::FetchOutcome::Failure failure = services::FetchOutcome::Failure::Other;
        std::wstring message;  // what the user was shown
    };

    bool nothingTicked = false;
    EngineStep engine = EngineStep::NotTicked;
    // The engine installer that was started (left to start on its own without a window).
    std::wstring engineInstaller;
    DatabaseStep database = DatabaseStep::NotTicked;
    ProgramStep program = ProgramStep::NotTicked;
    // Every component file that could not be fetched, in order.
    std::vector<FailedDownload> failedDownloads;
};

// What the last removal did.
struct RemovalReport {
    // Folders that should have gone and stayed (each named in a notice).
    std::vector<std::wstring> foldersLeft;
    // Files of the installation that could not be deleted.
    std::vector<std::wstring> filesLeft;
};

// How the last folder choice ended.
enum class FolderChoice { NotMade, Cancelled, Chosen, Refused };

}  // namespace kanvel::install
