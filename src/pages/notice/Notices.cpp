#include "pages/notice/Notices.h"

#include "pages/notice/MessageLog.h"
#include "pages/notice/TFormQst.h"

namespace kanvel::notice {

namespace {
constexpr const wchar_t* kOkCaption = L"&Ok";
}

Notices::Notices(services::PlatformRoles<services::FileSystem, services::Clock> platform,
                 ui::Application& application, const services::InstallerContext& context)
    : platform_(platform), application_(application), context_(context) {}

Notices::~Notices() = default;

void Notices::ShowNotice(const std::wstring& title, const std::wstring& line1, const std::wstring& line2,
                         bool logToFile) {
    auto& dialog = FormQst;
    if (dialog && dialog->visible()) dialog->close();
    if (!dialog) {
        dialog = std::make_unique<TFormQst>(application_, *owner_);
        application_.realize(*dialog);
    }
    dialog->setCaption(title);
    dialog->Label1.setCaption(line1);
    dialog->Label2.setCaption(line2);
    dialog->B1.setCaption(kOkCaption);
    dialog->B1.setLeft(TFormQst::kButtonLeft);
    dialog->B1.setCancel(true);
    dialog->B1.setDefault(true);
    if (logToFile) AppendMessageLog(platform_, context_.installerDir, title, line1, line2);
    if (dialog->visible()) {
        dialog->repaint();
        return;
    }
    dialog->showModal();
    // Closing frees the dialog and empties the reference.
    dialog.reset();
}

void Notices::ShowShortNotice(const std::wstring& text, const std::wstring& title) {
    ShowNotice(title, text, std::wstring(), false);
}

}  // namespace kanvel::notice
