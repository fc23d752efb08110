#pragma once
// The mouse in a window's charts: a drag with the left button pans the chart under the
// cursor, the wheel zooms about the cursor (Shift: x only, Ctrl: y only), a double click
// fits the limits to the data, a drag with the right button (or Ctrl and the left) zooms
// to the box it draws, and the R or Home key fits the chart under the cursor. The window tells the interaction what it drew where; the
// window system's events, polled by a draw, then move the limits of the chart under the
// cursor through the chart's own setters, so its labels and the application's getters
// follow.
//
// The maths (limits from cursor positions, the cell under the cursor, what makes a double
// click) are pure functions, apart from any OpenGL or window-system call.

#include <chrono>
#include <memory>
#include <vector>

#include "chart/chart_layout.hpp"
#include "common/geometry.hpp"

namespace internal {

class AbstractRenderable;
class AbstractChart2D;

// One axis' limits as the mouse moves them: as set (max may lie below min), and whether the
// axis is logarithmic, in which case the mouse works on log10 of the limits so that a drag
// moves the data as far as the cursor on every decade.
struct AxisSpan {
    double min = 0.0;
    double max = 1.0;
    bool log = false;
};

// The value at fraction t along the axis: 0 at min's edge of the frame, 1 at max's.
double spanValueAt(const AxisSpan& a, double t);
// The limits moved so that what showed at fraction `from` shows at fraction `to`.
AxisSpan panSpan(const AxisSpan& a, double from, double to);
// The limits scaled by `factor` (below 1 zooms in) about the value at fraction `about`,
// which stays where it is.
AxisSpan zoomSpan(const AxisSpan& a, double about, double factor);
// The limits that show what lay between fractions t0 and t1 (either order) across the whole
// frame; a reversed axis stays reversed.
AxisSpan boxSpan(const AxisSpan& a, double t0, double t1);
// Whether limits can be shown: finite in single precision, far enough apart for single
// precision to tell points between them apart, and above zero on a logarithmic axis. A pan
// or zoom whose result is not usable leaves that axis as it was.
bool spanUsable(const AxisSpan& a);
// The zoom factor of `steps` wheel steps (positive away from the user: zoom in); each step
// shows 1/1.25 of the range.
double wheelFactor(double steps);
// Which axes the wheel zooms with these modifier bits: Shift alone x only, Ctrl alone y
// only, otherwise both.
struct ZoomAxes {
    bool x, y;
};
ZoomAxes wheelAxes(int mods);

// A cursor position (x, y), pixels from the window's top-left corner as the window system
// reports them, is on the pixel (floor x, floor y); this is that pixel's centre in window
// pixels from the bottom-left corner of a framebuffer fbHeight pixels high, where the
// window's layouts are.
struct WindowPoint {
    double x, y;
};
WindowPoint windowPoint(int fbHeight, double x, double y);

// The grid cell (column from the left, row from the top) under the point (x, y), pixels
// from the window's top-left corner, of a framebuffer fbWidth x fbHeight laid out in rows x
// columns cells as the window lays them (see cellLayout: pixels left over by the division
// lie right of and above every cell). False when the point is in no cell.
bool cellUnder(int fbWidth, int fbHeight, int rows, int columns, double x, double y,
               int& column, int& row);

// Two presses of the left button make a double click when the second comes within this
// many seconds of the first and this many pixels of it either way.
constexpr double DOUBLE_CLICK_SECONDS = 0.4;
constexpr double DOUBLE_CLICK_PIXELS = 4.0;
bool isDoubleClick(double seconds, double dx, double dy);
// A zoom box narrower or lower than this many pixels zooms nothing: a click, not a box.
constexpr int MIN_BOX_PIXELS = 3;

// The read-out's text for the data point (x, y), each written to the precision that tells
// one pixel of its axis from the next (`xStep`, `yStep`: the data a pixel spans there),
// so that it rounds by less than half a pixel: "x 12.35  y -0.0042". Plain decimals for
// magnitudes from 1e-4 to 1e6, powers of ten beyond. Writes at most `size` bytes, NUL
// included; allocates nothing.
void formatReadout(double x, double xStep, double y, double yStep, char* out, size_t size);

// How the mouse may move each axis' limits of a chart: freely; by zooming about the minimum
// only (bars that stand on the bottom edge scale with ymax alone, so moving ymin would only
// relabel them); or not at all (bins that divide the width whatever the x limits).
enum class MouseAxis { Free, ZoomFromMin, Fixed };
MouseAxis mouseX(const AbstractChart2D& chart);
MouseAxis mouseY(const AbstractChart2D& chart);

// The mouse handling of one window.
class Interaction {
public:
    // On (the default), the events below move limits; off, they change nothing, and a drag
    // in progress ends.
    void setEnabled(bool on);
    bool enabled() const { return mEnabled; }

