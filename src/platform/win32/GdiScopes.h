#pragma once

#include <windows.h>

#include "platform/win32/ResourceHolders.h"

namespace kanvel::platform::win32 {

// Scopes of a paint routine that lend a DC or change its state and give it
// back at the end, so that no early return can leak a DC or leave an object
// selected into one. The GDI objects and memory DCs they use are held by the
// holders of ResourceHolders.h; these scopes pair a call with the one that
// undoes it on the same DC.

// An object selected into a DC for the length of a scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The DC of a window (or of the screen, for nullptr), released at the end of
// the scope.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDC() { ReleaseDC(hwnd_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// The painting of a window in answer to WM_PAINT: BeginPaint to EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
    ~PaintScope() { EndPaint(hwnd_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }
    // The part of the window that needs painting.
    const RECT& part() const { return paint_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// An off-screen picture for a target DC: paint into it, then copy it to the
// target in one go so that nothing flickers. A plain 32-bit bitmap: one made
// compatible with the screen looks up the display's settings each time.
class MemoryCanvas {
public:
    MemoryCanvas(HDC target, int width, int height)
        : dc_(CreateCompatibleDC(target)),
          bitmap_(MakeBitmap(width, height)),
          selected_(dc_.get(), bitmap_.get()),
          width_(width),
          height_(height) {}
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    HDC dc() const { return dc_.get(); }
    void copyTo(HDC target, int x = 0, int y = 0) const {
        BitBlt(target, x, y, width_, height_, dc_.get(), 0, 0, SRCCOPY);
    }

private:
    static HBITMAP MakeBitmap(int width, int height) {
        BITMAPINFO format{};
        format.bmiHeader.biSize = sizeof(format.bmiHeader);
        format.bmiHeader.biWidth = width > 0 ? width : 1;
        format.bmiHeader.biHeight = -(height > 0 ? height : 1);  // top-down
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        return CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    }

    // In this order, so that the bitmap is selected out before it is
    // deleted, and deleted before its DC.
    MemoryDC dc_;
    GdiObject<HBITMAP> bitmap_;
    SelectedObject selected_;
    int width_;
    int height_;
};

// Moves a DC's drawing origin for the length of a scope.
class ShiftedOrigin {
public:
    ShiftedOrigin(HDC dc, int dx, int dy) : dc_(dc) { OffsetViewportOrgEx(dc, dx, dy, &previous_); }
    ~ShiftedOrigin() { SetViewportOrgEx(dc_, previous_.x, previous_.y, nullptr); }
    ShiftedOrigin(const ShiftedOrigin&) = delete;
    ShiftedOrigin& operator=(const ShiftedOrigin&) = delete;

private:
    HDC dc_;
    POINT previous_{};
};

}  // namespace kanvel::platform::win32
