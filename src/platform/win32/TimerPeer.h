#pragma once

#include <windows.h>

#include "platform/win32/ResourceHolders.h"
#include "platform/win32/Win32Toolkit.h"
#include "ui/Timer.h"

namespace kanvel::platform::win32 {

// A thread timer whose tick runs the timer's event on the GUI thread.
class TimerPeer : public ui::Peer {
public:
    TimerPeer(Win32Toolkit& toolkit, ui::Timer& timer);
    ~TimerPeer() override;
    void PropertyChanged(ui::Property what) override;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);
    void start();
    void stop();

    Win32Toolkit& toolkit_;
    ui::Timer& timer_;
    ThreadTimer running_;
};

}  // namespace kanvel::platform::win32
