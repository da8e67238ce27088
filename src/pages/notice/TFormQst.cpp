#include "pages/notice/TFormQst.h"

#include <algorithm>

#include "pages/notice/NoticeStyle.h"
#include "ui/Application.h"


namespace kanvel::notice {

namespace {
constexpr int kPanelInset = 2;  // the lowered bevel of Panel0
constexpr int kLineWidth = TFormQst::kDesignedClientWidth - 2 * kPanelInset;
constexpr int kFontHeight = 17;
}  // namespace

TFormQst::TFormQst(ui::Application& application, const ui::Form& owner)
    : ui::Form(application, L"FormQst"), owner_(owner) {
    StyleNoticeWindow(*this, Panel0, kFrame, kDesignedClientWidth, kDesignedClientHeight);
    for (ui::Panel* spacer : {&Panel1, &Panel2}) spacer->setColor(ui::colors::InfoBackground);
    Panel1.setBounds({kPanelInset, kPanelInset, kLineWidth, 17});
    Panel2.setHeight(5);
    for (ui::Label* line : {&Label1, &Label2}) {
        line->setFont(NoticeFont(kFontHeight));
        line->setAlignment(ui::TextAlignment::Center);
        line->setWordWrap(true);
        line->setAutoSize(true);
        line->setBounds({kPanelInset, 0, kLineWidth, kLineHeight});
    }
    Panel2.setBounds({kPanelInset, 0, kLineWidth, 5});
    stackLines();

    B1.setFont(NoticeFont(kFontHeight));
    B1.setBounds({kButtonLeft, kDesignedClientHeight - 40, 80, 27});
    B1.OnClick = [this] { B1Click(); };
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
}

int TFormQst::labelHeight(const ui::Label& label) const {
    const int measured = application().toolkit().WrappedTextHeight(label.caption(), label.font(), kLineWidth, dpi());
    return std::max(kLineHeight, measured);
}

void TFormQst::stackLines() {
    int y = kPanelInset;
    for (ui::Control* row : {static_cast<ui::Control*>(&Panel1), static_cast<ui::Control*>(&Label1),
                             static_cast<ui::Control*>(&Panel2), static_cast<ui::Control*>(&Label2)}) {
        row->setTop(y);
        y += row->height();
    }
}

void TFormQst::FormShow() {
    const auto& main = owner_;
    // The notice shows on the main window's screen, at its pixel density;
    // the centring works in that screen's pixels.
    setDpi(main.dpi());
    const int designedWidth = width();
    const int designedHeight = height();
    const int newLeft = main.left() + (main.scaled(main.width()) - scaled(designedWidth)) / 2;
    const int newTop = main.top() + (main.scaled(main.height()) - scaled(designedHeight)) / 2 + scaled(15);

    Label1.setHeight(labelHeight(Label1));
    Label2.setHeight(labelHeight(Label2));
    stackLines();
    const int newHeight = Panel1.height() + Label1.height() + Panel2.height() + Label2.height() + B1.height() + 20;
    B1.setTop(newHeight - 40);
    Panel0.setHeight(newHeight - 2 * kFrame);
    setBounds({newLeft, newTop, designedWidth, newHeight});
    B1.setFocus();
    setRoundedRegion(20, 20);
}

void TFormQst::FormClose() {
    // The dialog is freed by whoever showed it, once its modal run is over.
}

void TFormQst::B1Click() { close(); }

}  // namespace kanvel::notice
