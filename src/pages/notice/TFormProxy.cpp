#include "pages/notice/TFormProxy.h"

#include "pages/notice/NoticeStyle.h"

namespace kanvel::notice {

namespace {
constexpr int kFieldLeft = 110;
constexpr int kFieldWidth = 220;
constexpr int kRowHeight = 22;
constexpr int kFontHeight = 15;
// The fields' rows, below the heading and the proxy's name.
constexpr int kUserTop = 68;
constexpr int kPasswordTop = 98;
}  // namespace

TFormProxy::TFormProxy(ui::Application& application, const ui::Form& owner, const std::wstring& proxy)
    : ui::Form(application, L"FormProxy"), owner_(owner) {
    setCaption(kProxySignInTitle);
    StyleNoticeWindow(*this, Panel0, kFrame, kDesignedClientWidth, kDesignedClientHeight);

    LabelTitle.setCaption(kProxySignInTitle);
    LabelTitle.setFont(NoticeFont(kFontHeight, true));
    LabelTitle.setAlignment(ui::TextAlignment::Center);
    LabelTitle.setBounds({4, 10, kDesignedClientWidth - 8, kRowHeight});
    LabelProxy.setCaption(kProxyServerCaption + proxy);
    LabelProxy.setAlignment(ui::TextAlignment::Center);
    LabelProxy.setBounds({4, 36, kDesignedClientWidth - 8, kRowHeight});
    LabelUser.setCaption(kProxyUserCaption);
    LabelUser.setBounds({24, kUserTop + 2, kFieldLeft - 28, kRowHeight});
    EditUser.setBounds({kFieldLeft, kUserTop, kFieldWidth, kRowHeight});
    LabelPassword.setCaption(kProxyPasswordCaption);
    LabelPassword.setBounds({24, kPasswordTop + 2, kFieldLeft - 28, kRowHeight});
    EditPassword.setPassword(true);
    EditPassword.setBounds({kFieldLeft, kPasswordTop, kFieldWidth, kRowHeight});
    for (ui::Control* control : {static_cast<ui::Control*>(&LabelProxy), static_cast<ui::Control*>(&LabelUser),
                                 static_cast<ui::Control*>(&LabelPassword), static_cast<ui::Control*>(&EditUser),
                                 static_cast<ui::Control*>(&EditPassword)})
        control->setFont(NoticeFont(kFontHeight));

    BOk.setCaption(kProxyOkCaption);
    BOk.OnClick = [this] { accepted_ = true; };
    BCancel.setCaption(kProxyCancelCaption);
    PlaceDialogButtons(*this, BOk, BCancel, kDesignedClientWidth, kDesignedClientHeight, kFontHeight);
    OnShow = [this] { FormShow(); };
}

void TFormProxy::FormShow() {
    // Centred on the main window, at its pixel density, as the notices are.
    CentreOnOwner(*this, owner_);
    EditUser.setFocus();
}

}  // namespace kanvel::notice
