// Axes read back from real contexts: labels that never touch, and ticks, labels and data of
// the round-value and logarithmic axes where they belong. (The rules behind them, with no
// GPU: axis_ticks_test.cpp.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "chart/axis_ticks.hpp"
#include "histogram/hist_impl.hpp"
#include "plot/plot_impl.hpp"
#include "support/chart_util.hpp"
#include "support/gl_test.hpp"
#include "zarvo/exception.h"

using internal::AxisTicks;

// ---- Read back from real contexts ----------------------------------------------------

namespace {

using internal::hist_impl;
using internal::plot_impl;
using internal::scatter_impl;

std::vector<std::string> strings(std::initializer_list<const char*> list) {
    return std::vector<std::string>(list.begin(), list.end());
}

// The drawing area of a chart and where its frame lies in it, computed as the chart frame
// lays it out: margins of 68 (left), 8 (right), 32 (bottom) and 8 (top) pixels and a tick of
// 10 around a data area of (w - 86) x (h - 50). A grid cell's chart is laid out for the whole
// cell (lw x lh, when given) and drawn into the cell's inset area (w x h).
struct Area {
    int x, y, w, h;
    int lw = 0, lh = 0;
    double W() const { return lw > 0 ? lw : w; }
    double H() const { return lh > 0 ? lh : h; }
    double sx() const { return (W() - 86.0) / W(); }
    double sy() const { return (H() - 50.0) / H(); }
    double ox() const { return (W() - 86.0 - W() + 156.0) / W(); }
    double oy() const { return (H() - 50.0 - H() + 84.0) / H(); }
    // Pixel of a chart coordinate along each axis.
    double px(double c) const { return x + 0.5 * w * (1 + sx() * (c + ox())); }
    double py(double c) const { return y + 0.5 * h * (1 + sy() * (c + oy())); }
};

// Runs of columns (or rows) holding text, separated by at least `gap` empty ones.
struct TextRun {
    int lo, hi;
};
std::vector<TextRun> runs(const std::vector<bool>& lit, int gap) {
    std::vector<TextRun> out;
    int empty = gap;
    for (int i = 0; i < static_cast<int>(lit.size()); ++i) {
        if (!lit[i]) {
            ++empty;
            continue;
        }
        if (empty >= gap || out.empty())
            out.push_back({i, i});
        else
            out.back().hi = i;
        empty = 0;
    }
    return out;
}

// Checks that no two labels of either axis of a chart drawn into `a` touch: the text below
// the frame falls into runs of columns, each over at most one tick whose label is shown, and
// the text left of the frame into runs of rows, each beside at most one; every shown label
// makes a run of its own. At least three labels stay per axis.
void expectLabelsApart(const zvtest::Snapshot& s, const Area& a,
                       const internal::AbstractChart2D& chart) {
    const int frameLeft = static_cast<int>(a.px(-1)), frameBottom = static_cast<int>(a.py(-1));
    // Below the frame, under the ticks' dashes; left of the frame, beside them.
    std::vector<bool> columns(static_cast<size_t>(a.w), false);
    for (int c = 0; c < a.w; ++c)
        columns[c] = s.count(a.x + c, a.y, a.x + c + 1, frameBottom - 6, zvtest::notBlack) > 0;
    std::vector<bool> rows(static_cast<size_t>(a.h), false);
    for (int r = 0; r < a.h; ++r)
        rows[r] = s.count(a.x, a.y + r, frameLeft - 6, a.y + r + 1, zvtest::notBlack) > 0;
    // Glyphs of one label are at most 2 pixels apart; labels shown must be 3 text units
    // (at least 3 pixels) apart, plus their side bearings.
    auto check = [](const std::vector<TextRun>& found, const std::vector<double>& shown,
                    double below, const char* axis) {
        EXPECT_GE(shown.size(), 3u) << axis;
        size_t labelled = 0;
        for (const TextRun& r : found) {
            int ticks = 0;
            for (double t : shown) ticks += t >= r.lo - below && t <= r.hi + 1;
            EXPECT_LE(ticks, 1) << axis << " text over " << r.lo << " to " << r.hi;
            labelled += ticks > 0;
        }
        EXPECT_EQ(shown.size(), labelled) << axis << ": labels without text of their own";
    };
    std::vector<double> xs, ys;
    for (size_t k = 0; k < chart.xTicks().positions.size(); ++k)
        if (chart.xLabelShown(k)) xs.push_back(a.px(chart.xTicks().positions[k]) - a.x);
    for (size_t k = 0; k < chart.yTicks().positions.size(); ++k)
        if (chart.yLabelShown(k)) ys.push_back(a.py(chart.yTicks().positions[k]) - a.y);
    check(runs(columns, 4), xs, 1, "x");
    check(runs(rows, 3), ys, 2, "y");
}

struct Axes {
    float xmax, xmin, ymax, ymin;
    bool nice, xLog, yLog;
};

// Ranges that made labels run into each other, and the new axes.
const Axes AXES[] = {
    {100, -100, 2.1e7f, 1.9e7f, false, false, false},
    {2e-5f, 0, 1e-5f, -1e-5f, false, false, false},
    {5.0004f, 5, 0.09f, 0, false, false, false},
    {1000, -1000, 1e6f, 1, false, false, true},
    {100, -100, 2.1e7f, 1.9e7f, true, false, false},
    {1e6f, 1, 1000, 0.001f, true, true, true},
};

const char* const TWENTY = "twenty characters xy";
// Marker values above ZV_MARKER_STAR draw filled 10 x 10 squares.
constexpr int FILLED_SQUARE = 8;

class AxesGLTest : public zvtest::GLTest {
protected:
    std::shared_ptr<plot_impl> makePlot(const Axes& k) {
        auto p = std::make_shared<plot_impl>(0, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
        p->setAxesLimits(k.xmax, k.xmin, k.ymax, k.ymin);
        p->setNiceTicks(k.nice);
        p->setLogAxes(k.xLog, k.yLog);
        return p;
    }
    std::shared_ptr<scatter_impl> scatter(const std::vector<float>& xy) {
        auto p = std::make_shared<scatter_impl>(static_cast<unsigned>(xy.size() / 2),
                                                zv::ZV_FLOAT32, FILLED_SQUARE);
        p->setColor(0xFF0000FF);
        zvtest::fillBuffer(p->vbo(), xy.data(), xy.size() * sizeof(float));
        return p;
    }
};

}  // namespace

TEST_F(AxesGLTest, LabelsNeverTouchOverTheWholeWindow) {
    const Area whole{0, 0, W, H};
    for (const Axes& k : AXES) {
        auto p = makePlot(k);
        SCOPED_TRACE(testing::Message() << "x " << k.xmin << " .. " << k.xmax);
        window->draw(p);
        zvtest::expectChartStateRestored("plot draw");
        expectLabelsApart(grab(), whole, *p);
    }
}

TEST_F(AxesGLTest, LabelsNeverTouchInTheCellsOfAGrid) {
    // 2 x 2 cells on 1000 x 800: each chart draws into its cell's inset area.
    auto big = std::make_shared<internal::window_impl>(1000, 800, "grid", window, true);
    const int count = sizeof AXES / sizeof AXES[0];
    for (int first = 0; first < count; first += 4) {
        big->grid(2, 2);
        std::vector<std::shared_ptr<plot_impl>> plots;
        for (int i = 0; i < 4 && first + i < count; ++i) {
            plots.push_back(makePlot(AXES[first + i]));
            big->draw(i % 2, i / 2, plots.back(), nullptr);
        }
        zvtest::expectChartStateRestored("cell draws");
        const zvtest::Snapshot s = zvtest::readBack(0, 0, 1000, 800);
        for (size_t i = 0; i < plots.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "cell " << first + i);
            // Cell (column, row), row 0 at the top; its inset drawing area.
            const int column = static_cast<int>(i % 2), row = static_cast<int>(i / 2);
            const Area a{column * 500 + 10, (1 - row) * 400 + 8, 480, 352, 500, 400};
            expectLabelsApart(s, a, *plots[i]);
        }
        big->draw();
    }
    internal::MakeContextCurrent(window.get());
}

