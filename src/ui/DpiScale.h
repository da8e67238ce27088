#pragma once

#include "ui/Font.h"
#include "ui/Geometry.h"

namespace kanvel::ui {

// The layout is designed in pixels at 96 DPI. On a screen of another pixel
// density every length is scaled by DPI / 96 when it reaches the screen.
inline constexpr int kDesignDpi = 96;

// A designed length in pixels at the DPI: length × dpi / 96, rounded to the
// nearest pixel with halves away from zero (the rounding of Windows' MulDiv).
int ScaleToDpi(int length, int dpi);
// A designed point at the DPI.
Point ScaleToDpi(Point point, int dpi);
// A designed place at the DPI. Its edges are scaled rather than its size, so
// controls that meet at 96 DPI still meet, with no gap and no overlap.
Rect ScaleToDpi(Rect place, int dpi);
// A designed font at the DPI: its character height scales like a length.
Font ScaleToDpi(Font font, int dpi);
// A height measured in pixels at the DPI, as a designed length: the smallest
// designed length that scales to at least that height, so that the text fits.
int DesignLengthCovering(int pixels, int dpi);

}  // namespace kanvel::ui
