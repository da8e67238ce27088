#include "shell/Notice.h"

#include "shell/Installer.h"
#include "shell/MessageLog.h"
#include "shell/TFormQst.h"

namespace kanvel::shell {

namespace {
constexpr const wchar_t* kOkCaption = L"&Ok";
}

void ShowNotice(Installer& installer, const std::wstring& title, const std::wstring& line1,
                const std::wstring& line2, bool logToFile) {
    auto& dialog = installer.FormQst;
    if (dialog && dialog->visible()) dialog->close();
    if (!dialog) {
        dialog = std::make_unique<TFormQst>(installer);
        installer.application.realize(*dialog);
    }
    dialog->setCaption(title);
    dialog->Label1.setCaption(line1);
    dialog->Label2.setCaption(line2);
    dialog->B1.setCaption(kOkCaption);
    dialog->B1.setLeft(TFormQst::kButtonLeft);
    dialog->B1.setCancel(true);
    dialog->B1.setDefault(true);
    if (logToFile) AppendMessageLog(installer, title, line1, line2);
    if (dialog->visible()) {
        dialog->repaint();
        return;
    }
    dialog->showModal();
    // Closing frees the dialog and empties the reference.
    dialog.reset();
}

void ShowShortNotice(Installer& installer, const std::wstring& text, const std::wstring& title) {
    ShowNotice(installer, title, text, std::wstring(), false);
}

}  // namespace kanvel::shell
