#pragma once

#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/Panel.h"

namespace kanvel::notice {

// The notice dialog: a small borderless, rounded modal window with up to two
// centred lines of text and one "&Ok" button, centred on its owner (the
// main window).
class TFormQst : public ui::Form {
public:
    static constexpr int kDesignedClientWidth = 465;
    static constexpr int kDesignedClientHeight = 108;
    static constexpr int kFrame = 3;
    static constexpr int kLineHeight = 20;
    static constexpr int kButtonLeft = 190;

    TFormQst(ui::Application& application, const ui::Form& owner);

    ui::Panel Panel0{L"Panel0", this};
    ui::Panel Panel1{L"Panel1", &Panel0};
    ui::Label Label1{L"Label1", &Panel0};
    ui::Panel Panel2{L"Panel2", &Panel0};
    ui::Label Label2{L"Label2", &Panel0};
    ui::Button B1{L"B1", &Panel0};

    // Lays the dialog out for its texts, each time it is shown.
    void FormShow();
    void FormClose();
    void B1Click();

private:
    int labelHeight(const ui::Label& label) const;
    void stackLines();

    const ui::Form& owner_;
};

}  // namespace kanvel::notice