// A long y title runs down past the frame, one character a line, a tick's length right of
// the frame's left edge; the x labels it would cover are left out.
TEST_F(AxesGLTest, LongTitlesCoverNoLabel) {
    const Area whole{0, 0, W, H};
    for (const Axes& k : {AXES[0], AXES[3], AXES[5]}) {
        auto p = makePlot(k);
        p->setXAxisTitle(TWENTY);
        p->setYAxisTitle(TWENTY);
        window->draw(p);
        const zvtest::Snapshot s = grab();
        expectLabelsApart(s, whole, *p);
        // Below the frame the title's column stands alone: the run of lit columns that holds
        // it is no wider than a letter.
        const int bottom = static_cast<int>(whole.py(-1)) - 6;
        const int titleX = static_cast<int>(whole.px(-1)) + 10;
        EXPECT_GT(s.count(titleX - 1, 0, titleX + 15, bottom, zvtest::notBlack), 20)
            << "the y title reaches below the frame";
        std::vector<bool> columns(W, false);
        for (int x = 0; x < W; ++x) columns[x] = s.count(x, 0, x + 1, bottom, zvtest::notBlack) > 0;
        for (const TextRun& r : runs(columns, 3))
            if (r.lo <= titleX + 4 && r.hi >= titleX) {
                EXPECT_LE(r.hi - r.lo, 16) << r.lo;
            }
    }
}

