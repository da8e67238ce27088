#pragma once

#include <string>

#include "app/RunLog.h"
#include "ui/Toolkit.h"

namespace kanvel::app {

// The toolkit of a run without a window. No control gets a native side, so
// no window is ever created; a modal window is read as a screen reader would
// (its title and the texts of its labels), written to the run's log and
// answered at once with its default button; a file pick is answered
// "cancel" (the location comes from the command line through the folder
// choice's own rules); the error box goes to the log as well.
class SilentToolkit : public ui::Toolkit {
public:
    explicit SilentToolkit(RunLog& log) : log_(log) {}

    std::unique_ptr<ui::Peer> CreatePeer(ui::Control& control) override;
    std::unique_ptr<ui::Peer> CreateTimerPeer(ui::Timer& timer) override;
    void ProcessMessages() override {}
    // Never the active application: nothing may take the user's cursor.
    bool IsApplicationActive() override { return false; }
    void RunMessageLoop(ui::Form& mainForm) override;
    void RunModal(ui::Form& form) override;
    bool Execute(ui::FileDialog& dialog) override;
    void BeginWindowDrag(ui::Form&) override {}
    void ShowErrorBox(const std::wstring& text, const std::wstring& title) override;
    int WrappedTextHeight(const std::wstring& text, const ui::Font& font, int width, int dpi) override;

private:
    RunLog& log_;
};

}  // namespace kanvel::app
