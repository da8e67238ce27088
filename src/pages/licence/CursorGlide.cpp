#include "pages/licence/CursorGlide.h"

#include <cmath>

#include "pages/licence/Point2D.h"

namespace kanvel::licence {

namespace {
constexpr double kFarThreshold = 100.0;
constexpr double kMiddleThreshold = 30.0;
constexpr double kNearThreshold = 10.0;
constexpr int kStepCap = 200;
constexpr int kPausePeriod = 5;
constexpr int kBasePauseMs = 10;

double Distance(ui::Point a, ui::Point b) {
    const long long dx = a.x - b.x;
    const long long dy = a.y - b.y;
    return std::sqrt(static_cast<double>(dx * dx + dy * dy));
}

double InitialStep(double startDistance) {
    if (startDistance > kFarThreshold) return startDistance / kFarThreshold;
    if (startDistance > kMiddleThreshold) return startDistance / kMiddleThreshold;
    return startDistance / kNearThreshold;
}

// Rounds to the nearest integer, halves to the even neighbour.
int RoundHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }

// The pause length at the given pace; the pace 100 gives the base pause.
int PauseMs(int pace, bool near) {
    const int base = pace > 0 ? kBasePauseMs * 100 / pace : kBasePauseMs;
    return near ? 2 * base : base;
}
}  // namespace

void GlideCursor(services::PlatformRoles<services::Screen, services::Clock> platform, ui::Application& application,
                 ui::Point target, int pace) {
    services::Screen& screen = platform.get<services::Screen>();
    services::Clock& clock = platform.get<services::Clock>();
    ui::Point p = screen.CursorPosition();
    double step = InitialStep(Distance(p, target));
    for (int i = 0; p != target && i < kStepCap; ++i) {
        const double angle = BearingAngle(SetPoint2D(p.x, p.y), SetPoint2D(target.x, target.y), 0.0);
        const double distance = Distance(p, target);
        if (distance < kNearThreshold) step = 1.0;
        if (p.x != target.x) p.x += RoundHalfEven(std::cos(angle) * step);
        if (p.y != target.y) p.y += RoundHalfEven(std::sin(angle) * step);
        if (application.active()) screen.SetCursorPosition(p);
        if (i % kPausePeriod == 0) clock.Sleep(PauseMs(pace, distance < kNearThreshold));
    }
    application.processMessages();
}

}  // namespace kanvel::licence
