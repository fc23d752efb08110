#pragma once
// Where a grid's cells lie in a window, apart from any OpenGL call.

namespace internal {

// Pure layout of a grid cell, in window pixels from the bottom-left corner.
struct CellLayout {
    int x, y, width, height;               // the whole cell
    int vx, vy, vwidth, vheight;           // the inset drawing area (viewport and scissor)
    float captionX, captionY;              // caption pen position inside the cell
};
// captionBand < 0 keeps the grid's own insets (a band of about 10% of the cell height above
// the drawing area, shared by the caption and the chart's top margin); 0 or more puts the
// drawing area's top that many pixels below the cell's top (at least the 2% inset), so that
// a caption written in the band never reaches the drawing area.
CellLayout cellLayout(int framebufferWidth, int framebufferHeight, int rows, int columns,
                      int column, int row, int captionBand = -1);

}  // namespace internal
