// Colour-mapped scatters and error bars: pictures against matplotlib's Agg renderer drawing
// the same data in the same frame (tests/reference/scatter_reference.py prints the numbers
// below; the test needs no Python), points that cannot be drawn, bad input, fits that cover
// the error bars, the colour bar, and both kinds as series of a chart.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "error_bars/error_bars_impl.hpp"
#include "scatter/scatter_impl.hpp"
#include "support/chart_util.hpp"
#include "support/gl_test.hpp"
#include "window/window.hpp"
#include "zarvo.h"

namespace {

using internal::error_bars_impl;
using internal::mapped_scatter_impl;
using zvtest::RGBA;
using zvtest::Snapshot;

// The frame of a chart over a whole 800 x 600 window, in window pixels.
constexpr double LEFT = 74.2375, RIGHT = 788.2375, BOTTOM = 40.583333, TOP = 590.583333;
double columnOf(double x) { return LEFT + x / 10.0 * (RIGHT - LEFT); }
double rowOf(double y) { return BOTTOM + y / 10.0 * (TOP - BOTTOM); }

// Scatter: discs of 0.6 of each marker's side, grey by value over [-0.2, 1].
const std::vector<float> SX = {1.0f, 2.5f, 4.0f, 5.5f, 7.0f, 8.5f};
const std::vector<float> SY = {2.0f, 7.0f, 4.5f, 8.0f, 3.0f, 6.0f};
const std::vector<float> SV = {0.1f, 0.3f, 0.5f, 0.7f, 0.9f, 1.2f};
const std::vector<float> SS = {20.0f, 30.0f, 40.0f, 24.0f, 36.0f, 28.0f};
// Centroid of the pixels at least half as bright as the centre, their count, and the grey
// level at the centre.
struct Disc {
    double x, y;
    int pixels, grey;
};
constexpr Disc DISCS[] = {
    {145.71, 150.63, 113, 64},  {252.72, 425.65, 251, 106}, {359.83, 288.10, 453, 149},
    {466.96, 480.61, 161, 192}, {574.03, 205.51, 365, 234}, {681.07, 370.57, 221, 255},
};

// Error bars: y errors below and above, symmetric x errors, white, caps of 6 pixels.
const std::vector<float> EX = {1.5f, 3.5f, 5.5f, 7.5f};
const std::vector<float> EY = {3.0f, 6.0f, 4.0f, 7.0f};
const std::vector<float> ELO = {1.0f, 2.0f, 0.5f, 1.5f};
const std::vector<float> EHI = {2.0f, 1.0f, 1.5f, 2.0f};
const std::vector<float> EXERR = {0.5f, 0.8f, 0.3f, 1.0f};
// The y bar's column and the rows it spans, the x bar's row and the columns it spans, and
// the width of the cap at the y bar's top (pixels at least half lit).
struct Bars {
    int column, lowest, highest, row, first, last, cap;
};
constexpr Bars BARS[] = {
    {181, 150, 315, 205, 146, 217, 5},
    {324, 260, 425, 370, 267, 381, 5},
    {467, 232, 342, 260, 446, 488, 5},
    {610, 342, 535, 425, 538, 681, 5},
};

std::vector<float> interleave(const std::vector<float>& a, const std::vector<float>& b) {
    std::vector<float> ab;
    for (size_t i = 0; i < a.size(); ++i) {
        ab.push_back(a[i]);
        ab.push_back(b[i]);
    }
    return ab;
}

template <class T>
void fill(GLuint vbo, const std::vector<T>& data) {
    zvtest::fillBuffer(vbo, data.data(), data.size() * sizeof(T));
}

bool lit(const RGBA& c) { return c.r >= 128; }

// The run of lit pixels through (x, y) along a column (or a row): its first and last.
std::pair<int, int> columnRun(const Snapshot& s, int x, int y) {
    int lo = y, hi = y;
    while (lo > 0 && lit(s.at(x, lo - 1))) --lo;
    while (hi + 1 < s.height && lit(s.at(x, hi + 1))) ++hi;
    return {lo, hi};
}
std::pair<int, int> rowRun(const Snapshot& s, int x, int y) {
    int lo = x, hi = x;
    while (lo > 0 && lit(s.at(lo - 1, y))) --lo;
    while (hi + 1 < s.width && lit(s.at(hi + 1, y))) ++hi;
    return {lo, hi};
}

class ScatterTest : public zvtest::GLTest {
protected:
    // The reference scatter, of sized discs unless `sizes` is false.
    std::shared_ptr<mapped_scatter_impl> makeScatter(const std::vector<float>& x,
                                              const std::vector<float>& y,
                                              const std::vector<float>& v,
                                              const std::vector<float>* sizes = &SS) {
        auto s = std::make_shared<mapped_scatter_impl>(static_cast<unsigned>(x.size()), zv::ZV_FLOAT32,
                                                zv::ZV_MARKER_POINT, sizes != nullptr);
        s->setAxesLimits(10, 0, 10, 0);
        s->setValueRange(-0.2f, 1.0f);
        fill(s->vbo(), interleave(x, y));
        fill(s->valueVbo(), v);
        if (sizes) fill(s->sizeVbo(), *sizes);
        return s;
    }
    std::shared_ptr<error_bars_impl> makeBars(const std::vector<float>& x,
                                              const std::vector<float>& y,
                                              const std::vector<float>& below,
                                              const std::vector<float>& above,
                                              const std::vector<float>& xerr) {
        auto b = std::make_shared<error_bars_impl>(static_cast<unsigned>(x.size()),
                                                   zv::ZV_FLOAT32, zv::ZV_ERRORS_ASYMMETRIC,
                                                   zv::ZV_ERRORS_SYMMETRIC);
        b->setAxesLimits(10, 0, 10, 0);
        fill(b->vbo(), interleave(x, y));
        fill(b->yErrorVbo(), interleave(below, above));
        fill(b->xErrorVbo(), xerr);
        return b;
    }
    Snapshot drawAndGrab(const std::shared_ptr<internal::AbstractRenderable>& r) {
        window->draw(r);
        zvtest::expectChartStateRestored("draw");
        return grab();
    }
    // Lit pixels (red at least `threshold`) of the 45 x 45 box around window point (x, y).
    static int inkAround(const Snapshot& s, double x, double y, int threshold = 16) {
        const int cx = static_cast<int>(x), cy = static_cast<int>(y);
        return s.count(cx - 22, cy - 22, cx + 23, cy + 23,
                       [threshold](const RGBA& c) { return c.r >= threshold; });
    }
};

}  // namespace

