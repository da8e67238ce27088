#pragma once

#include <memory>

#include "ui/Control.h"
#include "ui/Peer.h"

namespace kanvel::platform::win32 {

class Win32Toolkit;

// The peer for a control of one of the toolkit's fixed kinds, looked up by
// the control's exact dynamic type, so a subclass is never taken for its base
// (a link label for a label, a group box for a panel). A kind the table does
// not name gets nullptr and stays headless: it keeps its state, and nothing
// of it shows on the screen. Forms are not in the table: every form of the
// program is a class of its own, so the toolkit asks "is a form" first.
std::unique_ptr<ui::Peer> PeerForKind(Win32Toolkit& toolkit, ui::Control& control);

}  // namespace kanvel::platform::win32
