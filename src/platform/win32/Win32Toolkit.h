#pragma once

#include <windows.h>

#include <exception>
#include <utility>
#include <vector>

#include "platform/win32/GdiResources.h"
#include "platform/win32/ResourceHolders.h"
#include "ui/ShownColors.h"
#include "ui/Toolkit.h"

namespace kanvel::ui {
class Application;
}

namespace kanvel::platform::win32 {

// The Win32 binding of the control model: native peers for every control
// kind, the message loops, the common dialogs and the error box.
class Win32Toolkit : public ui::Toolkit {
public:
    explicit Win32Toolkit(HINSTANCE instance);

    // The application whose default handler takes escaped errors.
    void attach(ui::Application& application) { application_ = &application; }
    HINSTANCE instance() const { return instance_; }
    GdiResources& gdi() { return gdi_; }
    HWND mainWindow() const { return mainWindow_; }
    // The colours a control is drawn in now: under a contrast theme, the system's.
    static ui::ShownColors ColorsOf(const ui::Control& control);
    void setMainWindow(HWND hwnd) {
        if (mainWindow_ == nullptr) mainWindow_ = hwnd;
    }
    // The tooltip window of a top-level window, made on first use.
    HWND tooltipFor(HWND topLevel);

    template <class Handler>
    void guarded(Handler&& handler) {
        try {
            handler();
        } catch (...) {
            handleError(std::current_exception());
        }
    }

    std::unique_ptr<ui::Peer> CreatePeer(ui::Control& control) override;
    std::unique_ptr<ui::Peer> CreateTimerPeer(ui::Timer& timer) override;
    void ProcessMessages() override;
    bool IsApplicationActive() override;
    void RunMessageLoop(ui::Form& mainForm) override;
    void RunModal(ui::Form& form) override;
    bool Execute(ui::FileDialog& dialog) override;
    void BeginWindowDrag(ui::Form& form) override;
    void ShowErrorBox(const std::wstring& text, const std::wstring& title) override;
    int WrappedTextHeight(const std::wstring& text, const ui::Font& font, int width, int dpi) override;

    static const wchar_t* ContainerClass();

private:
    void handleError(std::exception_ptr error);
    // Enter, Escape, Tab and the arrows for our windows; true when the
    // message was used.
    bool translateKeys(MSG& msg);
    // Tab and Shift+Tab: the next control in the tab order that the user can
    // see, passing over those that another window covers; false when there
    // is none (the dialog manager's own Tab handling takes over then).
    bool moveFocus(HWND root, bool backward);
    void dispatchMessage(MSG& msg);

    HINSTANCE instance_;
    GdiResources gdi_;
    ui::Application* application_ = nullptr;
    HWND mainWindow_ = nullptr;
    // The tooltip window of each top-level window (owner, tooltip).
    std::vector<std::pair<HWND, OwnedWindow>> tooltips_;
};

}  // namespace kanvel::platform::win32
