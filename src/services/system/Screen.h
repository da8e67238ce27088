#pragma once

#include <string>

#include "ui/Geometry.h"

namespace kanvel::services {

// What the user sees and points at outside the program's own forms: the
// message boxes and the mouse pointer.
class Screen {
public:
    virtual ~Screen() = default;

    virtual void ShowMessageBox(const std::wstring& text, const std::wstring& title) = 0;
    // The toolkit's simple message: centred, one OK button, the program's title.
    virtual void ShowMessage(const std::wstring& text) = 0;
    virtual ui::Point CursorPosition() = 0;
    virtual void SetCursorPosition(ui::Point where) = 0;
};

}  // namespace kanvel::services