TEST_F(ScatterTest, MarkersMatchTheReferenceRenderer) {
    const Snapshot s = drawAndGrab(makeScatter(SX, SY, SV));
    for (const Disc& d : DISCS) {
        const int cx = static_cast<int>(d.x), cy = static_cast<int>(d.y);
        EXPECT_NEAR(d.grey, s.at(cx, cy).r, 2) << "disc at " << d.x << ", " << d.y;
        double sx = 0, sy = 0;
        int n = 0;
        for (int y = cy - 22; y <= cy + 22; ++y) {
            for (int x = cx - 22; x <= cx + 22; ++x) {
                if (2 * s.at(x, y).r < d.grey) continue;
                sx += x + 0.5;
                sy += y + 0.5;
                ++n;
            }
        }
        ASSERT_GT(n, 0) << "no disc at " << d.x << ", " << d.y;
        EXPECT_NEAR(d.x, sx / n, 1.0) << "disc at " << d.x << ", " << d.y;
        EXPECT_NEAR(d.y, sy / n, 1.0) << "disc at " << d.x << ", " << d.y;
        // The same size: diameters (of discs of these areas) within a pixel.
        EXPECT_NEAR(2 * std::sqrt(d.pixels / M_PI), 2 * std::sqrt(n / M_PI), 1.0)
            << "disc at " << d.x << ", " << d.y;
    }
}

