#include "InstallerHarness.h"
#include "ui/ListBox.h"

namespace kanvel::testing {

void LoggingPeer::PropertyChanged(ui::Property what) {
    const std::wstring& name = control_.name();
    auto* list = dynamic_cast<ui::ListBox*>(&control_);
    switch (what) {
        case ui::Property::Repaint: log_.add(name + L" repaint"); break;
        case ui::Property::Enabled: log_.add(name + (control_.enabled() ? L" enabled" : L" disabled")); break;
        case ui::Property::Items:
            if (list != nullptr)
                log_.add(name + L" items " + std::to_wstring(list->count()) +
                         (list->lastChanged() >= 0 ? L" " + list->items()[static_cast<std::size_t>(list->lastChanged())]
                                                   : std::wstring()));
            break;
        case ui::Property::TopIndex: log_.add(name + L" top " + std::to_wstring(list ? list->topIndex() : 0)); break;
        case ui::Property::Selection: log_.add(name + L" select " + std::to_wstring(list ? list->itemIndex() : 0)); break;
        case ui::Property::Focus:
            if (auto* form = dynamic_cast<ui::Form*>(&control_))
                log_.add(L"focus " + (form->activeControl() ? form->activeControl()->name() : std::wstring()));
            break;
        default: break;
    }
}

}  // namespace kanvel::testing
