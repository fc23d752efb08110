// The mouse in a window's charts, driven by real events synthesised on the test's X server:
// drag pans, the wheel zooms about the cursor, a double click fits, in the whole window and
// in a grid cell; limits are checked through the public getters and the picture through
// snapshots.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <functional>
#include <vector>

#include "chart/chart_layout.hpp"
#include "glfw/window.hpp"
#include "image/color_bar_layout.hpp"
#include "support/chart_util.hpp"
#include "support/glfw_util.hpp"
#include "support/x11_input.hpp"
#include "window/interaction.hpp"
#include "window/window.hpp"
#include "zarvo.h"

namespace {

GLFWwindow* nativeOf(zv::Window& w) { return w.get()->impl()->get()->getNativeHandle(); }

constexpr int WIN_W = 600, WIN_H = 300;

// The frame of a chart drawn over a whole WIN_W x WIN_H window (or a cell's inset area),
// in pixels from the window's top-left corner.
struct Frame {
    double left, top, width, height;
    double x(double t) const { return left + t * width; }   // fraction t from the left edge
    double y(double t) const { return top + height - t * height; }  // t from the bottom edge
};
Frame frameOf(int areaW, int areaH, const int viewport[4]) {
    const internal::PixelFrame f =
        internal::frameInWindow(internal::chartLayout(areaW, areaH), viewport);
    return {f.left, WIN_H - (f.bottom + f.height), f.width, f.height};
}
Frame wholeFrame() {
    const int vp[4] = {0, 0, WIN_W, WIN_H};
    return frameOf(WIN_W, WIN_H, vp);
}

// Green-weighted centre of the pixels of one snapshot row between x0 and x1 that are green
// rather than white (the plot's colour against the frame and labels); -1 when none is.
double greenColumn(const zv::Snapshot& s, int row, int x0, int x1) {
    double sum = 0.0, weight = 0.0;
    for (int x = std::max(0, x0); x < std::min(s.width, x1); ++x) {
        const unsigned char* p = &s.rgba[(static_cast<size_t>(row) * s.width + x) * 4];
        const double g = p[1] - std::max(p[0], p[2]);
        if (g <= 40) continue;
        sum += (x + 0.5) * g;
        weight += g;
    }
    return weight > 0.0 ? sum / weight : -1.0;
}

// Writes (x, y) pairs into a plot's buffer.
void write(const zv::Plot& plot, const std::vector<float>& xy) {
    zvtest::fillBuffer(plot.vbo(), xy.data(), xy.size() * sizeof(float));
}

// Two vertical green lines at x = 4 and x = 6, running far past the limits in y.
zv::Plot twoLines() {
    zv::Plot plot(4, zv::ZV_FLOAT32);
    plot.setColor(0.0f, 1.0f, 0.0f);
    write(plot, {4.0f, -1e3f, 4.0f, 1e3f, 6.0f, 1e3f, 6.0f, -1e3f});
    plot.setAxesLimits(10.0f, 0.0f, 10.0f, 0.0f);
    return plot;
}

struct Limits {
    float xmax, xmin, ymax, ymin;
};
template <typename T>
Limits limitsOf(const T& o) {
    return {o.xmax(), o.xmin(), o.ymax(), o.ymin()};
}
void expectLimits(const Limits& want, const Limits& got, float tol) {
    EXPECT_NEAR(want.xmax, got.xmax, tol);
    EXPECT_NEAR(want.xmin, got.xmin, tol);
    EXPECT_NEAR(want.ymax, got.ymax, tol);
    EXPECT_NEAR(want.ymin, got.ymin, tol);
}

// A shown window at a known place on the screen; each draw polls the events. The
// application's callbacks count what arrived, so a test knows when the server's events
// have all been handled.
class MouseGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.setPos(40, 30);
        ASSERT_TRUE(zvtest::isVisible(nativeOf(window)));
        ASSERT_TRUE(zvtest::isAt(nativeOf(window), 40, 30));
        window.setMouseButtonCallback([this](int, int, int, double, double) { ++buttons; });
        window.setScrollCallback([this](double, double) { ++scrolls; });
        window.setKeyCallback([this](int, int, int, int) { ++keys; });
    }
    // Draws with `frame` until `done` holds, a bounded number of times: the X server
    // delivers events asynchronously.
    bool drawUntil(const std::function<void()>& frame, const std::function<bool()>& done) {
        for (int i = 0; i < 200; ++i) {
            frame();
            if (done()) return true;
            glfwWaitEventsTimeout(0.01);
        }
        return done();
    }
    // Presses the left button at `from`, moves to `to` and releases there.
    void drag(double fx, double fy, double tx, double ty) {
        input.moveTo(static_cast<int>(fx), static_cast<int>(fy));
        input.button(1, true);
        input.moveTo(static_cast<int>((fx + tx) / 2), static_cast<int>((fy + ty) / 2));
        input.moveTo(static_cast<int>(tx), static_cast<int>(ty));
        input.button(1, false);
    }
    void wheel(double x, double y, unsigned button, KeySym modifier = 0) {
        input.moveTo(static_cast<int>(x), static_cast<int>(y));
        if (modifier) input.key(modifier, true);
        input.click(button);
        if (modifier) input.key(modifier, false);
    }

    zv::Window window{WIN_W, WIN_H, "mouse"};
    zvtest::XInput input{nativeOf(window)};
    int buttons = 0;
    int scrolls = 0;
    int keys = 0;
};