// Without a size buffer every marker takes markerSize(); a reversed range reverses the map.
TEST_F(ScatterTest, OneSizeForAllAndAReversedRange) {
    auto s = makeScatter(SX, SY, SV, nullptr);
    EXPECT_EQ(0u, s->sizeVbo());
    EXPECT_EQ(0u, s->sizeSize());
    s->setMarkerSize(30);
    s->setValueRange(1.0f, -0.2f);
    const Snapshot p = drawAndGrab(s);
    for (size_t i = 0; i < SX.size(); ++i) {
        const double x = columnOf(SX[i]), y = rowOf(SY[i]);
        // Reversed: t = (v - 1) / (-0.2 - 1); row int(256 t) of the grey ramp, whose row k
        // is grey k.
        const double t = (1.0 - SV[i]) / 1.2;
        const double grey = std::min(std::max(std::floor(t * 256), 0.0), 255.0);
        EXPECT_NEAR(grey, p.at(static_cast<int>(x), static_cast<int>(y)).r, 2) << i;
        // A disc of 18 pixels across: about 254 pixels (the last is black on black).
        if (grey > 8) {
            EXPECT_NEAR(254, inkAround(p, x, y, 1), 30) << i;
        }
    }
}

// A point whose coordinates, value or size cannot be drawn is skipped; its neighbours stay.
TEST_F(ScatterTest, UndrawablePointsAreSkipped) {
    struct Case {
        const char* what;
        float x, y, value, size;
        bool logY;
    };
    const Case cases[] = {
        {"NaN x", NAN, 5, 0.5f, 30, false},         {"infinite y", 5, INFINITY, 0.5f, 30, false},
        {"NaN value", 5, 5, NAN, 30, false},        {"infinite value", 5, 5, -INFINITY, 30, false},
        {"NaN size", 5, 5, 0.5f, NAN, false},       {"zero size", 5, 5, 0.5f, 0, false},
        {"negative size", 5, 5, 0.5f, -30, false},  {"infinite size", 5, 5, 0.5f, INFINITY, false},
        {"y at zero on a log axis", 5, 0, 0.5f, 30, true},
    };
    for (const Case& c : cases) {
        const std::vector<float> sizes = {30, c.size, 30};
        auto s = makeScatter({2, c.x, 8}, {5, c.y, 5}, {0.5f, c.value, 0.5f}, &sizes);
        if (c.logY) {
            s->setAxesLimits(10, 0, 10, 0.1f);
            s->setLogAxes(false, true);
        }
        const Snapshot p = drawAndGrab(s);
        const double y = c.logY ? BOTTOM + (std::log10(5.0) + 1) / 2 * (TOP - BOTTOM) : rowOf(5);
        EXPECT_EQ(0, inkAround(p, columnOf(5), y, 1)) << c.what;
        EXPECT_GT(inkAround(p, columnOf(2), y), 200) << c.what;
        EXPECT_GT(inkAround(p, columnOf(8), y), 200) << c.what;
    }
}

