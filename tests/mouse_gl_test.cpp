// The mouse in a window's charts, driven by real events synthesised on the test's X server:
// drag pans, the wheel zooms about the cursor, a double click fits, in the whole window and
// in a grid cell; limits are checked through the public getters and the picture through
// snapshots.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <vector>

#include "chart/chart_layout.hpp"
#include "glfw/window.hpp"
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
