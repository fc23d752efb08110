#include "window/interaction.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "chart/axis_ticks.hpp"
#include "chart/chart_impl.hpp"
#include "common/renderable.hpp"
#include "window/cell_layout.hpp"

namespace internal {

namespace {
// GLFW's codes, which the window core hands over unchanged (see zarvo/window.h).
constexpr int LEFT_BUTTON = 0;
constexpr int RIGHT_BUTTON = 1;
constexpr int PRESS = 1;
constexpr int KEY_R = 82;
constexpr int KEY_HOME = 268;
constexpr int RELEASE = 0;
constexpr int MOD_SHIFT = 1;
constexpr int MOD_CONTROL = 2;

double toAxis(const AxisSpan& a, double v) { return a.log ? std::log10(v) : v; }
double fromAxis(const AxisSpan& a, double v) { return a.log ? std::pow(10.0, v) : v; }
AxisSpan spanOf(const AxisSpan& a, double lo, double hi) {
    return {fromAxis(a, lo), fromAxis(a, hi), a.log};
}
}  // namespace

double spanValueAt(const AxisSpan& a, double t) {
    const double lo = toAxis(a, a.min), hi = toAxis(a, a.max);
    return fromAxis(a, lo + t * (hi - lo));
}

AxisSpan boxSpan(const AxisSpan& a, double t0, double t1) {
    if (t1 < t0) std::swap(t0, t1);
    return {spanValueAt(a, t0), spanValueAt(a, t1), a.log};
}

AxisSpan panSpan(const AxisSpan& a, double from, double to) {
    const double lo = toAxis(a, a.min), hi = toAxis(a, a.max);
    const double shift = (from - to) * (hi - lo);
    return spanOf(a, lo + shift, hi + shift);
}

AxisSpan zoomSpan(const AxisSpan& a, double about, double factor) {
    const double lo = toAxis(a, a.min), hi = toAxis(a, a.max);
    const double c = lo + about * (hi - lo);
    return spanOf(a, c + (lo - c) * factor, c + (hi - c) * factor);
}

bool spanUsable(const AxisSpan& a) {
    constexpr double largest = std::numeric_limits<float>::max();
    if (!(std::fabs(a.min) <= largest) || !(std::fabs(a.max) <= largest)) return false;
    const float lo = static_cast<float>(a.min), hi = static_cast<float>(a.max);
    if (a.log && !logLimitsValid(hi, lo)) return false;
    return !axisCollapses(hi, lo);
}

double wheelFactor(double steps) { return std::pow(1.25, -steps); }

ZoomAxes wheelAxes(int mods) {
    const bool shift = (mods & MOD_SHIFT) != 0, control = (mods & MOD_CONTROL) != 0;
    return {!(control && !shift), !(shift && !control)};
}

WindowPoint windowPoint(int fbHeight, double x, double y) {
    return {std::floor(x) + 0.5, static_cast<double>(fbHeight) - std::floor(y) - 0.5};
}

bool cellUnder(int fbWidth, int fbHeight, int rows, int columns, double x, double y,
               int& column, int& row) {
    if (rows < 1 || columns < 1) return false;
    const int cw = fbWidth / columns, ch = fbHeight / rows;
    if (cw < 1 || ch < 1) return false;
    if (!(x >= 0.0 && x < fbWidth) || !(y >= 0.0 && y < fbHeight)) return false;
    // Cells are counted from the bottom-left corner, where the window places them.
    const WindowPoint p = windowPoint(fbHeight, x, y);
    const double c = std::floor(p.x / cw), r = std::floor(p.y / ch);
    if (c >= columns || r >= rows) return false;
    column = static_cast<int>(c);
    row = rows - 1 - static_cast<int>(r);
    return true;
}

bool isDoubleClick(double seconds, double dx, double dy) {
    return seconds >= 0.0 && seconds <= DOUBLE_CLICK_SECONDS &&
           std::fabs(dx) <= DOUBLE_CLICK_PIXELS && std::fabs(dy) <= DOUBLE_CLICK_PIXELS;
}

namespace {
// One coordinate of the read-out, to the decimals that resolve `step`.
int formatCoordinate(double v, double step, char* out, size_t size) {
    if (!std::isfinite(v)) return std::snprintf(out, size, "%g", v);
    const double a = std::fabs(v);
    const double resolution = std::isfinite(step) && step > 0.0 ? step : a * 1e-6;
    if (a != 0.0 && (a >= 1e6 || a < 1e-4)) {
        // Digits after the first enough for the step: 10^(exponent - digits) <= step.
        const double digits = std::ceil(std::floor(std::log10(a)) -
                                        std::log10(std::max(resolution, a * 1e-9)));
        const int p = static_cast<int>(std::min(9.0, std::max(0.0, digits)));
        return std::snprintf(out, size, "%.*e", p, v);
    }
    const double decimals = resolution > 0.0 ? std::ceil(-std::log10(resolution)) : 9.0;
    const int d = static_cast<int>(std::min(9.0, std::max(0.0, decimals)));
    return std::snprintf(out, size, "%.*f", d, v);
}
}  // namespace

void formatReadout(double x, double xStep, double y, double yStep, char* out, size_t size) {
    if (size == 0) return;
    int n = std::snprintf(out, size, "x ");
    if (n < 0 || static_cast<size_t>(n) >= size) return;
    n += formatCoordinate(x, xStep, out + n, size - static_cast<size_t>(n));
    if (n < 0 || static_cast<size_t>(n) >= size) return;
    n += std::snprintf(out + n, size - static_cast<size_t>(n), "  y ");
    if (n < 0 || static_cast<size_t>(n) >= size) return;
    formatCoordinate(y, yStep, out + n, size - static_cast<size_t>(n));
}

MouseAxis mouseX(const AbstractChart2D& chart) {
    return chart.fillsWidth() ? MouseAxis::Fixed : MouseAxis::Free;
}

MouseAxis mouseY(const AbstractChart2D& chart) {
    return chart.standsOnBottom() ? MouseAxis::ZoomFromMin : MouseAxis::Free;
}

void Interaction::setEnabled(bool on) {
    mEnabled = on;
    if (!on) {
        endDrag();
        endBox();
    }
}

void Interaction::drewWhole(const std::shared_ptr<AbstractRenderable>& r,
                            const DrawnFrame& drawn, int fbWidth, int fbHeight) {
    mGrid = false;
    mFbWidth = fbWidth;
    mFbHeight = fbHeight;
    mWhole.object = r;
    mWhole.drawn = drawn;
}

void Interaction::laidGrid(int rows, int columns) {
    mGrid = true;
    mRows = rows;
    mColumns = columns;
    mCells.clear();
}

void Interaction::newGridFrame() { mCells.clear(); }

void Interaction::drewCell(int column, int row, const std::shared_ptr<AbstractRenderable>& r,
                           const DrawnFrame& drawn, int fbWidth, int fbHeight) {
    mGrid = true;
    mFbWidth = fbWidth;
    mFbHeight = fbHeight;
    if (column < 0 || row < 0 || column >= mColumns || row >= mRows) return;
    // Appended even when the cell was drawn before in this frame: the last draw is on top,
    // and chartAt looks from the end.
    mCells.emplace_back();
    Drawn& d = mCells.back();
    d.column = column;
    d.row = row;
    d.object = r;
    d.drawn = drawn;
}

AbstractChart2D* Interaction::chartOf(const Drawn& d, std::shared_ptr<AbstractRenderable>& hold,
                                      PixelFrame& frame) {
    // The frame where the chart's last draw in this place put it.
    if (!d.drawn.chart) return nullptr;
    hold = d.object.lock();
    auto* chart = dynamic_cast<AbstractChart2D*>(hold.get());
    if (!chart) return nullptr;
    frame = d.drawn.frame;
    return chart;
}

AbstractChart2D* Interaction::chartAt(double x, double y,
                                      std::shared_ptr<AbstractRenderable>& hold,
                                      PixelFrame& frame) const {
    if (!mGrid) return chartOf(mWhole, hold, frame);
    int column = 0, row = 0;
    if (!cellUnder(mFbWidth, mFbHeight, mRows, mColumns, x, y, column, row)) return nullptr;
    for (auto d = mCells.rbegin(); d != mCells.rend(); ++d)
        if (d->column == column && d->row == row) return chartOf(*d, hold, frame);
    return nullptr;
}

void Interaction::applyLimits(AbstractChart2D& chart, const AxisSpan& x, const AxisSpan& y) {
    float xmax = chart.xmax(), xmin = chart.xmin(), ymax = chart.ymax(), ymin = chart.ymin();
    if (spanUsable(x)) {
        xmax = static_cast<float>(x.max);
        xmin = static_cast<float>(x.min);
    }
    if (spanUsable(y)) {
        ymax = static_cast<float>(y.max);
        ymin = static_cast<float>(y.min);
    }
    if (xmax == chart.xmax() && xmin == chart.xmin() && ymax == chart.ymax() &&
        ymin == chart.ymin())
        return;
    // Following the data would undo the user's view on the next frame; so would that of a
    // chart linked to this one.
    chart.forEachLinked([](AbstractChart2D& c) {
        if (c.autoFit()) {
            c.setAutoFit(false);
            c.setFollowPausedByMouse(true);
        }
    });
    chart.setAxesLimits(xmax, xmin, ymax, ymin, "mouse");
}

void Interaction::fit(AbstractChart2D& chart) {
    chart.fitAxesToData();
    chart.forEachLinked([](AbstractChart2D& c) {
        if (c.followPausedByMouse()) c.setAutoFit(true);
    });
}

void Interaction::endDrag() {
    mDragging = false;
    mDragObject.reset();
}

void Interaction::endBox() {
    mBoxing = false;
    mBoxObject.reset();
}

bool Interaction::zoomBox(PixelArea& box) const {
    if (!mBoxing || mBoxObject.expired()) return false;
    // The box is clamped to the frame, on whole pixels: the pixels whose centres it covers.
    const PixelFrame& f = mBoxFrame;
    const auto clamp = [](double v, double lo, double hi) { return std::min(std::max(v, lo), hi); };
    const double x0 = clamp(std::min(mBoxFrom.x, mBoxTo.x), f.left, f.left + f.width);
    const double x1 = clamp(std::max(mBoxFrom.x, mBoxTo.x), f.left, f.left + f.width);
    const double y0 = clamp(std::min(mBoxFrom.y, mBoxTo.y), f.bottom, f.bottom + f.height);
    const double y1 = clamp(std::max(mBoxFrom.y, mBoxTo.y), f.bottom, f.bottom + f.height);
    box.x = static_cast<int>(std::lround(x0));
    box.y = static_cast<int>(std::lround(y0));
    box.width = static_cast<int>(std::lround(x1)) - box.x;
    box.height = static_cast<int>(std::lround(y1)) - box.y;
    return box.width > 0 && box.height > 0;
}

bool Interaction::readoutIn(int column, int row, Readout& out) const {
    if (!mReadout || !mEnabled || mCursorX < 0.0 || mCursorY < 0.0) return false;
    if (mGrid != (column >= 0)) return false;
    const Drawn* d = nullptr;
    if (!mGrid) {
        d = &mWhole;
    } else {
        int c = 0, r = 0;
        if (!cellUnder(mFbWidth, mFbHeight, mRows, mColumns, mCursorX, mCursorY, c, r) ||
            c != column || r != row)
            return false;
        for (auto it = mCells.rbegin(); it != mCells.rend() && !d; ++it)
            if (it->column == column && it->row == row) d = &*it;
        if (!d) return false;
    }
    std::shared_ptr<AbstractRenderable> hold;
    PixelFrame f;
    AbstractChart2D* chart = chartOf(*d, hold, f);
    if (!chart) return false;
    const WindowPoint p = windowPoint(mFbHeight, mCursorX, mCursorY);
    if (p.x < f.left || p.x > f.left + f.width || p.y < f.bottom || p.y > f.bottom + f.height)
        return false;
    const AxisSpan xs{chart->xmin(), chart->xmax(), chart->xLog()};
    const AxisSpan ys{chart->ymin(), chart->ymax(), chart->yLog()};
    const double tx = (p.x - f.left) / f.width, ty = (p.y - f.bottom) / f.height;
    const double x = spanValueAt(xs, tx), y = spanValueAt(ys, ty);
    // A pixel's worth of data at the cursor (on a logarithmic axis it grows with the value).
    const double xStep = std::fabs(spanValueAt(xs, tx + 1.0 / f.width) - x);
    const double yStep = std::fabs(spanValueAt(ys, ty + 1.0 / f.height) - y);
    out.at = p;
    out.frame = f;
    out.chart = chart;
    formatReadout(x, xStep, y, yStep, out.text, sizeof out.text);
    return true;
}

bool Interaction::zoomBoxIn(int column, int row) const {
    return mBoxing && column == mBoxColumn && row == mBoxRow;
}

void Interaction::key(int key, int action) {
    if (!mEnabled || action != PRESS || (key != KEY_R && key != KEY_HOME)) return;
    std::shared_ptr<AbstractRenderable> hold;
    PixelFrame frame;
    AbstractChart2D* chart = chartAt(mCursorX, mCursorY, hold, frame);
    if (chart) fit(*chart);
}

void Interaction::button(int button, int action, int mods, double x, double y) {
    mCursorX = x;
    mCursorY = y;
    if (mBoxing && action == RELEASE) {
        // The button that began the box ends it, whichever of the two that was.
        std::shared_ptr<AbstractRenderable> hold = mBoxObject.lock();
        auto* chart = dynamic_cast<AbstractChart2D*>(hold.get());
        PixelArea box;
        const bool zoom = mEnabled && chart && zoomBox(box) && box.width >= MIN_BOX_PIXELS &&
                          box.height >= MIN_BOX_PIXELS;
        endBox();
        if (!zoom) return;
        const PixelFrame& f = mBoxFrame;
        AxisSpan xs{chart->xmin(), chart->xmax(), chart->xLog()};
        AxisSpan ys{chart->ymin(), chart->ymax(), chart->yLog()};
        const double x0 = (box.x - f.left) / f.width, x1 = (box.x + box.width - f.left) / f.width;
        const double y0 = (box.y - f.bottom) / f.height;
        const double y1 = (box.y + box.height - f.bottom) / f.height;
        if (mouseX(*chart) == MouseAxis::Free) xs = boxSpan(xs, x0, x1);
        // Bars standing on the bottom edge keep it: the box sets only their top.
        if (mouseY(*chart) == MouseAxis::Free) ys = boxSpan(ys, y0, y1);
        if (mouseY(*chart) == MouseAxis::ZoomFromMin) ys = boxSpan(ys, 0.0, y1);
        applyLimits(*chart, xs, ys);
        return;
    }
    const bool boxButton =
        button == RIGHT_BUTTON || (button == LEFT_BUTTON && (mods & MOD_CONTROL) != 0);
    if (boxButton && action == PRESS && mEnabled) {
        endDrag();
        std::shared_ptr<AbstractRenderable> hold;
        PixelFrame frame;
        AbstractChart2D* chart = chartAt(x, y, hold, frame);
        if (!chart) return;
        mBoxing = true;
        mBoxObject = hold;
        mBoxFrame = frame;
        mBoxColumn = mBoxRow = -1;
        if (mGrid) cellUnder(mFbWidth, mFbHeight, mRows, mColumns, x, y, mBoxColumn, mBoxRow);
        mBoxFrom = mBoxTo = windowPoint(mFbHeight, x, y);
        return;
    }
    if (button != LEFT_BUTTON) return;
    if (action == RELEASE) {
        endDrag();
        return;
    }
    if (!mEnabled || action != PRESS) return;
    const auto now = std::chrono::steady_clock::now();
    const bool twice =
        mPressed && isDoubleClick(std::chrono::duration<double>(now - mLastPress).count(),
                                  x - mLastPressX, y - mLastPressY);
    // A third press starts a new pair rather than making a second double click.
    mPressed = !twice;
    mLastPress = now;
    mLastPressX = x;
    mLastPressY = y;
    endDrag();

    std::shared_ptr<AbstractRenderable> hold;
    PixelFrame frame;
    AbstractChart2D* chart = chartAt(x, y, hold, frame);
    if (!chart) return;
    if (twice) {
        fit(*chart);
        return;
    }
    mDragging = true;
    mDragObject = hold;
    mDragFrame = frame;
    mDragAt = windowPoint(mFbHeight, x, y);
    mDragXSpan = {chart->xmin(), chart->xmax(), chart->xLog()};
    mDragYSpan = {chart->ymin(), chart->ymax(), chart->yLog()};
}

void Interaction::cursor(double x, double y) {
    mCursorX = x;
    mCursorY = y;
    if (mEnabled && mBoxing) {
        mBoxTo = windowPoint(mFbHeight, x, y);
        return;
    }
    if (!mEnabled || !mDragging) return;
    std::shared_ptr<AbstractRenderable> hold = mDragObject.lock();
    auto* chart = dynamic_cast<AbstractChart2D*>(hold.get());
    if (!chart) {
        endDrag();
        return;
    }
    // From the limits and position where the drag began, so that rounding does not build
    // up over many small moves and the data stays under the cursor.
    const PixelFrame& f = mDragFrame;
    const WindowPoint p = windowPoint(mFbHeight, x, y);
    AxisSpan xs = mDragXSpan, ys = mDragYSpan;
    if (mouseX(*chart) == MouseAxis::Free)
        xs = panSpan(mDragXSpan, (mDragAt.x - f.left) / f.width, (p.x - f.left) / f.width);
    if (mouseY(*chart) == MouseAxis::Free)
        ys = panSpan(mDragYSpan, (mDragAt.y - f.bottom) / f.height, (p.y - f.bottom) / f.height);
    applyLimits(*chart, xs, ys);
}

void Interaction::scroll(double dy, int mods, double x, double y) {
    if (!mEnabled || dy == 0.0) return;
    std::shared_ptr<AbstractRenderable> hold;
    PixelFrame f;
    AbstractChart2D* chart = chartAt(x, y, hold, f);
    if (!chart) return;
    const double factor = wheelFactor(dy);
    const ZoomAxes axes = wheelAxes(mods);
    const WindowPoint p = windowPoint(mFbHeight, x, y);
    const auto zoom = [&](MouseAxis how, const AxisSpan& span, double at) {
        if (how == MouseAxis::Fixed) return span;
        return zoomSpan(span, how == MouseAxis::Free ? at : 0.0, factor);
    };
    AxisSpan xs{chart->xmin(), chart->xmax(), chart->xLog()};
    AxisSpan ys{chart->ymin(), chart->ymax(), chart->yLog()};
    if (axes.x) xs = zoom(mouseX(*chart), xs, (p.x - f.left) / f.width);
    if (axes.y) ys = zoom(mouseY(*chart), ys, (p.y - f.bottom) / f.height);
    applyLimits(*chart, xs, ys);
    // A drag in progress goes on from the new limits.
    if (mDragging && mDragObject.lock() == hold) {
        mDragXSpan = {chart->xmin(), chart->xmax(), chart->xLog()};
        mDragYSpan = {chart->ymin(), chart->ymax(), chart->yLog()};
        mDragAt = p;
    }
}

}  // namespace internal
