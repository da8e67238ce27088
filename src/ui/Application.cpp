#include "ui/Application.h"

#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/ReportedError.h"
#include "ui/Timer.h"

namespace kanvel::ui {

Application::Application(Toolkit& toolkit, std::wstring title) : toolkit_(toolkit), title_(std::move(title)) {}

void Application::realize(Form& form) {
    realizeControl(form);
    for (Timer* timer : form.timers()) timer->attachPeer(toolkit_.CreateTimerPeer(*timer));
}

void Application::realizeControl(Control& control) {
    if (control.peer() == nullptr) control.attachPeer(toolkit_.CreatePeer(control));
    // Copy: creating a peer never changes the tree, but stay safe.
    const auto children = control.children();
    for (Control* child : children) realizeControl(*child);
}

void Application::handleException(std::exception_ptr error) {
    std::wstring text;
    try {
        std::rethrow_exception(error);
    } catch (const ReportedError& e) {
        if (e.silent()) return;
        text = e.reportText();
    } catch (const std::exception& e) {
        const std::string what = e.what();
        text.assign(what.begin(), what.end());
    } catch (...) {
        text = L"Unknown error";
    }
    toolkit_.ShowErrorBox(ErrorBoxText(text), title_);
}

std::wstring Application::ErrorBoxText(const std::wstring& text) {
    if (!text.empty() && text.back() > L'.') return text + L'.';
    return text;
}

}  // namespace kanvel::ui
