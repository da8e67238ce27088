#include "platform/win32/PeerTable.h"

#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <unordered_map>

#include "platform/win32/GraphicPeer.h"
#include "platform/win32/LabelPeer.h"
#include "platform/win32/NativeControlPeers.h"
#include "platform/win32/PanelPeer.h"
#include "platform/win32/RadioGroupPeer.h"
#include "ui/Image.h"

namespace kanvel::platform::win32 {

namespace {
using MakePeer = std::unique_ptr<ui::Peer> (*)(Win32Toolkit&, ui::Control&);
using PeerMakers = std::unordered_map<std::type_index, MakePeer>;

// One row: controls of exactly the type Kind get a PeerKind. The look-up is
// by exact type, so the control is a Kind and the downcast holds.
template <class Kind, class PeerKind>
PeerMakers::value_type Row() {
    return {typeid(Kind), [](Win32Toolkit& toolkit, ui::Control& control) -> std::unique_ptr<ui::Peer> {
                auto& kind = static_cast<Kind&>(control);
                if constexpr (std::is_constructible_v<PeerKind, Win32Toolkit&, Kind&>)
                    return std::make_unique<PeerKind>(toolkit, kind);
                else
                    return std::make_unique<PeerKind>(kind);
            }};
}

const PeerMakers& Table() {
    static const PeerMakers table{
        Row<ui::Panel, PanelPeer>(),
        Row<ui::GroupBox, PanelPeer>(),
        Row<ui::RadioGroup, RadioGroupPeer>(),
        Row<ui::Label, LabelPeer>(),
        Row<ui::LinkLabel, LabelPeer>(),
        Row<ui::StaticText, StaticTextPeer>(),
        Row<ui::Image, GraphicPeer>(),
        Row<ui::Button, ButtonPeer>(),
        Row<ui::SpeedButton, SpeedButtonPeer>(),
        Row<ui::CheckBox, CheckBoxPeer>(),
        Row<ui::Edit, EditPeer>(),
        Row<ui::ListBox, ListBoxPeer>(),
        Row<ui::ProgressBar, ProgressBarPeer>(),
    };
    return table;
}
}  // namespace

std::unique_ptr<ui::Peer> PeerForKind(Win32Toolkit& toolkit, ui::Control& control) {
    const auto row = Table().find(typeid(control));
    return row == Table().end() ? nullptr : row->second(toolkit, control);
}

}  // namespace kanvel::platform::win32