// Pixels of snapshot row `row` (from the top) between x0 and x1 that are white.
int whiteInRow(const zv::Snapshot& s, int row, int x0, int x1) {
    int n = 0;
    for (int x = std::max(0, x0); x < std::min(s.width, x1); ++x) {
        const unsigned char* p = &s.rgba[(static_cast<size_t>(row) * s.width + x) * 4];
        n += p[0] > 230 && p[1] > 230 && p[2] > 230;
    }
    return n;
}

// A drag moves the data with the cursor: the limits shift by the drag over the frame's size
// (x and y), and the lines drawn move in the picture by the drag's pixels.
TEST_F(MouseGLTest, DragPansLimitsAndPicture) {
    EXPECT_TRUE(window.interactive());
    zv::Plot plot = twoLines();
    const Frame f = wholeFrame();
    const int row = static_cast<int>(f.y(0.5));
    window.draw(plot);
    const zv::Snapshot before = window.snapshot();
    const double left = greenColumn(before, row, 0, static_cast<int>(f.x(0.5)));
    ASSERT_NEAR(f.x(0.4), left, 1.5);

    const double dx = 40, dy = -30;  // right and up
    drag(f.x(0.4), f.y(0.5), f.x(0.4) + dx, f.y(0.5) + dy);
    ASSERT_TRUE(drawUntil([&] { window.draw(plot); }, [&] { return buttons >= 2; }));
    const float sx = static_cast<float>(10.0 * dx / f.width);
    const float sy = static_cast<float>(10.0 * -dy / f.height);
    expectLimits({10.0f - sx, -sx, 10.0f - sy, -sy}, limitsOf(plot), 0.02f);

    window.draw(plot);
    const zv::Snapshot after = window.snapshot();
    EXPECT_NEAR(left + dx, greenColumn(after, row, 0, static_cast<int>(f.x(0.5) + dx)), 1.5);
}

// Plots linked on x across two windows of a share group: a drag in one moves the other's x
// at once, so the other window drawn right after shows its line moved as far (its y, not
// linked, stays); a double click fits the one under the cursor and the other's x with it.
TEST_F(MouseGLTest, DragAndFitMoveTheChartLinkedInAnotherWindow) {
    zv::Window other(WIN_W, WIN_H, "linked", &window);
    other.setPos(40, 30 + WIN_H + 60);
    zv::Plot a = twoLines(), b = twoLines();
    zv::linkAxes(a, b, zv::ZV_LINK_X);
    const Frame f = wholeFrame();
    const int row = static_cast<int>(f.y(0.5));
    other.draw(b);
    const double left = greenColumn(other.snapshot(), row, 0, static_cast<int>(f.x(0.5)));
    ASSERT_NEAR(f.x(0.4), left, 1.5);

    const double dx = 40, dy = -30;
    window.draw(a);
    drag(f.x(0.4), f.y(0.5), f.x(0.4) + dx, f.y(0.5) + dy);
    ASSERT_TRUE(drawUntil([&] { window.draw(a); }, [&] { return buttons >= 2; }));
    other.draw(b);
    EXPECT_NEAR(left + dx,
                greenColumn(other.snapshot(), row, 0, static_cast<int>(f.x(0.5) + dx)), 1.5);
    EXPECT_EQ(a.xmax(), b.xmax());
    EXPECT_EQ(a.xmin(), b.xmin());
    EXPECT_NE(a.ymax(), b.ymax());
    EXPECT_EQ(10.0f, b.ymax());

    input.click(1);
    input.click(1);
    ASSERT_TRUE(drawUntil([&] { window.draw(a); }, [&] { return buttons >= 6; }));
    EXPECT_NEAR(6.1f, b.xmax(), 1e-4f);  // the lines' x range, 4 to 6, plus 5% each side
    EXPECT_NEAR(3.9f, b.xmin(), 1e-4f);
    EXPECT_EQ(10.0f, b.ymax());
}

