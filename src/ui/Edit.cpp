#include "ui/Edit.h"

namespace kanvel::ui {

void Edit::setText(std::wstring text) {
    if (text == caption()) return;
    setCaption(std::move(text));
    if (OnChange) OnChange();
}

}  // namespace kanvel::ui
