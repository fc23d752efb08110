#pragma once
// Layout of a 2-D chart, apart from any OpenGL call: the data area inside a drawing area,
// the transform that maps chart coordinates (the square [-1, 1]^2) onto it, the frame's
// rectangle in pixels and as a scissor box, the data transform of a plot, the tick points
// and labels, and where tick labels and axis titles are written.
//
// The chart frame, the plot and the histogram all place what they draw through these
// functions, so data, frame, ticks and labels cannot drift apart.

#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "chart/axis_ticks.hpp"
#include "common/geometry.hpp"

namespace internal {

// Fixed sizes of a chart, in pixels.
struct ChartMetrics {
    int tickCount = 9;
    int tickSize = 10;  // the point size of a tick and the spacing unit of labels and titles
    int left = 68;
    int right = 8;
    int top = 8;
    int bottom = 32;
    // The tick labels' size in pixels, which the x labels' baseline keeps clear of the ticks.
    int textSize = 15;
    // Text is laid out in the area's own pixels (titles outside the frame), rather than in a
    // text space of Wd x Hd units stretched over the whole area (the frame's own look).
    bool pixelText = false;
};

// Every label and title is written at this size; a character is estimated half as wide.
constexpr int CHART_TEXT_SIZE = 15;
constexpr float CHART_HALF_CHAR_WIDTH = 7.5f;

// The layout of one drawing area of width x height pixels.
struct ChartLayout {
    int width = 0;
    int height = 0;
    // False when the area leaves no data area (narrower than 87 or lower than 51 pixels
    // with the default metrics); nothing of the chart is drawn then and the fields below
    // keep their defaults.
    bool hasDataArea = false;
    float dataWidth = 0.0f;   // Wd: the frame is Wd x Hd pixels, and the text space Wd x Hd units
    float dataHeight = 0.0f;  // Hd
    float sx = 0.0f, sy = 0.0f;  // scale applied after the offset
    float ox = 0.0f, oy = 0.0f;  // offset applied first, in chart units
    // Chart coordinates to clip coordinates of the viewport: (px, py) -> (sx(px + ox), sy(py +
    // oy)).
    glm::mat4 transform = glm::mat4(1.0f);
    // The text space laid over the whole area: Wd x Hd units, or the area's pixels with
    // pixelText; and text units per pixel of the area along x and y.
    float textWidth = 0.0f, textHeight = 0.0f;
    float ux = 0.0f, uy = 0.0f;
    // The frame (the square [-1, 1]^2) in pixels from the lower-left corner of the area.
    float frameLeft = 0.0f, frameBottom = 0.0f, frameRight = 0.0f, frameTop = 0.0f;
};

ChartLayout chartLayout(int width, int height, const ChartMetrics& metrics = ChartMetrics());

struct PixelBox {
    int x, y, width, height;
};

// The frame's rectangle as it lands in the window through the viewport (x, y, width,
// height), rounded outward to whole pixels and kept inside the viewport: the scissor box
// of the data. In a grid the window draws the chart into the cell's inset area, so the
// viewport and not the cell decides where the frame is.
PixelBox frameScissor(const ChartLayout& layout, const int viewport[4]);

// Where a chart's frame lies in the window when the chart was drawn for a drawing area of
// layout.width x layout.height through the viewport (x, y, width, height): in a grid the
// window draws into the cell's inset area, which scales the layout.
PixelFrame frameInWindow(const ChartLayout& layout, const int viewport[4]);

// The transform of a plot's data, through the frame's own transform: it takes the point
// (fx(px) - x.origin, fy(py) - y.origin), where f is log10 on a logarithmic axis and the
// identity otherwise, and lands [xmin, xmax] x [ymin, ymax] on the frame. A collapsed axis
// (see axisCollapses) puts everything on the frame's left (x) or bottom (y) edge; reversed
// limits mirror the axis. Any finite limits map right: for ranges so wide that a scale
// would fall below the smallest normal float, the matrix carries a power of two in w as
// well, so its entries stay normal and the clip coordinates divide out to the same point.
glm::mat4 dataTransform(const ChartLayout& layout, const AxisMap& x, const AxisMap& y);
// The same for linear axes, taking the data point itself (px, py), origins folded in.
glm::mat4 dataTransform(const ChartLayout& layout, float xmax, float xmin, float ymax, float ymin);

// A position in the text space (textWidth x textHeight units laid over the whole area,
// origin bottom left).
struct TextPos {
    float x, y;
};
// The text-space point of the chart point (px, py).
TextPos textAnchor(const ChartLayout& layout, float px, float py);
// Where a text of `chars` characters starts, for the tick point (px, py) of its axis.
// A y label ends a tick's length left of the frame, its baseline at the tick's height.
TextPos yLabelPos(const ChartLayout& layout, const ChartMetrics& metrics, float px, float py,
                  size_t chars);
// An x label sits under its tick, its baseline a tick plus one text size below the frame.
TextPos xLabelPos(const ChartLayout& layout, const ChartMetrics& metrics, float px, float py,
                  size_t chars);
// Labels of round-value and logarithmic ticks, placed by their measured width (text units):
// an x label centred under its tick on the same baseline as above, a y label centred on its
// tick's height and ending a tick's length left of the frame.
TextPos xLabelPosCentred(const ChartLayout& layout, const ChartMetrics& metrics, float px,
                         float width);
TextPos yLabelPosCentred(const ChartLayout& layout, const ChartMetrics& metrics, float py,
                         float width, float ascent);
// The start of a text `size` long kept inside [0, room]; 0 when it is longer than the room.
float keepInside(float start, float size, float room);
// A text's box in the text space, and whether two boxes come closer than `gap`. A box with
// x1 < x0 is empty and touches nothing.
struct TextBox {
    float x0, y0, x1, y1;
};
bool boxesTouch(const TextBox& a, const TextBox& b, float gap);
// The y title runs down from the middle of the left edge, a tick's length inside the frame.
TextPos yTitlePos(const ChartLayout& layout, const ChartMetrics& metrics);
// The x title starts at the middle of the bottom edge, a tick's length above it.
TextPos xTitlePos(const ChartLayout& layout, const ChartMetrics& metrics);

// Number of ticks on each axis: the middle one and pairs around it.
int ticksPerAxis(int tickCount);
// The chart's vertices, (x, y) pairs in chart coordinates: the four border corners
// (-1, -1), (1, -1), (1, 1), (-1, 1), then the y-axis ticks on the left edge and the x-axis
// ticks on the bottom edge, each axis in tick order (middle, then -a, +a outward).
std::vector<float> chartVertices(int tickCount);
// Two-decimal labels of one axis in tick order for the limits [min, max], from single-
// precision steps: the middle of the range, then pairs stepping (max - min) / tickCount down
// and up. The frame keeps them where they name their ticks well (see evenTicks).
std::vector<std::string> axisLabels(float max, float min, int tickCount);

}  // namespace internal
