#pragma once

#include "platform/win32/WindowPeer.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/ProgressBar.h"

namespace kanvel::platform::win32 {

// Peers for the controls that Windows itself provides.

class ButtonPeer : public WindowPeer {
public:
    ButtonPeer(Win32Toolkit& toolkit, ui::Button& button);
    void OnCommand(WORD code) override;
    void OnDrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    // mayOwnDraw: false for a kind whose face Windows always draws.
    ButtonPeer(Win32Toolkit& toolkit, ui::Button& button, bool mayOwnDraw);
    void applyOwn(ui::Property what) override;

private:
    ui::Button& button_;
    bool ownDrawn_;
};

// A speed button: a push button that Windows draws (its glyph shows) and
// that can stay held down.
class SpeedButtonPeer : public ButtonPeer {
public:
    SpeedButtonPeer(Win32Toolkit& toolkit, ui::SpeedButton& button);

protected:
    void applyOwn(ui::Property what) override;

private:
    ui::SpeedButton& speedButton_;
};

class CheckBoxPeer : public WindowPeer {
public:
    CheckBoxPeer(Win32Toolkit& toolkit, ui::CheckBox& box);
    void OnCommand(WORD code) override;
    HBRUSH OnControlColor(HDC dc) override;

protected:
    void applyOwn(ui::Property what) override;

private:
    ui::CheckBox& box_;
};

class EditPeer : public WindowPeer {
public:
    EditPeer(Win32Toolkit& toolkit, ui::Edit& edit);
    void OnCommand(WORD code) override;

protected:
    void applyOwn(ui::Property what) override;

private:
    ui::Edit& edit_;
};

class ListBoxPeer : public WindowPeer {
public:
    ListBoxPeer(Win32Toolkit& toolkit, ui::ListBox& list);
    void OnCommand(WORD code) override;

protected:
    void applyOwn(ui::Property what) override;

private:
    void syncItems();
    ui::ListBox& list_;
};

class StaticTextPeer : public WindowPeer {
public:
    StaticTextPeer(Win32Toolkit& toolkit, ui::StaticText& text);
};

class ProgressBarPeer : public WindowPeer {
public:
    ProgressBarPeer(Win32Toolkit& toolkit, ui::ProgressBar& bar);

protected:
    void applyOwn(ui::Property what) override;

private:
    ui::ProgressBar& bar_;
};

}  // namespace kanvel::platform::win32