TEST_F(ScatterTest, BadInputRaisesWithAdviceAndChangesNothing) {
    EXPECT_THROW(mapped_scatter_impl(4, zv::ZV_INT8, zv::ZV_MARKER_POINT, false), zv::TypeError);
    for (int marker : {static_cast<int>(zv::ZV_MARKER_NONE), 8, -1}) {
        try {
            mapped_scatter_impl(4, zv::ZV_FLOAT32, marker, false);
            ADD_FAILURE() << "marker " << marker << " was accepted";
        } catch (const zv::ArgumentError& e) {
            EXPECT_EQ(3, e.argIndex());
            EXPECT_NE(nullptr, std::strstr(e.expectedCondition(), "ZV_MARKER_POINT"));
        }
    }
    mapped_scatter_impl s(4, zv::ZV_UINT16, zv::ZV_MARKER_SQUARE, true);
    EXPECT_EQ(16u, s.size());
    EXPECT_EQ(8u, s.valueSize());
    EXPECT_EQ(8u, s.sizeSize());
    EXPECT_EQ(8, zvtest::arrayBufferInfo(s.sizeVbo()).bytes);
    s.setValueRange(2, 3);
    struct Range {
        float min, max;
        int arg;
    };
    for (const Range& r :
         {Range{NAN, 1, 1}, Range{0, INFINITY, 2}, Range{1, 1, 2}, Range{0, 1e-35f, 2}}) {
        try {
            s.setValueRange(r.min, r.max);
            ADD_FAILURE() << r.min << ", " << r.max << " was accepted";
        } catch (const zv::ArgumentError& e) {
            EXPECT_EQ(r.arg, e.argIndex()) << r.min << ", " << r.max;
        }
        EXPECT_EQ(2.0f, s.valueMin());
        EXPECT_EQ(3.0f, s.valueMax());
    }
    for (float size : {0.0f, -1.0f, NAN, INFINITY, 257.0f}) {
        EXPECT_THROW(s.setMarkerSize(size), zv::ArgumentError) << size;
        EXPECT_EQ(10.0f, s.markerSize());
    }
}

// A buffer the application still has mapped is named before anything is drawn, for each
// buffer of either kind; unmapped, the draw goes on.
TEST_F(ScatterTest, ABufferStillMappedRefusesTheDraw) {
    auto scatter = makeScatter(SX, SY, SV);
    auto bars = makeBars(EX, EY, ELO, EHI, EXERR);
    const std::pair<std::shared_ptr<internal::AbstractChart2D>, GLuint> cases[] = {
        {scatter, scatter->vbo()},  {scatter, scatter->valueVbo()}, {scatter, scatter->sizeVbo()},
        {bars, bars->vbo()},        {bars, bars->yErrorVbo()},      {bars, bars->xErrorVbo()},
    };
    for (const auto& c : cases) {
        glBindBuffer(GL_ARRAY_BUFFER, c.second);
        glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        try {
            window->draw(c.first);
            ADD_FAILURE() << "buffer " << c.second << " mapped was drawn";
        } catch (const zv::Error& e) {
            EXPECT_EQ(zv::ZV_ERR_GL, e.err());
            EXPECT_NE(nullptr, std::strstr(e.what(), "glUnmapBuffer")) << e.what();
        }
        glBindBuffer(GL_ARRAY_BUFFER, c.second);
        glUnmapBuffer(GL_ARRAY_BUFFER);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        EXPECT_NO_THROW(window->draw(c.first));
    }
}

// Drawn alone with its colour bar, the frame makes room at the right for a bar of the map
// from valueMin() (bottom, dark) to valueMax() (top, light).
TEST_F(ScatterTest, TheColourBarTakesAStripAtTheRight) {
    auto s = makeScatter({5}, {5}, {0.5f}, nullptr);
    const Snapshot plain = drawAndGrab(s);
    s->setColorBar(true);
    s->setColorBarTitle("value");
    const Snapshot barred = drawAndGrab(s);
    // The frame's white border: its right edge moves left by the strip.
    const auto rightmostWhite = [](const Snapshot& p) {
        for (int x = 799; x >= 0; --x)
            if (zvtest::isWhite(p.at(x, 300))) return x;
        return -1;
    };
    EXPECT_GE(rightmostWhite(plain), 786);
    const int frameRight = [&] {
        for (int x = 690; x >= 0; --x)
            if (zvtest::isWhite(barred.at(x, 300))) return x;
        return -1;
    }();
    EXPECT_GT(frameRight, 600);
    EXPECT_LT(frameRight, 700);
    // The bar: grey rising from bottom to top, somewhere right of the frame.
    int barColumn = -1;
    for (int x = 705; x < 800 && barColumn < 0; ++x) {
        const RGBA low = barred.at(x, 100), high = barred.at(x, 500);
        if (low.r == low.g && high.r == high.b && high.r > low.r + 100) barColumn = x;
    }
    ASSERT_GE(barColumn, 0) << "no colour bar";
    // The marker moved with the frame: the middle of the narrower frame.
    const double middle = (LEFT + frameRight) / 2;
    EXPECT_GT(inkAround(barred, middle, rowOf(5), 1), 20);
    EXPECT_EQ(0, inkAround(barred, columnOf(5), rowOf(5), 1));
}


