#pragma once

#include <windows.h>

#include "ui/Control.h"
#include "ui/Peer.h"

namespace kanvel::platform::win32 {

// Pictures have no window: their parent paints them. Their peer only asks
// the parent to paint again where they are.
class GraphicPeer : public ui::Peer {
public:
    explicit GraphicPeer(ui::Control& control) : control_(control) {}
    void PropertyChanged(ui::Property what) override;

private:
    ui::Control& control_;
};

}  // namespace kanvel::platform::win32
