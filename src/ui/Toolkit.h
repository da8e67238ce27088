#pragma once

#include <memory>
#include <string>

#include "ui/Font.h"
#include "ui/Peer.h"

namespace kanvel::ui {

class Control;
class Form;
class Timer;
struct FileDialog;

// The native side of the control model: makes peers and runs the parts of a
// GUI that only the platform can (message loops, dialogs, text measuring).
class Toolkit {
public:
    virtual ~Toolkit() = default;

    // A peer for the control, or nullptr to keep it headless.
    virtual std::unique_ptr<Peer> CreatePeer(Control& control) = 0;
    virtual std::unique_ptr<Peer> CreateTimerPeer(Timer& timer) = 0;

    // Handles every pending window message and returns.
    virtual void ProcessMessages() = 0;
    // Whether this program is the active application.
    virtual bool IsApplicationActive() = 0;
    // Runs the message loop until the main form has closed.
    virtual void RunMessageLoop(Form& mainForm) = 0;
    // Runs a nested loop until the form has closed.
    virtual void RunModal(Form& form) = 0;
    // Shows the dialog; true when the user confirmed (fileName is then set).
    virtual bool Execute(FileDialog& dialog) = 0;
    // Lets the user drag the borderless window by the mouse button that is
    // down, as if by a title bar.
    virtual void BeginWindowDrag(Form& form) = 0;
    // The default handler's box for an error that escaped a handler.
    virtual void ShowErrorBox(const std::wstring& text, const std::wstring& title) = 0;
    // Height of the text word-wrapped at the given width, as drawn on a screen
    // of the given DPI; width and height are designed lengths (pixels at 96 DPI).
    virtual int WrappedTextHeight(const std::wstring& text, const Font& font, int width, int dpi) = 0;
};

}  // namespace kanvel::ui
