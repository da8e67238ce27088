#pragma once

namespace kanvel::ui {

// A screen or client point in integer pixels (x to the right, y downward).
struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A control's place inside its parent: left, top, width, height.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace kanvel::ui
