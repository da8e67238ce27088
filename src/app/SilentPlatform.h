#pragma once

#include "app/RunLog.h"
#include "services/system/Clock.h"
#include "services/system/Platform.h"
#include "services/system/Screen.h"
#include "services/system/Shell.h"

namespace kanvel::app {

// The platform of a run without a window: the real platform's files,
// registry, processes, digests and HTTP client as they are; of the shell,
// the screen and the clock only what a run without a window changes.
// Message boxes and simple messages go to the run's log, the cursor never
// moves, nothing sleeps and no other program is started (the log says which
// one would have been).
class SilentPlatform : public services::Shell, public services::Screen, public services::Clock {
public:
    SilentPlatform(services::Platform inner, RunLog& log);

    // The real platform with this run's shell, screen and clock.
    services::Platform platform() { return {inner_.files, inner_.registry, inner_.processes, *this, *this, *this,
                                            inner_.cryptography, inner_.http}; }

    void ShellExecuteFile(const std::wstring& operation, const std::wstring& file, const std::wstring& parameters,
                          const std::wstring& directory) override;
    // The real program file held and its signature read; its start only logged.
    std::unique_ptr<services::HeldProgram> HoldProgram(const std::wstring& file) override;
    std::wstring SpecialFolderPath(int folder) override { return inner_.shell.SpecialFolderPath(folder); }
    std::unique_ptr<services::ShellLink> CreateShellLink() override { return inner_.shell.CreateShellLink(); }

    void ShowMessageBox(const std::wstring& text, const std::wstring& title) override;
    void ShowMessage(const std::wstring& text) override;
    ui::Point CursorPosition() override { return inner_.screen.CursorPosition(); }
    void SetCursorPosition(ui::Point) override {}

    void Sleep(int) override {}
    // A pause before a download is tried again is a real wait, window or not.
    std::int64_t SteadyMilliseconds() override { return inner_.clock.SteadyMilliseconds(); }
    void WaitForMessages(int milliseconds) override { inner_.clock.WaitForMessages(milliseconds); }
    services::LocalTime Now() override { return inner_.clock.Now(); }

private:
    services::Platform inner_;
    RunLog& log_;
};

}  // namespace kanvel::app