// A drag with the right button, or with Ctrl and the left, outlines a box while it lasts and
// zooms to it on release: the limits become the values at the box's edges, to a pixel's
// worth. R (or Home) fits the chart under the cursor to its data again.
TEST_F(MouseGLTest, BoxZoomsToWhatItOutlinesAndTheResetKeyFits) {
    struct Case {
        const char* how;
        unsigned button;
        KeySym modifier;
        KeySym reset;
    } cases[] = {{"right button", 3, 0, XK_r}, {"Ctrl and left button", 1, XK_Control_L, XK_Home}};
    const Frame f = wholeFrame();
    const double tol = 10.0 * 1.5 / f.height;  // a pixel and a half of the frame, in data
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        zv::Plot plot = twoLines();
        const auto draw = [&] { window.draw(plot); };
        draw();
        buttons = keys = 0;
        const double x0 = f.x(0.2), y0 = f.y(0.3), x1 = f.x(0.6), y1 = f.y(0.8);
        input.moveTo(static_cast<int>(x0), static_cast<int>(y0));
        if (c.modifier) input.key(c.modifier, true);
        input.button(c.button, true);
        input.moveTo(static_cast<int>((x0 + x1) / 2), static_cast<int>((y0 + y1) / 2));
        input.moveTo(static_cast<int>(x1), static_cast<int>(y1));
        ASSERT_TRUE(drawUntil(draw, [&] { return buttons >= 1; }));
        for (int i = 0; i < 5; ++i) draw();  // the moves arrive after the press
        // While the button is held: the limits stay, the box is outlined in white.
        expectLimits({10.0f, 0.0f, 10.0f, 0.0f}, limitsOf(plot), 0.0f);
        const zv::Snapshot held = window.snapshot();
        const int inner0 = static_cast<int>(x0) + 3, inner1 = static_cast<int>(x1) - 3;
        int best = 0;
        for (int row : {static_cast<int>(y1) - 1, static_cast<int>(y1), static_cast<int>(y1) + 1})
            best = std::max(best, whiteInRow(held, row, inner0, inner1));
        EXPECT_GE(best, inner1 - inner0 - 1) << "the box's top edge";

        input.button(c.button, false);
        if (c.modifier) input.key(c.modifier, false);
        ASSERT_TRUE(drawUntil(draw, [&] { return buttons >= 2; }));
        expectLimits({6.0f, 2.0f, 8.0f, 3.0f}, limitsOf(plot), static_cast<float>(tol));
        draw();
        EXPECT_LT(whiteInRow(window.snapshot(), static_cast<int>(y1), inner0, inner1),
                  (inner1 - inner0) / 2)
            << "the box is gone after the release";

        input.moveTo(static_cast<int>(f.x(0.5)), static_cast<int>(f.y(0.5)));
        input.tap(c.reset);
        ASSERT_TRUE(drawUntil(draw, [&] { return keys >= 2; }));
        const Limits reset = limitsOf(plot);
        plot.fitAxesToData();
        expectLimits(limitsOf(plot), reset, 0.0f);
    }
}

// The wheel zooms about the cursor: the value under it stays put, the range shrinks by
// 1/1.25 a step away from the user and grows a step towards; Shift keeps y, Ctrl keeps x.
// The first pixel of snapshot row `row` from x0 on that is light grey (an image's brighter
// texel), not green or white; -1 when none is.
int firstLightGrey(const zv::Snapshot& s, int row, int x0, int x1) {
    for (int x = std::max(0, x0); x < std::min(s.width, x1); ++x) {
        const unsigned char* p = &s.rgba[(static_cast<size_t>(row) * s.width + x) * 4];
        if (p[0] > 127 && p[0] < 230 && std::abs(p[0] - p[1]) < 8) return x;
    }
    return -1;
}