namespace {

// Checks, in the drawing area (x, y, w, h) of a chart without data, that the y labels leave
// the frame and the tick dashes alone: from two pixels left of the dashes into the frame only
// the left edge, the top border and the dashes are lit (the frame is found in the picture itself, from its long
// border lines). The labels stay: there is text left of the dashes.
void expectYLabelsBeforeTheDashes(const zvtest::Snapshot& s, int ax, int ay, int aw, int ah,
                                  const internal::AbstractChart2D& chart) {
    int left = -1, bottom = -1, top = -1;
    for (int x = ax; x < ax + aw && left < 0; ++x)
        if (s.count(x, ay, x + 1, ay + ah, zvtest::notBlack) > ah / 2) left = x;
    for (int y = ay; y < ay + ah; ++y)
        if (s.count(ax, y, ax + aw, y + 1, zvtest::notBlack) > 2 * aw / 3) {
            if (bottom < 0) bottom = y;
            top = y;
        }
    ASSERT_TRUE(left > ax && bottom >= 0 && top > bottom + 20) << left << " " << bottom << " " << top;
    std::vector<double> dashes;
    for (float t : chart.yTicks().positions)
        dashes.push_back(bottom + 0.5 + 0.5 * (t + 1) * (top - bottom));
    int stray = 0;
    for (int y = bottom + 3; y < std::min(ay + ah, top + 12); ++y) {
        bool dashRow = false;
        for (double d : dashes) dashRow = dashRow || std::fabs(y + 0.5 - d) <= 2.0;
        for (int x = left - 7; x <= left + 12; ++x) {
            const bool frame = std::abs(x - left) <= 1 || (std::abs(y - top) <= 1 && x >= left - 1);
            const bool dash = dashRow && x >= left - 6;
            if (frame || dash || !zvtest::notBlack(s.at(x, y))) continue;
            if (++stray <= 5) ADD_FAILURE() << "label ink at (" << x - left << ", " << y << ") from the frame's edge";
        }
    }
    EXPECT_EQ(0, stray);
    EXPECT_GT(s.count(ax, bottom + 3, left - 8, top, zvtest::notBlack), 100) << "no y labels";
}

}  // namespace

// Labels too wide for the margin (long numbers, small grid cells) end a gap before the tick
// dashes; those wider than the whole margin are written smaller rather than over the frame.
TEST_F(AxesGLTest, YLabelsNeverReachTheDashesOrTheFrame) {
    const Axes cases[] = {
        {1, 0, 1000001.5f, 1000000.5f, false, false, false},
        {1, 0, 1000.01f, 1000, false, false, false},
        {1, 0, 1000.01f, 1000, true, false, false},
        {1, 0, 2000, -2000, false, false, false},
        {1, 0, 2.1e7f, 1.9e7f, false, false, false},
        {1, 0, 1e-5f, -1e-5f, false, false, false},
        {1, 0, 1, 0, false, false, false},
    };
    for (const Axes& k : cases) {
        SCOPED_TRACE(testing::Message() << "y " << k.ymin << " .. " << k.ymax << (k.nice ? " nice" : ""));
        auto p = makePlot(k);
        window->draw(p);
        expectYLabelsBeforeTheDashes(grab(), 0, 0, W, H, *p);
    }
    window->grid(2, 2);
    const internal::CellLayout c = internal::cellLayout(W, H, 2, 2, 1, 1);
    for (const Axes& k : cases) {
        SCOPED_TRACE(testing::Message() << "cell, y " << k.ymin << " .. " << k.ymax);
        auto p = makePlot(k);
        window->draw(1, 1, p, nullptr);
        const zvtest::Snapshot cell = zvtest::readBack(0, 0, W, H);
        window->draw();
        expectYLabelsBeforeTheDashes(cell, c.vx, c.vy, c.vwidth, c.vheight, *p);
    }
}

