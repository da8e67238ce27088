#pragma once

#include <exception>
#include <string>

#include "ui/Toolkit.h"

namespace kanvel::ui {

class Control;
class Form;
struct FileDialog;

// The GUI application: message pumping, modal runs, dialogs, and the default
// handler for an error that escapes an event handler.
class Application {
public:
    // The title is the program's name as its message boxes show it.
    Application(Toolkit& toolkit, std::wstring title);

    Toolkit& toolkit() const { return toolkit_; }
    const std::wstring& title() const { return title_; }

    void processMessages() { toolkit_.ProcessMessages(); }
    bool active() { return toolkit_.IsApplicationActive(); }

    // Gives the form, its controls and its timers their native peers.
    void realize(Form& form);
    void realizeControl(Control& control);
    void run(Form& mainForm) { toolkit_.RunMessageLoop(mainForm); }
    void runModal(Form& form) { toolkit_.RunModal(form); }
    bool execute(FileDialog& dialog) { return toolkit_.Execute(dialog); }

    // The default handler: an error box with the application's title, or
    // nothing at all for the silent abort.
    void handleException(std::exception_ptr error);

    // Runs an event handler; an error it does not catch ends it and goes to
    // the default handler instead of further up.
    template <class Handler>
    void guarded(Handler&& handler) {
        try {
            handler();
        } catch (...) {
            handleException(std::current_exception());
        }
    }

    // The error box text: a full stop is appended when the last character's
    // code is above that of the full stop.
    static std::wstring ErrorBoxText(const std::wstring& text);

private:
    Toolkit& toolkit_;
    std::wstring title_;
};

}  // namespace kanvel::ui
