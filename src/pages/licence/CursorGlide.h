#pragma once

#include "services/system/Clock.h"
#include "services/system/PlatformRoles.h"
#include "services/system/Screen.h"
#include "ui/Application.h"
#include "ui/Geometry.h"

namespace kanvel::licence {

// The pace every caller uses: the glide's normal speed.
inline constexpr int kGlidePace = 100;

// Moves the mouse cursor in a visible straight glide from where it is to the
// target (screen pixels). The cursor only moves while the installer is the
// active application, but the glide takes its steps and pauses all the same.
// Blocks the GUI thread; pumps pending messages once at the end.
void GlideCursor(services::PlatformRoles<services::Screen, services::Clock> platform, ui::Application& application,
                 ui::Point target, int pace);

}  // namespace kanvel::licence
