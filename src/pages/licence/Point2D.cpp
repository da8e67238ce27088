#include "pages/licence/Point2D.h"

#include <cmath>
#include <numbers>

namespace kanvel::licence {

namespace {
constexpr double kEqualPointTolerance = 0.001;

double ClampUnit(double v) {
    if (v > 1.0) return 1.0;
    if (!(v >= -1.0)) return -1.0;  // also catches NaN
    return v;
}
}  // namespace

TPoint2D SetPoint2D(double x, double y) { return TPoint2D{x, y}; }

double ArcCosClamped(double v) {
    v = ClampUnit(v);
    return std::atan2(std::sqrt(1.0 - v * v), v);
}

double ArcSinClamped(double v) {
    v = ClampUnit(v);
    return std::atan2(v, std::sqrt(1.0 - v * v));
}

double BearingAngle(const TPoint2D& from, const TPoint2D& to, double offset) {
    constexpr double pi = std::numbers::pi;
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d < kEqualPointTolerance || (dx == 0.0 && dy == 0.0)) return 0.0;

    double angle;
    if (dy >= 0.0)
        angle = ArcCosClamped(dx / d);
    else if (dx >= 0.0)
        angle = ArcSinClamped(dy / d) + 2.0 * pi;
    else
        angle = std::atan(dy / dx) + pi;

    if (offset != 0.0) angle -= offset;
    if (angle > pi) angle -= 2.0 * pi;
    if (angle <= -pi) angle += 2.0 * pi;
    return angle;
}

}  // namespace kanvel::licence
