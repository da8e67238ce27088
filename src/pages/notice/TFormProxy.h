#pragma once

#include <string>

#include "ui/Button.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/Panel.h"

namespace kanvel::notice {

// The window's title and heading, and the captions of its fields and buttons.
inline constexpr const wchar_t* kProxySignInTitle = L"Serwer proxy wymaga logowania";
// Followed by the proxy's "host:port", so the user knows whom the password goes to.
inline constexpr const wchar_t* kProxyServerCaption = L"Serwer proxy: ";
inline constexpr const wchar_t* kProxyUserCaption = L"Użytkownik:";
inline constexpr const wchar_t* kProxyPasswordCaption = L"Hasło:";
inline constexpr const wchar_t* kProxyOkCaption = L"&Ok";
inline constexpr const wchar_t* kProxyCancelCaption = L"&Anuluj";

// Asks for the user name and password a company proxy wants: a small
// rounded modal window in the notices' style, centred on its owner, with the
// heading, the proxy that asks ("host:port"), a user field, a password field
// (shown as dots) and "Ok" and "Anuluj". Enter is "Ok", Escape "Anuluj".
class TFormProxy : public ui::Form {
public:
    static constexpr int kDesignedClientWidth = 360;
    static constexpr int kDesignedClientHeight = 174;
    static constexpr int kFrame = 3;

    TFormProxy(ui::Application& application, const ui::Form& owner, const std::wstring& proxy);

    ui::Panel Panel0{L"Panel0", this};
    ui::Label LabelTitle{L"LabelTitle", &Panel0};
    ui::Label LabelProxy{L"LabelProxy", &Panel0};
    ui::Label LabelUser{L"LabelUser", &Panel0};
    ui::Edit EditUser{L"EditUser", &Panel0};
    ui::Label LabelPassword{L"LabelPassword", &Panel0};
    ui::Edit EditPassword{L"EditPassword", &Panel0};
    ui::Button BOk{L"BOk", &Panel0};
    ui::Button BCancel{L"BCancel", &Panel0};

    // True once the user closed the window with "Ok".
    bool accepted() const { return accepted_; }

private:
    void FormShow();

    const ui::Form& owner_;
    bool accepted_ = false;
};

}  // namespace kanvel::notice