TEST_F(ScatterTest, ErrorBarsMatchTheReferenceRenderer) {
    const Snapshot s = drawAndGrab(makeBars(EX, EY, ELO, EHI, EXERR));
    for (size_t i = 0; i < std::size(BARS); ++i) {
        const Bars& e = BARS[i];
        const int px = static_cast<int>(columnOf(EX[i])), py = static_cast<int>(rowOf(EY[i]));
        // The y bar: the lit column next to the point, just above the x bar.
        int column = -1;
        for (int x = px - 3; x <= px + 3; ++x)
            if (lit(s.at(x, py + 5))) column = x;
        EXPECT_NEAR(e.column, column, 1) << i;
        if (column < 0) continue;
        const auto rows = columnRun(s, column, py + 5);
        EXPECT_NEAR(e.lowest, rows.first, 1) << i;
        EXPECT_NEAR(e.highest, rows.second, 1) << i;
        int row = -1;
        for (int y = py - 3; y <= py + 3; ++y)
            if (lit(s.at(px + 12, y))) row = y;
        EXPECT_NEAR(e.row, row, 1) << i;
        if (row < 0) continue;
        const auto columns = rowRun(s, px + 12, row);
        EXPECT_NEAR(e.first, columns.first, 1) << i;
        EXPECT_NEAR(e.last, columns.second, 1) << i;
        const auto cap = rowRun(s, column, rows.second);
        EXPECT_NEAR(e.cap, cap.second - cap.first + 1, 1) << i;
    }
}

// The fit covers every bar, with the usual 5% margin: alone, in a chart, and following the
// data; on a logarithmic axis ends at or below zero are left out, and a bar's end that has
// no logarithm runs off the frame without a cap.
TEST_F(ScatterTest, ErrorBarFitsCoverTheBars) {
    // x from 1.0 to 8.5 and y from 2.0 to 9.0 with the errors; the points alone span less.
    auto b = makeBars(EX, EY, ELO, EHI, EXERR);
    b->fitAxesToData();
    EXPECT_NEAR(1.0f - 0.375f, b->xmin(), 1e-4);
    EXPECT_NEAR(8.5f + 0.375f, b->xmax(), 1e-4);
    EXPECT_NEAR(2.0f - 0.35f, b->ymin(), 1e-4);
    EXPECT_NEAR(9.0f + 0.35f, b->ymax(), 1e-4);

    // A NaN error counts as 0 in the fit (y from 2 to 7 then); the data changing is seen by
    // the next fit.
    std::vector<float> above = EHI;
    above[3] = NAN;
    fill(b->yErrorVbo(), interleave(ELO, above));
    b->fitAxesToData();
    EXPECT_NEAR(7.0f + 0.25f, b->ymax(), 1e-4);

    // Following the data: the limits move within a few draws.
    b->setAxesLimits(10, 0, 10, 0);
    b->setAutoFit(true);
    for (int k = 0; k < 4; ++k) window->draw(b);
    EXPECT_NEAR(2.0f - 0.25f, b->ymin(), 1e-4);
    EXPECT_NEAR(7.0f + 0.25f, b->ymax(), 1e-4);
    b->setAutoFit(false);

    // Logarithmic y: the bar of (5, 1) reaches -1 below, left out of the fit; from 1 to 100.
    auto log = std::make_shared<error_bars_impl>(2, zv::ZV_FLOAT32, zv::ZV_ERRORS_SYMMETRIC,
                                                 zv::ZV_ERRORS_NONE);
    fill(log->vbo(), std::vector<float>{5, 1, 6, 10});
    fill(log->yErrorVbo(), std::vector<float>{2, 90});
    log->setAxesLimits(10, 0, 1000, 0.1f);
    log->setLogAxes(false, true);
    log->fitAxesToData();
    // 1 to 100, two decades, plus 5% of them each side.
    EXPECT_NEAR(std::pow(10.0f, -0.1f), log->ymin(), 1e-3);
    EXPECT_NEAR(std::pow(10.0f, 2.1f), log->ymax(), 1e-2);
    const Snapshot s = drawAndGrab(log);
    // The first bar runs down to the frame's bottom edge, where no cap is drawn; its top
    // (y = 3) has one.
    const int column = static_cast<int>(LEFT + (5 - log->xmin()) / (log->xmax() - log->xmin()) *
                                                   (RIGHT - LEFT));
    const int row2 = static_cast<int>(BOTTOM + (std::log10(2.0) + 0.1) / 2.2 * (TOP - BOTTOM));
    int x = column - 1;
    while (x <= column + 1 && !lit(s.at(x, row2))) ++x;
    ASSERT_LE(x, column + 1) << "no bar at x = 5";
    const auto rows = columnRun(s, x, row2);
    EXPECT_LE(rows.first, 42);
    EXPECT_FALSE(lit(s.at(x - 2, 45)) || lit(s.at(x + 2, 45)));
    EXPECT_TRUE(lit(s.at(x - 2, rows.second)) && lit(s.at(x + 2, rows.second)));
}

