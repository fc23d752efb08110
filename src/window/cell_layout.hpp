#pragma once
// Where a grid's cells lie in a window, apart from any OpenGL call.

namespace internal {

// Pure layout of a grid cell, in window pixels from the bottom-left corner.
struct CellLayout {
    int x, y, width, height;               // the whole cell
    int vx, vy, vwidth, vheight;           // the inset drawing area (viewport and scissor)
    float captionX, captionY;              // caption pen position inside the cell
};
CellLayout cellLayout(int framebufferWidth, int framebufferHeight, int rows, int columns,
                      int column, int row);

}  // namespace internal