// An image in a chart moves with the chart's other series: a drag pans the edge between its
// two texels (x = 5) by the drag's pixels, as it does the line at x = 4, and the wheel zooms
// it about the cursor.
TEST_F(MouseGLTest, ImageSeriesPansAndZoomsWithTheChart) {
    zv::Image image(2, 1, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32);
    const float values[2] = {0.25f, 0.75f};
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, image.pbo());
    glBufferSubData(GL_PIXEL_UNPACK_BUFFER, 0, sizeof values, values);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    zv::ImageSeries field(image);
    field.setExtent(0, 10, 0, 10);
    zv::Plot lines = twoLines();
    zv::Chart chart;
    chart.add(field);
    chart.add(lines);
    chart.setAxesLimits(10, 0, 10, 0);
    const auto draw = [&] { window.draw(chart); };
    const Frame f = wholeFrame();
    const int row = static_cast<int>(f.y(0.5));
    draw();
    const zv::Snapshot before = window.snapshot();
    const int from = static_cast<int>(f.x(0.45));
    ASSERT_NEAR(f.x(0.5), firstLightGrey(before, row, from, WIN_W), 1.0);

    const double dx = 40;
    drag(f.x(0.7), f.y(0.5), f.x(0.7) + dx, f.y(0.5));
    ASSERT_TRUE(drawUntil(draw, [&] { return buttons >= 2; }));
    const float sx = static_cast<float>(10.0 * dx / f.width);
    expectLimits({10.0f - sx, -sx, 10.0f, 0.0f}, limitsOf(chart), 0.02f);
    draw();
    const zv::Snapshot panned = window.snapshot();
    EXPECT_NEAR(f.x(0.5) + dx, firstLightGrey(panned, row, from + static_cast<int>(dx), WIN_W),
                1.5);
    EXPECT_NEAR(f.x(0.4) + dx, greenColumn(panned, row, 0, static_cast<int>(f.x(0.45) + dx)),
                1.5);

    // Zoomed in about the left line: it stays, the texel edge a tenth of the frame to its
    // right moves 1.25 times as far away.
    const double cx = std::floor(f.x(0.4) + dx);
    wheel(cx, f.y(0.5), 4);
    ASSERT_TRUE(drawUntil(draw, [&] { return scrolls >= 1; }));
    draw();
    const zv::Snapshot zoomed = window.snapshot();
    EXPECT_NEAR(cx + 0.5, greenColumn(zoomed, row, 0, static_cast<int>(cx) + 10), 1.5);
    EXPECT_NEAR(cx + 0.5 + 0.1 * f.width * 1.25,
                firstLightGrey(zoomed, row, static_cast<int>(cx) + 10, WIN_W), 1.5);
}

TEST_F(MouseGLTest, WheelZoomsAboutTheCursorWithModifiersChoosingTheAxes) {
    zv::Plot plot = twoLines();
    const Frame f = wholeFrame();
    const int row = static_cast<int>(f.y(0.5));
    const auto draw = [&] { window.draw(plot); };

    // At the left line (x = 4), a quarter up the frame (y = 2.5 when the lines are drawn
    // through the pixel centres the cursor names).
    const double cx = std::floor(f.x(0.4)), cy = std::floor(f.y(0.25));
    const double ax = (cx + 0.5 - f.left) / f.width;
    const double ay = (f.top + f.height - (cy + 0.5)) / f.height;
    wheel(cx, cy, 4);
    ASSERT_TRUE(drawUntil(draw, [&] { return scrolls >= 1; }));
    const double k = 0.8;
    Limits want{static_cast<float>(10 * ax + (10 - 10 * ax) * k),
                static_cast<float>(10 * ax - 10 * ax * k),
                static_cast<float>(10 * ay + (10 - 10 * ay) * k),
                static_cast<float>(10 * ay - 10 * ay * k)};
    expectLimits(want, limitsOf(plot), 1e-3f);
    draw();
    const zv::Snapshot zoomed = window.snapshot();
    // The left line stays under the cursor; the right one moves away by 1.25 times.
    EXPECT_NEAR(cx + 0.5, greenColumn(zoomed, row, 0, static_cast<int>(cx) + 10), 1.5);
    EXPECT_NEAR(cx + 0.5 + 0.2 * f.width * 1.25,
                greenColumn(zoomed, row, static_cast<int>(cx) + 10, WIN_W), 1.5);

    const Limits z = limitsOf(plot);
    wheel(cx, cy, 5, XK_Shift_L);  // towards the user, x only
    ASSERT_TRUE(drawUntil(draw, [&] { return scrolls >= 2; }));
    EXPECT_NEAR((z.xmax - z.xmin) * 1.25f, plot.xmax() - plot.xmin(), 1e-3f);
    EXPECT_EQ(z.ymax, plot.ymax());
    EXPECT_EQ(z.ymin, plot.ymin());

    const Limits s = limitsOf(plot);
    wheel(cx, cy, 4, XK_Control_L);  // away, y only
    ASSERT_TRUE(drawUntil(draw, [&] { return scrolls >= 3; }));
    EXPECT_EQ(s.xmax, plot.xmax());
    EXPECT_EQ(s.xmin, plot.xmin());
    EXPECT_NEAR((s.ymax - s.ymin) * 0.8f, plot.ymax() - plot.ymin(), 1e-3f);
}

