#pragma once

#include <windows.h>

#include "ui/Control.h"
#include "ui/Peer.h"

namespace kanvel::platform::win32 {

// Labels and pictures have no window: their parent paints them. Their peer
// only asks the parent to paint again where they are.
class GraphicPeer : public ui::Peer {
public:
    explicit GraphicPeer(ui::Control& control);
    ~GraphicPeer() override;
    void PropertyChanged(ui::Property what) override;

private:
    void publishCaption(HWND parent);

    ui::Control& control_;
    ATOM atom_ = 0;
};

}  // namespace kanvel::platform::win32
