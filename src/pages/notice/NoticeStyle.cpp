#include "pages/notice/NoticeStyle.h"

namespace kanvel::notice {

ui::Font NoticeFont(int height, bool bold) {
    ui::Font font;
    font.name = L"MS Sans Serif";
    font.height = height;
    font.bold = bold;
    font.color = ui::colors::Black;
    return font;
}

void StyleNoticeWindow(ui::Form& form, ui::Panel& panel, int frame, int width, int height) {
    form.setFrameWidth(frame);
    form.setClientSize(width, height);
    form.setColor(ui::colors::InfoBackground);
    panel.setBounds({0, 0, width, height});
    panel.setBevels(ui::Bevel::Raised, ui::Bevel::Lowered);
    panel.setColor(ui::colors::InfoBackground);
}

}  // namespace kanvel::notice