// A logarithmic axis zooms and pans by decades: the value under the cursor stays, the
// decades shown scale by the wheel's factor, and a drag moves whole decades with the cursor.
TEST_F(MouseGLTest, LogarithmicAxisZoomsAndPansInDecades) {
    zv::Plot plot(2, zv::ZV_FLOAT32);
    write(plot, {1.0f, 1.0f, 1000.0f, 2.0f});
    plot.setAxesLimits(1000.0f, 1.0f, 2.0f, 1.0f);
    plot.setLogAxes(true, false);
    const Frame f = wholeFrame();
    const auto draw = [&] { window.draw(plot); };
    draw();
    const double cx = std::floor(f.x(0.5)), cy = std::floor(f.y(0.5));
    const double ax = (cx + 0.5 - f.left) / f.width;
    const double under = std::pow(10.0, 3.0 * ax);
    wheel(cx, cy, 4, XK_Shift_L);
    ASSERT_TRUE(drawUntil(draw, [&] { return scrolls >= 1; }));
    EXPECT_NEAR(2.4, std::log10(plot.xmax() / plot.xmin()), 1e-4);
    EXPECT_NEAR(std::log10(under),
                std::log10(plot.xmin()) + ax * std::log10(plot.xmax() / plot.xmin()), 1e-4);

    // Dragging a third of the frame to the left shows 0.8 decades further right.
    const double lo = std::log10(plot.xmin()), hi = std::log10(plot.xmax());
    drag(cx, cy, cx - f.width / 3.0, cy);
    ASSERT_TRUE(drawUntil(draw, [&] { return buttons >= 2; }));
    const double moved = (std::floor(cx - f.width / 3.0) - cx) / f.width * (hi - lo);
    EXPECT_NEAR(lo - moved, std::log10(plot.xmin()), 1e-3);
    EXPECT_NEAR(hi - moved, std::log10(plot.xmax()), 1e-3);
    EXPECT_EQ(2.0f, plot.ymax());
    EXPECT_EQ(1.0f, plot.ymin());
}

// A double click fits the limits to the data; on an object that followed its data, a pan
// turns following off (so the view stays) and the double click turns it back on.
TEST_F(MouseGLTest, DoubleClickFitsAndResumesFollowingTheData) {
    zv::Plot plot(3, zv::ZV_FLOAT32);
    write(plot, {-2.0f, 10.0f, 3.0f, 20.0f, 8.0f, 15.0f});
    plot.setAutoFit(true);
    const auto draw = [&] { window.draw(plot); };
    for (int i = 0; i < 4; ++i) draw();
    const Limits fitted{8.5f, -2.5f, 20.5f, 9.5f};  // the range plus 5% each side
    expectLimits(fitted, limitsOf(plot), 1e-4f);

    const Frame f = wholeFrame();
    drag(f.x(0.5), f.y(0.5), f.x(0.5) + 30, f.y(0.5));
    ASSERT_TRUE(drawUntil(draw, [&] { return buttons >= 2; }));
    for (int i = 0; i < 4; ++i) draw();  // following would have put the fit back by now
    EXPECT_FALSE(plot.autoFit());
    EXPECT_LT(plot.xmax(), fitted.xmax - 0.5f);

    input.click(1);
    input.click(1);
    ASSERT_TRUE(drawUntil(draw, [&] { return buttons >= 6; }));
    expectLimits(fitted, limitsOf(plot), 1e-4f);
    EXPECT_TRUE(plot.autoFit());
    // Following again: the data moves, the limits follow a few frames later.
    write(plot, {-2.0f, 110.0f, 3.0f, 120.0f, 8.0f, 115.0f});
    for (int i = 0; i < 4; ++i) draw();
    EXPECT_NEAR(120.5f, plot.ymax(), 1e-3f);
}

// A scatter beside its colour bar pans by its own, narrower frame: the value under the
// cursor moves with it. A double click on error bars fits their bars, not only the points.
TEST_F(MouseGLTest, ScatterBesideItsColourBarAndErrorBarsAnswerTheMouse) {
    zv::Scatter scatter(2, zv::ZV_FLOAT32, zv::ZV_MARKER_POINT);
    zvtest::fillBuffer(scatter.vbo(), std::vector<float>{2, 2, 8, 8}.data(), 4 * sizeof(float));
    scatter.setAxesLimits(10.0f, 0.0f, 10.0f, 0.0f);
    scatter.setColorBar(true);
    const int narrow = internal::colorBarLayout(WIN_W, WIN_H).imageWidth;
    ASSERT_LT(narrow, WIN_W - 50);
    const int vp[4] = {0, 0, narrow, WIN_H};
    const Frame f = frameOf(narrow, WIN_H, vp);
    const double dx = 40;
    drag(f.x(0.5), f.y(0.5), f.x(0.5) + dx, f.y(0.5));
    ASSERT_TRUE(drawUntil([&] { window.draw(scatter); }, [&] { return buttons >= 2; }));
    const float sx = static_cast<float>(10.0 * dx / f.width);
    expectLimits({10.0f - sx, -sx, 10.0f, 0.0f}, limitsOf(scatter), 0.02f);

    zv::ErrorBars bars(2);
    zvtest::fillBuffer(bars.vbo(), std::vector<float>{1, 5, 3, 6}.data(), 4 * sizeof(float));
    zvtest::fillBuffer(bars.yErrorVbo(), std::vector<float>{4, 1}.data(), 2 * sizeof(float));
    bars.setAxesLimits(10.0f, 0.0f, 10.0f, 0.0f);
    const auto draw = [&] { window.draw(bars); };
    const Frame whole = wholeFrame();
    input.moveTo(static_cast<int>(whole.x(0.5)), static_cast<int>(whole.y(0.5)));
    input.click(1);
    input.click(1);
    ASSERT_TRUE(drawUntil(draw, [&] { return buttons >= 6; }));
    // x from 1 to 3, y from 1 (5 - 4) to 9 (5 + 4), plus 5% each side.
    expectLimits({3.1f, 0.9f, 9.4f, 0.6f}, limitsOf(bars), 1e-4f);
}

