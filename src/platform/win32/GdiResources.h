#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "platform/win32/ResourceHolders.h"
#include "ui/Color.h"
#include "ui/Font.h"

namespace kanvel::platform::win32 {

// Fonts, brushes and bitmaps, made once and kept for the whole run.
class GdiResources {
public:
    GdiResources() = default;
    GdiResources(const GdiResources&) = delete;
    GdiResources& operator=(const GdiResources&) = delete;

    static COLORREF Resolve(ui::Color color);
    // The font as drawn on a screen of the given DPI.
    HFONT font(const ui::Font& font, int dpi);
    HBRUSH brush(ui::Color color);
    // A bitmap resource of the executable by name; nullptr when missing.
    HBITMAP bitmap(const std::wstring& name);
    // The same bitmap resampled (halftone) for a screen of the given DPI.
    HBITMAP bitmap(const std::wstring& name, int dpi);

private:
    using FontKey = std::tuple<std::wstring, int, bool, bool, bool, bool>;
    std::map<FontKey, GdiObject<HFONT>> fonts_;
    std::map<COLORREF, GdiObject<HBRUSH>> brushes_;
    // A missing bitmap resource is remembered as an empty holder.
    std::map<std::wstring, GdiObject<HBITMAP>> bitmaps_;
    std::map<std::pair<std::wstring, int>, GdiObject<HBITMAP>> scaledBitmaps_;
};

}  // namespace kanvel::platform::win32
