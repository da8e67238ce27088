#pragma once

namespace kanvel::licence {

// A point of two real coordinates.
struct TPoint2D {
    double x = 0.0;
    double y = 0.0;
};

TPoint2D SetPoint2D(double x, double y);

// Arc cosine and arc sine of v clamped into [-1, 1]; anything that is not at
// least -1, a NaN included, counts as -1.
double ArcCosClamped(double v);
double ArcSinClamped(double v);

// Direction from one point to another in radians, in (-pi, pi], less the
// offset. Points closer than 0.001 give 0.
double BearingAngle(const TPoint2D& from, const TPoint2D& to, double offset);

}  // namespace kanvel::licence