// In a grid, the cell under the cursor is the one that moves; its neighbour keeps its
// limits. A histogram alone keeps x (its bins fill the width whatever the limits), zooms y
// about its bottom edge and does not pan.
TEST_F(MouseGLTest, GridCellUnderTheCursorMovesAndHistogramsKeepTheirBase) {
    zv::Plot left = twoLines(), right = twoLines();
    zv::Histogram hist(4, zv::ZV_FLOAT32);
    const std::vector<float> freq = {1.0f, 2.0f, 4.5f, 3.0f};
    zvtest::fillBuffer(hist.vbo(), freq.data(), freq.size() * sizeof(float));
    hist.setAxesLimits(4.0f, 0.0f, 5.0f, 0.0f);
    window.grid(1, 3);
    const auto draw = [&] {
        window.draw(0, 0, left);
        window.draw(1, 0, right);
        window.draw(2, 0, hist);
        window.draw();
    };
    draw();
    const internal::CellLayout c = internal::cellLayout(WIN_W, WIN_H, 1, 3, 1, 0);
    const int vp[4] = {c.vx, c.vy, c.vwidth, c.vheight};
    const Frame f = frameOf(c.width, c.height, vp);
    const int row = static_cast<int>(f.y(0.5));
    const double before = greenColumn(window.snapshot(), row, c.x, static_cast<int>(f.x(0.5)));
    ASSERT_NEAR(f.x(0.4), before, 1.5);

    drag(f.x(0.5), f.y(0.5), f.x(0.5) + 20, f.y(0.5));
    ASSERT_TRUE(drawUntil(draw, [&] { return buttons >= 2; }));
    const float shift = static_cast<float>(10.0 * 20.0 / f.width);
    expectLimits({10.0f - shift, -shift, 10.0f, 0.0f}, limitsOf(right), 0.02f);
    expectLimits({10.0f, 0.0f, 10.0f, 0.0f}, limitsOf(left), 0.0f);
    draw();
    EXPECT_NEAR(before + 20, greenColumn(window.snapshot(), row, c.x, static_cast<int>(f.x(0.5)) + 20),
                1.5);

    const internal::CellLayout h = internal::cellLayout(WIN_W, WIN_H, 1, 3, 2, 0);
    const int hx = h.x + h.width / 2, hy = WIN_H / 2;
    wheel(hx, hy, 4);
    ASSERT_TRUE(drawUntil(draw, [&] { return scrolls >= 1; }));
    expectLimits({4.0f, 0.0f, 4.0f, 0.0f}, limitsOf(hist), 1e-4f);
    drag(hx, hy, hx - 30, hy - 30);
    ASSERT_TRUE(drawUntil(draw, [&] { return buttons >= 4; }));
    expectLimits({4.0f, 0.0f, 4.0f, 0.0f}, limitsOf(hist), 0.0f);
    // Its double click fits y from 0 to 5% above the largest frequency.
    input.click(1);
    input.click(1);
    ASSERT_TRUE(drawUntil(draw, [&] { return buttons >= 8; }));
    expectLimits({4.0f, 0.0f, 4.725f, 0.0f}, limitsOf(hist), 1e-4f);  // 5% above the tallest bar
    expectLimits({10.0f, 0.0f, 10.0f, 0.0f}, limitsOf(left), 0.0f);
}

// A chart of several series answers the mouse as one: the wheel zooms both axes (bars
// included), a double click fits over every series.
TEST_F(MouseGLTest, ChartOfSeriesZoomsAndFitsOverAllSeries) {
    zv::Plot plot(2, zv::ZV_FLOAT32);
    write(plot, {-2.0f, 10.0f, 3.0f, 20.0f});
    zv::Histogram hist(2, zv::ZV_FLOAT32);
    const std::vector<float> freq = {5.0f, 30.0f};
    zvtest::fillBuffer(hist.vbo(), freq.data(), freq.size() * sizeof(float));
    zv::Chart chart;
    chart.add(plot, "points");
    chart.add(hist, "bars");
    chart.setAxesLimits(10.0f, 0.0f, 10.0f, 0.0f);
    const auto draw = [&] { window.draw(chart); };
    draw();
    const Frame f = wholeFrame();
    wheel(f.x(0.5), f.y(0.5), 4);
    ASSERT_TRUE(drawUntil(draw, [&] { return scrolls >= 1; }));
    EXPECT_NEAR(8.0f, chart.xmax() - chart.xmin(), 1e-3f);
    EXPECT_NEAR(8.0f, chart.ymax() - chart.ymin(), 1e-3f);
    input.click(1);
    input.click(1);
    ASSERT_TRUE(drawUntil(draw, [&] { return buttons >= 4; }));
    // x over the points plus 5%; y from 0 (bars, nothing below) to 30 plus 5% of 30.
    expectLimits({3.25f, -2.25f, 31.5f, 0.0f}, limitsOf(chart), 1e-4f);
    // The series keep their own limits.
    EXPECT_EQ(1.0f, plot.xmax());
    EXPECT_EQ(1.0f, hist.ymax());
}

