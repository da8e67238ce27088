#pragma once

#include "platform/win32/WindowPeer.h"
#include "ui/Label.h"

namespace kanvel::platform::win32 {

// A label as a real window, so that screen readers and other tools read its
// text (window text, MSAA name) like that of any standard control. The window
// is owner-drawn: it paints its parent's face behind the text, which keeps a
// transparent label over a picture looking as before. A plain label is a
// static control that lets the mouse through to its parent; a link label is
// a button that takes the focus and reacts to a click, Space and Enter.
// A change of text is announced as a name change.
class LabelPeer : public WindowPeer {
public:
    LabelPeer(Win32Toolkit& toolkit, ui::Label& label);
    LabelPeer(Win32Toolkit& toolkit, ui::LinkLabel& link);

    void OnCommand(WORD code) override;
    void OnDrawItem(const DRAWITEMSTRUCT& item) override;
    bool isLink() const { return link_; }

protected:
    void applyOwn(ui::Property what) override;

private:
    LabelPeer(Win32Toolkit& toolkit, ui::Label& label, bool link);
    void paintParentFace(HDC dc) const;

    ui::Label& label_;
    bool link_;
};

}  // namespace kanvel::platform::win32