// A point that cannot be drawn draws no bar; a bar whose error is not finite is left out
// while the point's other bar stays.
TEST_F(ScatterTest, UndrawableErrorBarsAreLeftOut) {
    struct Case {
        const char* what;
        float x, y, below, xerr;
        bool yBar, xBar;
    };
    const Case cases[] = {
        {"NaN x", NAN, 5, 1, 1, false, false},
        {"infinite y", 5, INFINITY, 1, 1, false, false},
        {"NaN y error", 5, 5, NAN, 1, false, true},
        {"infinite x error", 5, 5, 1, -INFINITY, true, false},
        {"negative errors", 5, 5, -1, -1, true, true},
    };
    for (const Case& c : cases) {
        const Snapshot s = drawAndGrab(makeBars({c.x}, {c.y}, {c.below}, {1}, {c.xerr}));
        const int px = static_cast<int>(columnOf(5)), py = static_cast<int>(rowOf(5));
        // Above and below the point on the y bar, left and right on the x bar.
        const int yInk = s.count(px - 2, py + 10, px + 3, py + 40, lit) +
                         s.count(px - 2, py - 40, px + 3, py - 10, lit);
        const int xInk = s.count(px + 10, py - 2, px + 40, py + 3, lit) +
                         s.count(px - 40, py - 2, px - 10, py + 3, lit);
        EXPECT_EQ(c.yBar, yInk == 60) << c.what << ": " << yInk;
        EXPECT_EQ(c.xBar, xInk == 60) << c.what << ": " << xInk;
        if (!c.yBar) {
            EXPECT_EQ(0, yInk) << c.what;
        }
        if (!c.xBar) {
            EXPECT_EQ(0, xInk) << c.what;
        }
    }
}

