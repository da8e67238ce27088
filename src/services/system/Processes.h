#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "services/system/FileInUse.h"

namespace kanvel::services {

// A named lock of the whole machine, held until this object goes.
class HeldLock {
public:
    virtual ~HeldLock() = default;
};

// This process among the others: its own file, the machine's named lock,
// the two phases of a removal started from the kept installer, and the other
// programs that hold files an installation replaces or removes.
class Processes {
public:
    virtual ~Processes() = default;

    // The program file of this process.
    virtual std::wstring ExecutablePath() = 0;
    // The security identifier ("S-1-5-21-...") of the account this process
    // runs as: the administrator's when a user typed an administrator's
    // name and password at Windows' elevation prompt. Empty when the system
    // cannot say.
    virtual std::wstring AccountId() = 0;
    // The account of the desktop's shell (Explorer) in this process's
    // session: the user signed in at the screen, who may not be the account
    // this process runs as. Empty when there is no shell or it cannot be read.
    virtual std::wstring DesktopAccountId() = 0;
    // Starts this program again with the arguments as the desktop shell's
    // user, unelevated, on the same desktop, waits for it to end and returns
    // its exit code; nothing when it could not be started.
    virtual std::optional<int> RunAsDesktopUser(const std::vector<std::wstring>& arguments) = 0;
    // The named lock of the machine, or nothing when another process holds it.
    virtual std::unique_ptr<HeldLock> ClaimMachineLock(const std::wstring& name) = 0;
    // A running program cannot delete its own file, so a removal started
    // from the copy of the installer kept in an installation goes on from a
    // copy of it in a new temporary folder (the second phase). Starts that
    // copy with the arguments and one more, tokenOption followed by a token
    // that lets the copy reach this process. With waitForOutcome, waits until
    // the copy reports its exit code and returns it (nothing when the copy
    // could not be started or ended without reporting); otherwise returns 0
    // once the copy runs.
    virtual std::optional<int> RunFromTemporaryCopy(const std::vector<std::wstring>& arguments,
                                                    const std::wstring& tokenOption, bool waitForOutcome) = 0;
    // In the second phase: tells the first phase the run's exit code.
    virtual void ReportToFirstPhase(const std::wstring& token, int exitCode) = 0;
    // In the second phase: waits until the first phase has ended, so that its
    // file is free; false when it did not end in time.
    virtual bool WaitForFirstPhase(const std::wstring& token) = 0;
    // Which of the files (those that do not exist are left out) another
    // program has open or loaded, in the order given, each with the
    // programs that hold it where the system can name them.
    virtual std::vector<FileInUse> FilesInUse(const std::vector<std::wstring>& files) = 0;
    // Asks the programs that hold the files to close, as Windows asks them
    // when the user signs out; a program is never ended against its will.
    // True when every one of them closed.
    virtual bool AskProgramsToClose(const std::vector<std::wstring>& files) = 0;
};

}  // namespace kanvel::services
