#include "pages/notice/NoticeStyle.h"

namespace kanvel::notice {

ui::Font NoticeFont(int height, bool bold) {
    ui::Font font;
    font.name = L"MS Sans Serif";
    font.height = height;
    font.bold = bold;
    font.color = ui::colors::Black;
    return font;
}

void StyleNoticeWindow(ui::Form& form, ui::Panel& panel, int frame, int width, int height) {
    form.setFrameWidth(frame);
    form.setClientSize(width, height);
    form.setColor(ui::colors::InfoBackground);
    panel.setBounds({0, 0, width, height});
    panel.setBevels(ui::Bevel::Raised, ui::Bevel::Lowered);
    panel.setColor(ui::colors::InfoBackground);
}

void PlaceDialogButtons(ui::Form& form, ui::Button& accept, ui::Button& cancel, int width, int height, int fontHeight) {
    constexpr int kButtonWidth = 80, kButtonHeight = 27, kGap = 20, kFromFoot = 40;
    accept.setDefault(true);
    accept.setBounds({width / 2 - kGap / 2 - kButtonWidth, height - kFromFoot, kButtonWidth, kButtonHeight});
    cancel.setCancel(true);
    cancel.setBounds({width / 2 + kGap / 2, height - kFromFoot, kButtonWidth, kButtonHeight});
    for (ui::Button* button : {&accept, &cancel}) {
        button->setFont(NoticeFont(fontHeight));
        auto own = button->OnClick;
        button->OnClick = [&form, own] {
            if (own) own();
            form.close();
        };
    }
}

void CentreOnOwner(ui::Form& form, const ui::Form& owner) {
    form.setDpi(owner.dpi());
    const int newLeft = owner.left() + (owner.scaled(owner.width()) - form.scaled(form.width())) / 2;
    const int newTop = owner.top() + (owner.scaled(owner.height()) - form.scaled(form.height())) / 2;
    form.setBounds({newLeft, newTop, form.width(), form.height()});
    form.setRoundedRegion(20, 20);
}

}  // namespace kanvel::notice
