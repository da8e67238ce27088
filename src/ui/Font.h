#pragma once

#include <string>

#include "ui/Color.h"

namespace kanvel::ui {

// A control's font. Height is the character height in pixels.
struct Font {
    std::wstring name = L"MS Sans Serif";
    int height = 13;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    Color color = colors::WindowText;
    // The East-European character set, for the Polish letters.
    bool eastEurope = true;

    friend bool operator==(const Font&, const Font&) = default;
};

}  // namespace kanvel::ui
