#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/host/EventLog.h"
#include "ui/FileDialog.h"
#include "ui/Toolkit.h"

namespace kanvel::platform::host {

// The toolkit of the native tests: controls stay headless, modal windows and
// file dialogs are answered from a script, and what would be shown goes to
// the event log.
class HeadlessToolkit : public ui::Toolkit {
public:
    explicit HeadlessToolkit(EventLog& log) : log_(log) {}

    // Whether the installer counts as the active application.
    bool active = true;
    // What the user does in a modal window; by default presses its button at
    // once (the window is closed if the script leaves it open).
    std::function<void(ui::Form&)> onModal;
    // Answers for the next file dialogs: a chosen path, or nullopt to cancel.
    // With no answer left the dialog is cancelled.
    std::deque<std::optional<std::wstring>> dialogAnswers;
    // The dialogs as they were when shown.
    std::vector<ui::FileDialog> shownDialogs;
    // Work that "arrives" during the next message pumps (clicks, ticks).
    std::deque<std::function<void()>> pendingMessages;

    std::unique_ptr<ui::Peer> CreatePeer(ui::Control& control) override;
    std::unique_ptr<ui::Peer> CreateTimerPeer(ui::Timer& timer) override;
    void ProcessMessages() override;
    bool IsApplicationActive() override { return active; }
    void RunMessageLoop(ui::Form& mainForm) override;
    void RunModal(ui::Form& form) override;
    bool Execute(ui::FileDialog& dialog) override;
    void BeginWindowDrag(ui::Form& form) override;
    void ShowErrorBox(const std::wstring& text, const std::wstring& title) override;
    int WrappedTextHeight(const std::wstring& text, const ui::Font& font, int width, int /*dpi*/) override;

    // The test metric: characters are font height * 8 / 17 pixels wide
    // (8 pixels at 17), lines are font height + 3 pixels high.
    static int CharacterWidth(const ui::Font& font) { return std::max(1, font.height * 8 / 17); }
    static int LineHeight(const ui::Font& font) { return font.height + 3; }

private:
    EventLog& log_;
};

}  // namespace kanvel::platform::host
