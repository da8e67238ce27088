#pragma once

#include <vector>

#include "platform/win32/PanelPeer.h"
#include "platform/win32/ResourceHolders.h"
#include "ui/RadioGroup.h"

namespace kanvel::platform::win32 {

// A framed group with one native radio button per item, laid out in the
// group's columns. The program keeps the choice; the buttons show it.
class RadioGroupPeer : public PanelPeer {
public:
    RadioGroupPeer(Win32Toolkit& toolkit, ui::RadioGroup& group);

    // The group whose radio button this is, or nullptr.
    static RadioGroupPeer* OfButton(HWND button);
    // Moves the focus and the choice from the focused button by step items
    // (an arrow key), wrapping around; false when the button is not ours.
    bool moveChoice(HWND focused, int step);

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void applyOwn(ui::Property what) override;

private:
    // Each radio button's own handling: notes when it is taking the focus.
    static LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR group);
    void rebuildButtons();
    void showChoice();
    void layoutButtons();

    ui::RadioGroup& group_;
    // Destroyed before the group's own window, whose children they are.
    std::vector<OwnedWindow> buttons_;
    // The button that is taking the focus just now: Windows' radio button
    // reports a click to its parent when it gets the focus unchecked, which
    // is not the user's choice.
    HWND takingFocus_ = nullptr;
};

}  // namespace kanvel::platform::win32
