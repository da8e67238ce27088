#pragma once

#include <vector>

#include "platform/win32/ContainerPeer.h"
#include "ui/RadioGroup.h"

namespace kanvel::platform::win32 {

// A framed group with one native radio button per item, laid out in the
// group's columns. The program keeps the choice; the buttons show it.
class RadioGroupPeer : public ContainerPeer {
public:
    RadioGroupPeer(Win32Toolkit& toolkit, ui::RadioGroup& group);
    ~RadioGroupPeer() override;

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void applyOwn(ui::Property what) override;

private:
    void rebuildButtons();
    void showChoice();
    void layoutButtons();

    ui::RadioGroup& group_;
    std::vector<HWND> buttons_;
};

}  // namespace kanvel::platform::win32
