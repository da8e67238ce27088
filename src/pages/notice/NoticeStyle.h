#pragma once

#include "ui/Font.h"
#include "ui/Form.h"
#include "ui/Panel.h"

namespace kanvel::notice {

// The look the installer's small dialogs share: black text in the notices'
// typeface, and a window of the given client size in the info colour whose
// panel fills it with a raised outer and a lowered inner bevel.
ui::Font NoticeFont(int height, bool bold = false);
void StyleNoticeWindow(ui::Form& form, ui::Panel& panel, int frame, int width, int height);

}  // namespace kanvel::notice