    // What the window drew, for events until the next draw. Only charts answer the mouse;
    // images and anything else drawn are kept only to know that no chart is there. No
    // ownership is taken: an object gone since its draw is not moved.
    void drewWhole(const std::shared_ptr<AbstractRenderable>& r, const DrawnFrame& drawn,
                   int fbWidth, int fbHeight);
    // A new grid layout: every cell empty. Only the cells drawn are remembered, not the
    // grid, so a grid of any size costs nothing here; memory is allocated only when a frame
    // draws more cells than any frame before.
    void laidGrid(int rows, int columns);
    // A grid frame begins: what the cells showed before is forgotten.
    void newGridFrame();
    void drewCell(int column, int row, const std::shared_ptr<AbstractRenderable>& r,
                  const DrawnFrame& drawn, int fbWidth, int fbHeight);

    // The window system's events; positions in pixels from the window's top-left corner.
    // They may raise what the chart's fit raises (see AbstractChart2D::fitAxesToData).
    void button(int button, int action, int mods, double x, double y);
    void cursor(double x, double y);
    void scroll(double dy, int mods, double x, double y);
    void key(int key, int action);

    // The read-out: with on (off by default), the chart under the cursor shows the data
    // coordinates there and a crosshair (see readoutIn). Independent of setEnabled, but
    // shown only while the mouse is enabled.
    void setReadout(bool on) { mReadout = on; }
    bool readout() const { return mReadout; }
    // What the read-out shows over the chart just drawn in the whole window (column and row
    // -1) or in that cell: the cursor's pixel (its centre, window pixels from the bottom
    // left), the chart's frame and the text for the chart's limits as they are now. False
    // when the read-out or the mouse is off or the cursor is not over that chart's frame.
    struct Readout {
        WindowPoint at{0.0, 0.0};
        PixelFrame frame;
        AbstractChart2D* chart = nullptr;  // alive while the drawn object is
        char text[96] = {};
    };
    bool readoutIn(int column, int row, Readout& out) const;

    // The zoom box being dragged, in window pixels from the bottom-left corner, inside the
    // chart's frame; false when none is (or it is empty).
    bool zoomBox(PixelArea& box) const;
    // Whether the box lies in the whole window's draw or in this grid cell's.
    bool zoomBoxIn(int column, int row) const;

private:
    struct Drawn {
        int column = -1, row = -1;  // the cell, in a grid
        std::weak_ptr<AbstractRenderable> object;
        DrawnFrame drawn;  // what the draw reported
    };
    // The chart drawn under the point and its frame in window pixels; null when none (or
    // the chart left no data area). `hold` keeps it alive for the caller.
    AbstractChart2D* chartAt(double x, double y, std::shared_ptr<AbstractRenderable>& hold,
                             PixelFrame& frame) const;
    static AbstractChart2D* chartOf(const Drawn& d, std::shared_ptr<AbstractRenderable>& hold,
                                    PixelFrame& frame);
    // Sets the chart's limits to x and y, each only when usable; a change pauses the
    // following of the data so that the view the user chose stays.
    static void applyLimits(AbstractChart2D& chart, const AxisSpan& x, const AxisSpan& y);
    void fit(AbstractChart2D& chart);
    void endDrag();

    bool mEnabled = true;
    bool mReadout = false;
    bool mGrid = false;
    int mFbWidth = 0, mFbHeight = 0;  // at the last draw
    int mRows = 0, mColumns = 0;
    Drawn mWhole;
    std::vector<Drawn> mCells;  // the cell draws of this frame, in the order drawn

    bool mDragging = false;
    std::weak_ptr<AbstractRenderable> mDragObject;
    PixelFrame mDragFrame;
    WindowPoint mDragAt{0.0, 0.0};  // where the drag began
    AxisSpan mDragXSpan, mDragYSpan;    // the limits then

    // The zoom box: the chart and its frame, and the corner where the drag began.
    bool mBoxing = false;
    std::weak_ptr<AbstractRenderable> mBoxObject;
    PixelFrame mBoxFrame;
    int mBoxColumn = -1, mBoxRow = -1;
    WindowPoint mBoxFrom{0.0, 0.0}, mBoxTo{0.0, 0.0};
    void endBox();
    // Where the cursor was last seen, for the keys.
    double mCursorX = -1.0, mCursorY = -1.0;

    bool mPressed = false;  // a left press has happened
    std::chrono::steady_clock::time_point mLastPress;
    double mLastPressX = 0.0, mLastPressY = 0.0;
};

}  // namespace internal
