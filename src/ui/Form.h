#pragma once

#include <functional>
#include <vector>

#include "ui/Control.h"
#include "ui/DpiScale.h"

namespace kanvel::ui {

class Application;
class Timer;

enum class FormPosition { Designed, ScreenCenter };

// A top-level window. Its left and top are its place on the screen, in screen
// pixels; its width, height and everything inside it are designed lengths
// (pixels at 96 DPI) that reach the screen scaled by the window's DPI. The
// frame (0 for a borderless window) lies between the outer edge and the
// client area where the children sit.
class Form : public Control {
public:
    Form(Application& application, std::wstring name);

    Application& application() const { return application_; }

    int frameWidth() const { return frameWidth_; }
    void setFrameWidth(int width) { frameWidth_ = width; changed(Property::Bounds); }
    int clientWidth() const { return width() - 2 * frameWidth_; }
    int clientHeight() const { return height() - 2 * frameWidth_; }
    void setClientSize(int width, int height);

    // Pixel density of the screen the window is on; 96 until the platform
    // says otherwise (and always in the tests without a window).
    int dpi() const { return dpi_; }
    // The window moved to a screen of another density: everything re-scales.
    void setDpi(int dpi);
    // A designed length in this window's screen pixels.
    int scaled(int length) const { return ScaleToDpi(length, dpi_); }
    // Screen row of the client area's top edge.
    int clientTop() const { return top() + scaled(height() - clientHeight()); }
    // The screen point at a designed offset from the window's left edge and
    // the client area's top edge.
    Point screenPoint(Point clientOffset) const;

    FormPosition position() const { return position_; }
    void setPosition(FormPosition p) { position_ = p; }

    // Clips the window to a rounded rectangle (0, 0, width, height) with the
    // given corner ellipse; 0 x 0 for a plain rectangle.
    void setRoundedRegion(int ellipseWidth, int ellipseHeight);
    int regionEllipseWidth() const { return regionEllipseWidth_; }
    int regionEllipseHeight() const { return regionEllipseHeight_; }
    // The rounded region in screen pixels: the whole window, corners cut by
    // the ellipse, both scaled by the window's DPI (0 x 0 ellipse: none).
    struct ScreenRegion {
        int width, height, ellipseWidth, ellipseHeight;
        friend bool operator==(const ScreenRegion&, const ScreenRegion&) = default;
    };
    ScreenRegion screenRegion() const {
        return {scaled(width()), scaled(height()), scaled(regionEllipseWidth_), scaled(regionEllipseHeight_)};
    }

    Control* activeControl() const { return activeControl_; }
    void setActiveControl(Control* control);

    // Shows the window modelessly.
    void showWindow();
    // Shows it modally: returns when it has closed.
    void showModal();
    bool modal() const { return modal_; }
    // Asks the window to close. A modeless window closes at once; a modal
    // one when its modal run notices the request. Closing runs OnClose and
    // hides the window.
    void close();
    bool closed() const { return closed_; }

    // Timers owned by the form get their native side with the form.
    void registerTimer(Timer& timer) { timers_.push_back(&timer); }
    const std::vector<Timer*>& timers() const { return timers_; }

    std::function<void()> OnShow;
    std::function<void()> OnClose;

private:
    void finishClose();

    Application& application_;
    int frameWidth_ = 0;
    int dpi_ = kDesignDpi;
    FormPosition position_ = FormPosition::Designed;
    int regionEllipseWidth_ = 0;
    int regionEllipseHeight_ = 0;
    Control* activeControl_ = nullptr;
    bool modal_ = false;
    bool closed_ = false;
    std::vector<Timer*> timers_;
};

}  // namespace kanvel::ui
