#pragma once

#include "platform/win32/ContainerPeer.h"
#include "ui/Panel.h"

namespace kanvel::platform::win32 {

// A panel, whose face has the panel's outer and inner bevels, or a group box,
// framed by an etched line with its caption set into the top edge.
class PanelPeer : public ContainerPeer {
public:
    PanelPeer(Win32Toolkit& toolkit, ui::Panel& panel);
    PanelPeer(Win32Toolkit& toolkit, ui::GroupBox& group);

protected:
    void paintFrame(HDC dc, const RECT& client) override;

private:
    enum class Frame { Bevels, CaptionedLine };
    PanelPeer(Win32Toolkit& toolkit, ui::Panel& panel, Frame frame);
    void paintBevels(HDC dc, const RECT& client);
    void paintCaptionedLine(HDC dc, const RECT& client);

    ui::Panel& panel_;
    Frame frame_;
};

}  // namespace kanvel::platform::win32
