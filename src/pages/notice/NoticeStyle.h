#pragma once

#include "ui/Button.h"
#include "ui/Font.h"
#include "ui/Form.h"
#include "ui/Panel.h"

namespace kanvel::notice {

// The look the installer's small dialogs share: black text in the notices'
// typeface, and a window of the given client size in the info colour whose
// panel fills it with a raised outer and a lowered inner bevel.
ui::Font NoticeFont(int height, bool bold = false);
void StyleNoticeWindow(ui::Form& form, ui::Panel& panel, int frame, int width, int height);
// Puts a small dialog in the middle of its owner (the main window), at the
// owner's pixel density, and rounds its corners.
void CentreOnOwner(ui::Form& form, const ui::Form& owner);
// The two buttons of a small dialog side by side at the foot of its client
// area (designed size): ACCEPT is Enter's, CANCEL Escape's; each closes
// the dialog once its own handler (if any) has run.
void PlaceDialogButtons(ui::Form& form, ui::Button& accept, ui::Button& cancel, int width, int height, int fontHeight);

}  // namespace kanvel::notice
