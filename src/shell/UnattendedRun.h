#pragma once

#include <functional>
#include <optional>

#include "shell/CommandLine.h"
#include "shell/ExitCode.h"
#include "shell/Installer.h"
#include "shell/RunLog.h"
#include "shell/SilentPlatform.h"
#include "shell/SilentToolkit.h"
#include "ui/Application.h"

namespace kanvel::shell {

// An installation or removal without a window. It drives the very forms the
// window shows, as a user would: waits for the licence reveal, accepts,
// chooses the edition and the folder, ticks the components and the
// shortcuts, and presses "Instaluj" or "Usunięcie instalacji". What the
// window would show goes to the log; the outcome is read from the forms
// and the files and becomes the exit code.
class UnattendedRun {
public:
    UnattendedRun(services::PlatformOperations& platform, RunLog& log, const CommandLineOptions& options);
    UnattendedRun(const UnattendedRun&) = delete;
    UnattendedRun& operator=(const UnattendedRun&) = delete;

    ExitCode Execute();

private:
    enum class ActionEnd { Completed, SilentAbort, Error };

    // Runs a user's action the way the message loop does: an error it does
    // not catch goes to the default handler (the log).
    ActionEnd userAction(const std::function<void()>& action);
    // The install panel with the licence accepted, the edition and the
    // folder chosen; otherwise the exit code that ends the run here.
    std::optional<ExitCode> reachInstallPanel();
    std::optional<ExitCode> chooseLocation();
    ExitCode install();
    ExitCode uninstall();
    void tickChoices();
    void reportEngineInstaller();

    RunLog& log_;
    const CommandLineOptions& options_;
    SilentPlatform platform_;
    SilentToolkit toolkit_;
    ui::Application application_;
    Installer installer_;
};

}  // namespace kanvel::shell
