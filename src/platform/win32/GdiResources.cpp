#include "platform/win32/GdiResources.h"

#include <utility>

#include "platform/win32/GdiScopes.h"
#include "ui/DpiScale.h"

namespace kanvel::platform::win32 {

COLORREF GdiResources::Resolve(ui::Color color) {
    switch (color.system()) {
        case ui::Color::System::ButtonFace: return GetSysColor(COLOR_BTNFACE);
        case ui::Color::System::ButtonText: return GetSysColor(COLOR_BTNTEXT);
        case ui::Color::System::InfoBackground: return GetSysColor(COLOR_INFOBK);
        case ui::Color::System::InfoText: return GetSysColor(COLOR_INFOTEXT);
        case ui::Color::System::Window: return GetSysColor(COLOR_WINDOW);
        case ui::Color::System::WindowText: return GetSysColor(COLOR_WINDOWTEXT);
        case ui::Color::System::None: break;
    }
    return static_cast<COLORREF>(color.rgb());
}

HFONT GdiResources::font(const ui::Font& designed, int dpi) {
    const ui::Font f = ui::ScaleToDpi(designed, dpi);
    const FontKey key{f.name, f.height, f.bold, f.italic, f.underline, f.eastEurope};
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second.get();
    GdiObject<HFONT> made(CreateFontW(-f.height, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, f.italic, f.underline, FALSE,
                                      f.eastEurope ? EASTEUROPE_CHARSET : DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                      f.name.c_str()));
    return fonts_.emplace(key, std::move(made)).first->second.get();
}

HBRUSH GdiResources::brush(ui::Color color) {
    const COLORREF rgb = Resolve(color);
    auto found = brushes_.find(rgb);
    if (found != brushes_.end()) return found->second.get();
    return brushes_.emplace(rgb, GdiObject<HBRUSH>(CreateSolidBrush(rgb))).first->second.get();
}

HBITMAP GdiResources::bitmap(const std::wstring& name) {
    auto found = bitmaps_.find(name);
    if (found != bitmaps_.end()) return found->second.get();
    GdiObject<HBITMAP> loaded(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return bitmaps_.emplace(name, std::move(loaded)).first->second.get();
}

HBITMAP GdiResources::bitmap(const std::wstring& name, int dpi) {
    HBITMAP original = bitmap(name);
    if (original == nullptr || dpi == ui::kDesignDpi) return original;
    const auto key = std::make_pair(name, dpi);
    auto found = scaledBitmaps_.find(key);
    if (found != scaledBitmaps_.end()) return found->second.get();
    BITMAP info{};
    GetObjectW(original, sizeof(info), &info);
    const int width = ui::ScaleToDpi(info.bmWidth, dpi);
    const int height = ui::ScaleToDpi(info.bmHeight, dpi);
    WindowDC screen(nullptr);
    GdiObject<HBITMAP> scaled(CreateCompatibleBitmap(screen.get(), width, height));
    MemoryDC source(CreateCompatibleDC(screen.get()));
    MemoryDC target(CreateCompatibleDC(screen.get()));
    {
        SelectedObject from(source.get(), original);
        SelectedObject to(target.get(), scaled.get());
        SetStretchBltMode(target.get(), HALFTONE);
        SetBrushOrgEx(target.get(), 0, 0, nullptr);
        StretchBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    }
    return scaledBitmaps_.emplace(key, std::move(scaled)).first->second.get();
}

}  // namespace kanvel::platform::win32