TEST_F(AxesGLTest, RoundTicksLabelsAndDataWhereTheyBelong) {
    const Area whole{0, 0, W, H};
    auto p = scatter({50, 0.4f, -100, 1, 0, 0});
    p->setAxesLimits(100, -100, 1, 0);
    p->setNiceTicks(true);
    window->draw(p);
    zvtest::expectChartStateRestored("plot draw");
    const zvtest::Snapshot s = grab();
    EXPECT_EQ(strings({"-100", "-50", "0", "50", "100"}), p->xLabels());
    EXPECT_EQ(strings({"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}), p->yLabels());
    // Tick dashes at the round values, crossing the bottom and the left edge.
    for (double v : {-100.0, -50.0, 0.0, 50.0, 100.0}) {
        const double x = whole.px(v / 100.0);
        const int ix = static_cast<int>(x);
        const zvtest::Centre tick = zvtest::centreOf(s, ix - 5, 42, ix + 6, 46, zvtest::GREEN);
        EXPECT_NEAR(x, tick.x, 1.0) << "x tick " << v;
        // Its label below it.
        EXPECT_GT(s.count(ix - 20, 8, ix + 20, 32, zvtest::isWhite), 10) << "x label " << v;
    }
    for (double v : {0.2, 0.4, 0.6, 0.8}) {
        const double y = whole.py(2 * v - 1);
        const int iy = static_cast<int>(y);
        const zvtest::Centre tick = zvtest::centreOf(s, 76, iy - 5, 80, iy + 6, zvtest::GREEN);
        EXPECT_NEAR(y, tick.y, 1.0) << "y tick " << v;
        EXPECT_GT(s.count(20, iy - 1, 70, iy + 14, zvtest::isWhite), 10) << "y label " << v;
    }
    // The data where the labels say.
    const double x = whole.px(0.5), y = whole.py(-0.2);
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    const zvtest::Centre m = zvtest::centreOf(s, ix - 10, iy - 10, ix + 11, iy + 11, zvtest::RED);
    EXPECT_NEAR(x, m.x, 1.0);
    EXPECT_NEAR(y, m.y, 1.0);
}

TEST_F(AxesGLTest, LogAxesPlaceTicksLabelsAndData) {
    const Area whole{0, 0, W, H};
    // x from 1e-3 to 1e3 (six decades), y from 1 to 1e4 (four).
    auto p = scatter({1, 100, 0.01f, 10, 1000, 1e4f, -5, 100, 0, 100, 10, 0, 10, -1});
    p->setAxesLimits(1000, 0.001f, 1e4f, 1);
    p->setLogAxes(true, true);
    window->draw(p);
    zvtest::expectChartStateRestored("plot draw");
    EXPECT_FALSE(glIsEnabled(GL_CLIP_DISTANCE0));
    const zvtest::Snapshot s = grab();
    EXPECT_EQ(strings({"0.001", "0.01", "0.1", "1", "10", "100", "1000"}), p->xLabels());
    EXPECT_EQ(strings({"1", "10", "100", "1000", "10000"}), p->yLabels());
    for (int k = -3; k <= 3; ++k) {
        const double x = whole.px(k / 3.0);
        const int ix = static_cast<int>(x);
        const zvtest::Centre tick = zvtest::centreOf(s, ix - 5, 42, ix + 6, 46, zvtest::GREEN);
        EXPECT_NEAR(x, tick.x, 1.0) << "x tick 1e" << k;
    }
    for (int k = 0; k <= 4; ++k) {
        const double y = whole.py(k / 2.0 - 1);
        const int iy = static_cast<int>(y);
        const zvtest::Centre tick = zvtest::centreOf(s, 76, iy - 5, 80, iy + 6, zvtest::GREEN);
        EXPECT_NEAR(y, tick.y, 1.0) << "y tick 1e" << k;
    }
    // (1, 100) in the middle, (0.01, 10) a third of the way left and a quarter down; the
    // corner (1000, 1e4) clipped to a quarter. Points at or below zero draw nothing.
    const double at[2][2] = {{whole.px(0), whole.py(0)}, {whole.px(-2 / 3.0), whole.py(-0.5)}};
    for (const auto& e : at) {
        const int ix = static_cast<int>(e[0]), iy = static_cast<int>(e[1]);
        const zvtest::Centre m =
            zvtest::centreOf(s, ix - 10, iy - 10, ix + 11, iy + 11, zvtest::RED_NOT_WHITE);
        EXPECT_NEAR(100.0, m.weight, 1.0);
        EXPECT_NEAR(e[0], m.x, 1.0);
        EXPECT_NEAR(e[1], m.y, 1.0);
    }
    EXPECT_NEAR(225.0, s.count(0, 0, W, H, zvtest::isRed), 40.0) << "two whole markers and a quarter";
}

TEST_F(AxesGLTest, LogLinesLeaveOutSegmentsToPointsWithoutALogarithm) {
    // In log-log, (0.01, 10) -> (1, 100) -> (100, 1000) is one straight line; with the middle
    // point at x 0 both its segments go.
    auto line = [&](float middleX) {
        auto p = std::make_shared<plot_impl>(3, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
        p->setColor(0xFF0000FF);
        const float xy[6] = {0.01f, 10, middleX, 100, 100, 1000};
        zvtest::fillBuffer(p->vbo(), xy, sizeof xy);
        p->setAxesLimits(1000, 0.001f, 1e4f, 1);
        p->setLogAxes(true, true);
        window->draw(p);
        zvtest::expectChartStateRestored("plot draw");
        return grab();
    };
    const Area whole{0, 0, W, H};
    zvtest::Snapshot s = line(1);
    // Along the line, at the middle of its first segment (0.1, 31.6).
    const int mx = static_cast<int>(whole.px(-1 / 3.0)), my = static_cast<int>(whole.py(-0.25));
    EXPECT_GT(s.count(mx - 3, my - 3, mx + 4, my + 4, zvtest::isRed), 0);
    EXPECT_GT(s.count(0, 0, W, H, zvtest::isRed), 300);
    s = line(0);
    EXPECT_LE(s.count(0, 0, W, H, zvtest::isRed), 2) << "nothing of either segment";
}

TEST_F(AxesGLTest, HistogramBarsOnALogAxis) {
    auto h = std::make_shared<hist_impl>(5, zv::ZV_FLOAT32);
    h->setBarColor(1, 0, 0);
    const float freq[5] = {10, 100, 1000, 0, 0.5f};
    zvtest::fillBuffer(h->vbo(), freq, sizeof freq);
    h->setAxesLimits(5, 0, 1e4f, 1);
    h->setLogAxes(false, true);
    window->draw(h);
    zvtest::expectChartStateRestored("histogram draw");
    const zvtest::Snapshot s = grab();
    const Area whole{0, 0, W, H};
    // Bars 1, 2 and 3 reach a quarter, half and three quarters up; the last two none.
    for (int b = 0; b < 5; ++b) {
        const int x = static_cast<int>(whole.px(-1 + (2 * b + 1) / 5.0));
        int highest = -1;
        for (int y = 0; y < H; ++y)
            if (zvtest::isRed(s.at(x, y))) highest = y;
        if (b < 3) {
            EXPECT_NEAR(whole.py(-1 + 0.5 * (b + 1)), highest + 1, 1.0) << "bar " << b;
        } else {
            EXPECT_EQ(-1, highest) << "bar " << b;
        }
    }
}

TEST_F(AxesGLTest, LogAxesRefuseLimitsAtOrBelowZero) {
    auto p = std::make_shared<plot_impl>(1, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
    // The initial limits start at 0: no log axis yet.
    try {
        p->setLogAxes(true, false, "Plot::setLogAxes");
        FAIL() << "accepted";
    } catch (const zv::ArgumentError& e) {
        EXPECT_EQ(1, e.argIndex());
        EXPECT_NE(std::string::npos, std::string(e.expectedCondition()).find("setAxesLimits"));
    }
    EXPECT_FALSE(p->xLog());
    p->setAxesLimits(10, 0.1f, 1, 0);
    p->setLogAxes(true, false);
    const auto labels = p->xLabels();
    try {
        p->setAxesLimits(10, -1, 1, 0, "Plot::setAxesLimits");
        FAIL() << "accepted";
    } catch (const zv::ArgumentError& e) {
        EXPECT_EQ(2, e.argIndex());
        EXPECT_NE(std::string::npos, std::string(e.expectedCondition()).find("setLogAxes"));
    }
    EXPECT_EQ(0.1f, p->xmin());
    EXPECT_EQ(labels, p->xLabels());
    EXPECT_THROW(p->setLogAxes(true, true), zv::ArgumentError);  // y still 0 .. 1
    EXPECT_FALSE(p->yLog());
    p->setLogAxes(false, false);
    p->setAxesLimits(10, -1, 1, 0);  // linear again: anything goes
    EXPECT_EQ(-1.0f, p->xmin());
}

// Notes at the axes' ends (a factor, an offset) never cover a label that is drawn: their
// boxes stay inside the drawing area and clear of every label shown, whole window and grid
// cells alike; an ASCII offset note is written where its box says.
TEST_F(AxesGLTest, AxisNotesCoverNoLabel) {
    const Axes notes[] = {
        {4e-5f, 0, 1.2e-6f, -1.2e-6f, false, false, false},
        {1000.01f, 1000, 2.1e7f, 1.9e7f, true, false, false},
        {1000.01f, 1000, -1000, -1000.01f, false, false, false},
    };
    for (int cells = 1; cells <= 2; ++cells) {
        for (const Axes& k : notes) {
            SCOPED_TRACE(testing::Message() << "x " << k.xmin << " .. " << k.xmax << ", cells " << cells);
            auto p = makePlot(k);
            if (cells == 1) {
                window->draw(p);
            } else {
                window->grid(2, 2);
                window->draw(0, 0, p, nullptr);
                window->draw();
            }
            ASSERT_FALSE(p->xNote().empty());
            ASSERT_FALSE(p->yNote().empty());
            const internal::TextBox boxes[2] = {p->xNoteBox(), p->yNoteBox()};
            for (const internal::TextBox& n : boxes) {
                EXPECT_GE(n.x0, 0.0f);
                EXPECT_GE(n.y0, 0.0f);
                EXPECT_GT(n.x1, n.x0);
                for (size_t i = 0; i < p->xLabelBoxes().size(); ++i)
                    if (p->xLabelShown(i)) {
                        EXPECT_FALSE(internal::boxesTouch(n, p->xLabelBoxes()[i], 1.0f))
                            << "x label " << p->xLabels()[i];
                    }
                for (size_t i = 0; i < p->yLabelBoxes().size(); ++i)
                    if (p->yLabelShown(i)) {
                        EXPECT_FALSE(internal::boxesTouch(n, p->yLabelBoxes()[i], 1.0f))
                            << "y label " << p->yLabels()[i];
                    }
            }
            EXPECT_FALSE(internal::boxesTouch(boxes[0], boxes[1], 1.0f));
            if (cells == 1 && p->xNote() == "+1000") {
                // Text space and pixels coincide in the whole window, up to the frame's offset.
                const zvtest::Snapshot s = grab();
                const internal::ChartLayout c = internal::chartLayout(W, H);
                const auto px = [&](float x) { return static_cast<int>(x * W / c.dataWidth); };
                const auto py = [&](float y) { return static_cast<int>(y * H / c.dataHeight); };
                const internal::TextBox& n = boxes[0];
                EXPECT_GT(s.count(px(n.x0), py(n.y0) - 2, px(n.x1) + 2, py(n.y1) + 2, zvtest::isWhite), 20)
                    << "the offset is written";
            }
            int shown = 0;
            for (size_t i = 0; i < p->xLabels().size(); ++i) shown += p->xLabelShown(i);
            EXPECT_GE(shown, 3);
        }
    }
}

// The label of a tick on the frame's left edge (the 0 of an axis starting at 0) stays in
// small grid cells, where the y title running down past the frame starts only a few text
// units right of it: it moves left clear of the title, still reaching its tick.
TEST_F(AxesGLTest, TheLabelOnTheLeftEdgeStaysBesideAYTitle) {
    for (float top : {1.0f, 8.0f, 10.0f, 16.0f}) {
        auto p = scatter({1, 1});
        p->setAxesLimits(top, 0, top, 0);
        p->setNiceTicks(true);
        p->setYAxisTitle("count");
        window->grid(3, 3);
        window->draw(0, 0, p, nullptr);
        window->draw();
        SCOPED_TRACE(top);
        ASSERT_EQ(-1.0f, p->xTicks().positions[0]);
        EXPECT_TRUE(p->xLabelShown(0)) << p->xLabels()[0] << " hidden";
        const internal::TextBox& b = p->xLabelBoxes()[0];
        EXPECT_GE(b.x0, 0.0f);
        EXPECT_LT(b.x0, b.x1);
    }
}