// Both kinds in a chart: the cycle's colours, legend swatches, one fit over both (the
// scatter's points and the bars' extents), and the handles share one series.
TEST_F(ScatterTest, BothKindsAreSeriesOfAChart) {
    window.reset();
    zv::Window win(800, 600, "scatter", nullptr, true);
    zv::Scatter scatter(3, zv::ZV_FLOAT32, zv::ZV_MARKER_POINT);
    zv::Scatter same(scatter);
    same.setValueRange(0, 2);
    EXPECT_EQ(2.0f, scatter.valueMax());
    fill(scatter.vbo(), std::vector<float>{0, 0, 1, 1, 2, 12});
    fill(scatter.valueVbo(), std::vector<float>{0, 1, 2});
    zv::ErrorBars bars(2);
    fill(bars.vbo(), std::vector<float>{-4, 2, -2, 3});
    fill(bars.yErrorVbo(), std::vector<float>{1, 2});

    zv::Chart chart;
    chart.add(scatter, "scatter");
    chart.add(bars, "bars");
    chart.fitAxesToData();
    // x from -4 to 2; y from 0 to 12 (the scatter) and 1 to 5 (the bars).
    EXPECT_NEAR(-4.3f, chart.xmin(), 1e-4);
    EXPECT_NEAR(2.3f, chart.xmax(), 1e-4);
    EXPECT_NEAR(-0.6f, chart.ymin(), 1e-4);
    EXPECT_NEAR(12.6f, chart.ymax(), 1e-4);
    chart.setAxesLimits(5, -5, 13, -1);
    win.draw(chart);
    const Snapshot s = zvtest::readBack(0, 0, 800, 600);
    // The bars take the cycle's second colour, sky blue (86, 180, 233); the scatter's
    // swatch the first, orange (230, 159, 0); both squares in the legend's box.
    const auto sky = [](const RGBA& c) { return c.b > 200 && c.g > 150 && c.r < 120; };
    const auto orange = [](const RGBA& c) { return c.r > 200 && c.g > 130 && c.b < 40; };
    EXPECT_GT(s.count(600, 450, 800, 600, orange), 20);
    EXPECT_GT(s.count(600, 450, 800, 600, sky), 20);
    // A bar in the data (x = -4, below the legend), and the scatter's points grey.
    EXPECT_GT(s.count(100, 100, 200, 350, sky), 30);
    const int middle = static_cast<int>(LEFT + 6.0 / 10.0 * (RIGHT - LEFT));
    const RGBA grey = s.at(middle, static_cast<int>(BOTTOM + 2.0 / 14.0 * (TOP - BOTTOM)));
    EXPECT_NEAR(128, grey.r, 2);
    EXPECT_EQ(grey.r, grey.b);
}

TEST_F(ScatterTest, ErrorBarsBadInputRaisesWithAdvice) {
    EXPECT_THROW(error_bars_impl(4, zv::ZV_INT8, 1, 0), zv::TypeError);
    struct Case {
        int y, x, arg;
    };
    for (const Case& c : {Case{3, 0, 3}, Case{-1, 0, 3}, Case{1, 7, 4}, Case{0, 0, 4}}) {
        try {
            error_bars_impl(4, zv::ZV_FLOAT32, c.y, c.x);
            ADD_FAILURE() << c.y << ", " << c.x << " was accepted";
        } catch (const zv::ArgumentError& e) {
            EXPECT_EQ(c.arg, e.argIndex()) << c.y << ", " << c.x;
            EXPECT_NE(nullptr, std::strstr(e.expectedCondition(), "ZV_ERRORS_SYMMETRIC"));
        }
    }
    error_bars_impl b(4, zv::ZV_INT16, zv::ZV_ERRORS_NONE, zv::ZV_ERRORS_ASYMMETRIC);
    EXPECT_EQ(16u, b.size());
    EXPECT_EQ(0u, b.yErrorVbo());
    EXPECT_EQ(0u, b.yErrorSize());
    EXPECT_EQ(16u, b.xErrorSize());
    EXPECT_EQ(16, zvtest::arrayBufferInfo(b.xErrorVbo()).bytes);
    for (float v : {-1.0f, NAN, INFINITY, 257.0f}) {
        EXPECT_THROW(b.setCapSize(v), zv::ArgumentError) << v;
        EXPECT_EQ(6.0f, b.capSize());
    }
    b.setCapSize(0);
    for (float v : {0.0f, -1.0f, NAN, 300.0f}) {
        EXPECT_THROW(b.setLineWidth(v), zv::ArgumentError) << v;
        EXPECT_EQ(1.0f, b.lineWidth());
    }
}