// The mouse goes to what a cell shows: the last of the objects drawn into it in the current
// frame (an image over a plot keeps the plot still, and a plot not drawn again since is
// not moved). A grid of absurd size is taken, its cells are too small to be under the
// cursor, and the mouse keeps nothing per cell of it.
TEST_F(MouseGLTest, CellAnswersWithWhatItShowsAndAbsurdGridsAreIgnored) {
    zv::Plot plot = twoLines();
    zv::Image image(2, 2, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    const internal::CellLayout c = internal::cellLayout(WIN_W, WIN_H, 1, 2, 0, 0);
    const double cx = c.x + c.width / 2.0, cy = WIN_H / 2.0;
    const Limits still{10.0f, 0.0f, 10.0f, 0.0f};
    struct Case {
        const char* name;
        std::function<void()> frame;
        bool moves;
    } cases[] = {
        {"image drawn over the plot",
         [&] {
             window.draw(0, 0, plot);
             window.draw(0, 0, image);
             window.draw();
         },
         false},
        {"plot drawn over the image",
         [&] {
             window.draw(0, 0, image);
             window.draw(0, 0, plot);
             window.draw();
         },
         true},
        {"plot drawn in an earlier frame only",
         [&] {
             window.draw(1, 0, plot);
             window.draw();
         },
         false},
    };
    window.grid(1, 2);
    int wheels = 0;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        plot.setAxesLimits(10.0f, 0.0f, 10.0f, 0.0f);
        k.frame();
        wheel(cx, cy, 4);
        ++wheels;
        ASSERT_TRUE(drawUntil(k.frame, [&] { return scrolls >= wheels; }));
        if (k.moves) {
            EXPECT_NEAR(8.0f, plot.xmax() - plot.xmin(), 1e-3f);
        } else {
            expectLimits(still, limitsOf(plot), 0.0f);
        }
    }

    plot.setAxesLimits(10.0f, 0.0f, 10.0f, 0.0f);
    const auto absurd = [&] {
        window.grid(INT_MAX, INT_MAX);
        window.draw(0, 0, plot);
        window.draw(INT_MAX - 1, INT_MAX - 1, plot);
        window.draw();
    };
    absurd();
    wheel(1, WIN_H - 1, 4);  // over the bottom-left corner, where cell (0, 0) would be
    drag(1, WIN_H - 1, 200, 100);
    ASSERT_TRUE(drawUntil(absurd, [&] { return scrolls >= wheels + 1 && buttons >= 2; }));
    expectLimits(still, limitsOf(plot), 0.0f);
}

// Turned off, the mouse leaves every limit alone while the application's callbacks still
// hear it; turned on again, it works.
TEST_F(MouseGLTest, NotInteractiveLeavesLimitsAloneButCallsCallbacks) {
    zv::Plot plot = twoLines();
    window.setInteractive(false);
    EXPECT_FALSE(window.interactive());
    const auto draw = [&] { window.draw(plot); };
    draw();
    const Frame f = wholeFrame();
    drag(f.x(0.5), f.y(0.5), f.x(0.5) + 30, f.y(0.5) - 20);
    wheel(f.x(0.5), f.y(0.5), 4);
    input.click(1);
    input.click(1);
    input.moveTo(static_cast<int>(f.x(0.2)), static_cast<int>(f.y(0.2)));
    input.button(3, true);
    input.moveTo(static_cast<int>(f.x(0.7)), static_cast<int>(f.y(0.7)));
    input.button(3, false);
    input.tap(XK_r);
    ASSERT_TRUE(drawUntil(draw, [&] { return buttons >= 8 && scrolls >= 1 && keys >= 2; }));
    expectLimits({10.0f, 0.0f, 10.0f, 0.0f}, limitsOf(plot), 0.0f);

    window.setInteractive(true);
    wheel(f.x(0.5), f.y(0.5), 4);
    ASSERT_TRUE(drawUntil(draw, [&] { return scrolls >= 2; }));
    EXPECT_NEAR(8.0f, plot.xmax() - plot.xmin(), 1e-3f);
}

}  // namespace

