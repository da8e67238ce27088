#include "ui/DpiScale.h"

#include <cstdint>

namespace kanvel::ui {

int ScaleToDpi(int length, int dpi) {
    const std::int64_t product = static_cast<std::int64_t>(length) * dpi;
    const std::int64_t half = kDesignDpi / 2;
    const std::int64_t rounded = product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi);
    return static_cast<int>(rounded);
}

Point ScaleToDpi(Point point, int dpi) { return {ScaleToDpi(point.x, dpi), ScaleToDpi(point.y, dpi)}; }

Rect ScaleToDpi(Rect place, int dpi) {
    const int left = ScaleToDpi(place.left, dpi);
    const int top = ScaleToDpi(place.top, dpi);
    return {left, top, ScaleToDpi(place.left + place.width, dpi) - left,
            ScaleToDpi(place.top + place.height, dpi) - top};
}

Font ScaleToDpi(Font font, int dpi) {
    font.height = ScaleToDpi(font.height, dpi);
    return font;
}

int DesignLengthCovering(int pixels, int dpi) {
    if (pixels <= 0 || dpi <= 0) return 0;
    int length = static_cast<int>(static_cast<std::int64_t>(pixels) * kDesignDpi / dpi);
    while (ScaleToDpi(length, dpi) < pixels) ++length;
    return length;
}

}  // namespace kanvel::ui
