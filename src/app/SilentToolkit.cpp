#include "app/SilentToolkit.h"

#include "ui/Button.h"
#include "ui/FileDialog.h"
#include "ui/Form.h"
#include "ui/Label.h"

namespace kanvel::app {

namespace {
constexpr const wchar_t* kDialogCancelled = L"wybór pliku pominięty (instalacja bez okna)";

// The texts of the form's labels, top to bottom in the order of the tree,
// joined by blanks; empty labels are left out.
void CollectLabelTexts(const ui::Control& control, std::wstring& text) {
    for (const ui::Control* child : control.children()) {
        if (dynamic_cast<const ui::Label*>(child) != nullptr && !child->caption().empty())
            text += (text.empty() ? L"" : L" ") + child->caption();
        CollectLabelTexts(*child, text);
    }
}

ui::Button* DefaultButton(ui::Control& control) {
    for (ui::Control* child : control.children()) {
        if (auto* button = dynamic_cast<ui::Button*>(child); button != nullptr && button->isDefault()) return button;
        if (ui::Button* found = DefaultButton(*child)) return found;
    }
    return nullptr;
}
}  // namespace

std::unique_ptr<ui::Peer> SilentToolkit::CreatePeer(ui::Control&) { return nullptr; }
std::unique_ptr<ui::Peer> SilentToolkit::CreateTimerPeer(ui::Timer&) { return nullptr; }

void SilentToolkit::RunMessageLoop(ui::Form& mainForm) { mainForm.close(); }

void SilentToolkit::RunModal(ui::Form& form) {
    std::wstring text;
    CollectLabelTexts(form, text);
    log_.Write(form.caption(), text);
    if (ui::Button* button = DefaultButton(form)) button->click();
    if (!form.closed()) form.close();
}

bool SilentToolkit::Execute(ui::FileDialog& dialog) {
    log_.Write(dialog.title, kDialogCancelled);
    return false;
}

void SilentToolkit::ShowErrorBox(const std::wstring& text, const std::wstring& title) {
    log_.Write(title, text);
}

int SilentToolkit::WrappedTextHeight(const std::wstring&, const ui::Font& font, int, int) { return font.height; }

}  // namespace kanvel::app
