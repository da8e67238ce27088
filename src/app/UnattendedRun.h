#pragma once

#include <functional>
#include <optional>

#include "app/CommandLine.h"
#include "app/ExitCode.h"
#include "app/Installer.h"
#include "app/RunLog.h"
#include "app/SilentPlatform.h"
#include "app/SilentToolkit.h"
#include "pages/install/InstallReport.h"
#include "ui/Application.h"

namespace kanvel::app {

// An installation or removal without a window. It drives the very forms the
// window shows, as a user would: waits for the licence reveal, accepts,
// chooses the edition and the folder, ticks the components and the
// shortcuts, and presses "Instaluj" or "Usunięcie instalacji". What the
// window would show goes to the log; the outcome is read from the forms'
// reports and becomes the exit code.
class UnattendedRun {
public:
    // The files come from the source when there is one, else from the
    // download server, checked against its release list when there is one.
    UnattendedRun(services::Platform platform, RunLog& log, const CommandLineOptions& options,
                  const services::ProgramVerification& verification, const services::LocalSource* source = nullptr,
                  const services::ReleaseList* release = nullptr);
    UnattendedRun(const UnattendedRun&) = delete;
    UnattendedRun& operator=(const UnattendedRun&) = delete;

    ExitCode Execute();
    // After a removal whose kept installer copy was the file of the run that
    // started this one, and that run has ended: the copy and the folders it kept.
    void CompleteDeferredRemoval();

private:
    enum class ActionEnd { Completed, SilentAbort, Error };

    // Runs a user's action the way the message loop does: an error it does
    // not catch goes to the default handler (the log).
    ActionEnd userAction(const std::function<void()>& action);
    // The install panel with the licence answered, the edition and the
    // folder chosen; otherwise the exit code that ends the run here.
    std::optional<ExitCode> reachInstallPanel();
    std::optional<ExitCode> chooseLocation();
    ExitCode install();
    ExitCode repair();
    // The exit code of an installation, from what its steps report.
    ExitCode installOutcome(const install::InstallReport& report);
    void logInstallDetails(const install::InstallReport& report);
    ExitCode uninstall();
    ExitCode removalOutcome(const install::RemovalReport& report);
    void logFilesInUse(const std::vector<services::FileInUse>& files);
    void tickChoices();

    RunLog& log_;
    const CommandLineOptions& options_;
    SilentPlatform silent_;
    // The real platform with the shell, screen and clock of a run without a window.
    services::Platform platform_;
    SilentToolkit toolkit_;
    ui::Application application_;
    Installer installer_;
};

}  // namespace kanvel::app
