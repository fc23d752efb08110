#pragma once
// Rectangles in a window's pixels, as the window and what it draws pass them: plain values,
// apart from any OpenGL call.

namespace internal {

// A rectangle in window pixels, from the framebuffer's bottom-left corner.
struct PixelArea {
    int x = 0, y = 0, width = 0, height = 0;
};

// A rectangle in window pixels, origin at the window's bottom-left corner, not rounded.
struct PixelFrame {
    double left = 0.0, bottom = 0.0, width = 0.0, height = 0.0;
};

// What a draw shows where, for the mouse: a chart's frame in window pixels (`chart` false
// for anything else, or a chart whose area left no frame).
struct DrawnFrame {
    bool chart = false;
    PixelFrame frame;
};

}  // namespace internal