namespace {
// Pixel (x, y) of a snapshot, from its top-left corner.
const unsigned char* pixelAt(const zv::Snapshot& s, int x, int y) {
    return &s.rgba[(static_cast<size_t>(y) * s.width + x) * 4];
}
bool isCrosshairGrey(const unsigned char* p) {
    return std::abs(p[0] - 153) <= 3 && std::abs(p[1] - 153) <= 3 && std::abs(p[2] - 153) <= 3;
}
}  // namespace

// The read-out: over a chart, the coordinates under the cursor, a linear x and a
// logarithmic y, each within a pixel's worth of the data at the cursor's pixel (from the
// layout), with a crosshair through that pixel and text drawn in the frame's top-left
// corner. Nothing by default, off the frame, or with the mouse off, while the application's
// callbacks still see every move.
TEST_F(MouseGLTest, ReadoutShowsTheDataUnderTheCursorToAPixel) {
    int moves = 0;
    window.setCursorCallback([&](double, double) { ++moves; });
    zv::Plot plot = twoLines();
    plot.setAxesLimits(10.0f, 0.0f, 1000.0f, 1.0f);
    plot.setLogAxes(false, true);
    const auto draw = [&] { window.draw(plot); };
    const auto& interaction = window.get()->impl()->interaction();
    internal::Interaction::Readout r;
    const Frame f = wholeFrame();
    const int textRows[2] = {static_cast<int>(f.top) + 3, static_cast<int>(f.top) + 20};
    const auto textInk = [&](const zv::Snapshot& s) {
        int n = 0;
        for (int y = textRows[0]; y < textRows[1]; ++y)
            n += whiteInRow(s, y, static_cast<int>(f.left) + 3, static_cast<int>(f.left) + 80);
        return n;
    };
    int atX = -1, atY = -1;
    const auto moveTo = [&](double x, double y) {
        const int before = moves;
        if (static_cast<int>(x) == atX && static_cast<int>(y) == atY) return true;
        atX = static_cast<int>(x);
        atY = static_cast<int>(y);
        input.moveTo(atX, atY);
        return drawUntil(draw, [&] { return moves > before; });
    };

    EXPECT_FALSE(window.readout());
    ASSERT_TRUE(moveTo(f.x(0.3), f.y(0.5)));
    draw();
    EXPECT_FALSE(interaction.readoutIn(-1, -1, r)) << "off by default";
    EXPECT_EQ(0, textInk(window.snapshot()));

    window.setReadout(true);
    struct Case {
        double tx, ty;
    };
    for (const Case& k : {Case{0.3, 0.5}, Case{0.07, 0.93}, Case{0.91, 0.12}}) {
        SCOPED_TRACE(k.tx);
        const int cx = static_cast<int>(f.x(k.tx)), cy = static_cast<int>(f.y(k.ty));
        ASSERT_TRUE(moveTo(cx, cy));
        draw();
        ASSERT_TRUE(interaction.readoutIn(-1, -1, r));
        double x = 0.0, y = 0.0;
        ASSERT_EQ(2, std::sscanf(r.text, "x %lf y %lf", &x, &y)) << r.text;
        // The data at the centre of the cursor's pixel, and a pixel's worth of it.
        const double ux = (cx + 0.5 - f.left) / f.width;
        const double uy = (f.top + f.height - (cy + 0.5)) / f.height;
        EXPECT_NEAR(10.0 * ux, x, 10.0 / f.width) << r.text;
        EXPECT_NEAR(3.0 * uy, std::log10(y), 3.0 / f.height) << r.text;
        const zv::Snapshot s = window.snapshot();
        // The crosshair through the cursor's pixel, away from the text's box.
        EXPECT_TRUE(isCrosshairGrey(pixelAt(s, cx, static_cast<int>(f.y(0.3)) + (k.ty < 0.4 ? -60 : 0))));
        EXPECT_TRUE(isCrosshairGrey(pixelAt(s, static_cast<int>(f.x(0.5)), cy)));
        EXPECT_FALSE(isCrosshairGrey(pixelAt(s, cx + 3, static_cast<int>(f.y(0.3)))));
        EXPECT_GT(textInk(s), 20);
    }

    // Off the frame (in the left margin): no read-out, no crosshair.
    ASSERT_TRUE(moveTo(f.left - 10, f.y(0.5)));
    draw();
    EXPECT_FALSE(interaction.readoutIn(-1, -1, r));
    EXPECT_EQ(0, textInk(window.snapshot()));

    window.setInteractive(false);
    ASSERT_TRUE(moveTo(f.x(0.3), f.y(0.5)));
    draw();
    EXPECT_FALSE(interaction.readoutIn(-1, -1, r));
    EXPECT_EQ(0, textInk(window.snapshot()));
}
