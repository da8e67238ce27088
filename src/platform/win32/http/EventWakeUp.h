#pragma once

#include <windows.h>

#include "platform/win32/ResourceHolders.h"
#include "services/http/WakeUp.h"

namespace kanvel::platform::win32 {

// Wakes the client's message loop: an auto-reset event it waits on beside
// the window's messages (MsgWaitForMultipleObjectsEx).
class EventWakeUp : public services::WakeUp {
public:
    EventWakeUp() : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    void Signal() override { SetEvent(event_.get()); }
    HANDLE handle() const { return event_.get(); }

private:
    KernelHandle event_;
};

}  // namespace kanvel::platform::win32
