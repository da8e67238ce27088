#pragma once

#include <windows.h>

namespace kanvel::platform::win32 {

// Small owners for the device contexts and selections of a paint routine, so
// that no early return can leak a DC or leave an object selected into one.

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

// A memory DC compatible with another, deleted at the end of the scope.
class CompatibleDC {
public:
    explicit CompatibleDC(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~CompatibleDC() { DeleteDC(dc_); }
    CompatibleDC(const CompatibleDC&) = delete;
    CompatibleDC& operator=(const CompatibleDC&) = delete;
    HDC get() const { return dc_; }

private:
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
          previous_(SelectObject(dc_, bitmap_)),
          width_(width),
          height_(height) {}
    ~MemoryCanvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    HDC dc() const { return dc_; }
    void copyTo(HDC target, int x = 0, int y = 0) const { BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY); }

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

    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
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
