// Bars: grouped, stacked and lying bars against matplotlib's Agg renderer drawing the same
// data in the same frame (tests/reference/bars_reference.py prints the numbers below; the
// test needs no Python), category names on the axis, values that cannot be drawn, the fit,
// bad input, and bars as series of a chart.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bars/bars_impl.hpp"
#include "multichart/multichart_impl.hpp"
#include "support/chart_util.hpp"
#include "support/gl_test.hpp"
#include "window/interaction.hpp"
#include "zarvo.h"

namespace {

using internal::bars_impl;
using zvtest::RGBA;
using zvtest::Snapshot;

// The run of one bar's colour through the middle of the bar: first and last column of its
// middle row, first and last row (bottom row 0) of its middle column.
struct BarBox {
    char series;
    int category, firstColumn, lastColumn, firstRow, lastRow;
};
constexpr BarBox GROUPED[] = {
    {'A', 0, 92, 162, 41, 315},   {'A', 1, 271, 341, 41, 177},  {'A', 2, 449, 519, 41, 406},
    {'A', 3, 628, 698, 41, 223},  {'B', 0, 92, 162, 316, 406},  {'B', 1, 271, 341, 178, 360},
    {'B', 2, 449, 519, 407, 452}, {'B', 3, 628, 698, 224, 360}, {'C', 0, 163, 234, 41, 223},
    {'C', 1, 342, 412, 41, 360},  {'C', 2, 520, 591, 41, 131},  {'C', 3, 699, 769, 41, 269},
};
constexpr BarBox LYING[] = {
    {'D', 0, 74, 430, 77, 186},
    {'D', 1, 74, 609, 261, 370},
    {'D', 2, 74, 252, 444, 553},
};

const std::vector<float> A = {3, 1.5f, 4, 2};
const std::vector<float> B = {1, 2, 0.5f, 1.5f};
const std::vector<float> C = {2, 3.5f, 1, 2.5f};
const std::vector<float> D = {2, 3, 1};

// Colours as the reference draws them, and which pixels count as each: its strongest
// channel at least half of its value, the others below half of full.
const float RED[3] = {1.0f, 0.2f, 0.2f};
const float GREEN[3] = {0.2f, 0.8f, 0.2f};
const float BLUE[3] = {0.2f, 0.4f, 1.0f};
bool isA(const RGBA& c) { return c.r >= 128 && c.g < 128 && c.b < 128; }
bool isB(const RGBA& c) { return c.g >= 102 && c.r < 128 && c.b < 128; }
bool isC(const RGBA& c) { return c.b >= 128 && c.r < 128 && c.g < 128; }
bool anyBar(const RGBA& c) { return isA(c) || isB(c) || isC(c); }

// Pixel of the value v on an axis whose limits [lo, hi] span pixels [p0, p1] (the frame of
// a whole 800 x 600 window).
double pixel(double v, double lo, double hi, double p0, double p1) {
    return p0 + (v - lo) / (hi - lo) * (p1 - p0);
}
constexpr double LEFT = 74.2375, RIGHT = 788.2375, BOTTOM = 40.583333, TOP = 590.583333;

class BarsGLTest : public zvtest::GLTest {
protected:
    std::shared_ptr<bars_impl> makeBars(const std::vector<float>& values, const float rgb[3],
                                        int orientation = zv::ZV_BARS_VERTICAL) {
        auto b = std::make_shared<bars_impl>(static_cast<unsigned>(values.size()), zv::ZV_FLOAT32,
                                             orientation);
        b->setColor(rgb[0], rgb[1], rgb[2], 1.0f);
        zvtest::fillBuffer(b->vbo(), values.data(), values.size() * sizeof(float));
        return b;
    }
    Snapshot drawAndGrab(const std::shared_ptr<internal::AbstractRenderable>& r) {
        window->draw(r);
        zvtest::expectChartStateRestored("bars draw");
        return grab();
    }
    // The run of pred's pixels through (x, y) along a row or a column.
    static void run(const Snapshot& s, int x, int y, bool alongRow, bool (*pred)(const RGBA&),
                    int& first, int& last) {
        first = last = -1;
        if (!pred(s.at(x, y))) return;
        int lo = alongRow ? x : y, hi = lo;
        const int end = alongRow ? W : H;
        auto at = [&](int k) { return alongRow ? s.at(k, y) : s.at(x, k); };
        while (lo > 0 && pred(at(lo - 1))) --lo;
        while (hi + 1 < end && pred(at(hi + 1))) ++hi;
        first = lo;
        last = hi;
    }
    // Compares each bar's runs through its middle, which (x, y) gives in data units.
    static void expectBoxes(const Snapshot& s, const BarBox* boxes, size_t count,
                            double (*middleX)(const BarBox&), double (*middleY)(const BarBox&),
                            const double limits[4]) {
        for (size_t k = 0; k < count; ++k) {
            const BarBox& e = boxes[k];
            bool (*pred)(const RGBA&) = e.series == 'A' ? isA : e.series == 'B' ? isB : isC;
            const int x = static_cast<int>(std::lround(pixel(middleX(e), limits[0], limits[1], LEFT, RIGHT)));
            const int y = static_cast<int>(std::lround(pixel(middleY(e), limits[2], limits[3], BOTTOM, TOP)));
            int c0, c1, r0, r1;
            run(s, x, y, true, pred, c0, c1);
            run(s, x, y, false, pred, r0, r1);
            const std::string what = std::string(1, e.series) + " " + std::to_string(e.category);
            EXPECT_NEAR(e.firstColumn, c0, 1) << what;
            EXPECT_NEAR(e.lastColumn, c1, 1) << what;
            EXPECT_NEAR(e.firstRow, r0, 1) << what;
            EXPECT_NEAR(e.lastRow, r1, 1) << what;
        }
    }
};

// The middle of bar e of the grouped picture, and of the lying one, in data units.
double groupedX(const BarBox& e) { return e.category + (e.series == 'C' ? 0.2 : -0.2); }
double groupedY(const BarBox& e) {
    const size_t i = static_cast<size_t>(e.category);
    return e.series == 'A' ? 0.5 * A[i] : e.series == 'B' ? A[i] + 0.5 * B[i] : 0.5 * C[i];
}
double lyingX(const BarBox& e) { return 0.5 * D[static_cast<size_t>(e.category)]; }
double lyingY(const BarBox& e) { return e.category + 0.15; }  // clear of the tick at i

}  // namespace

// A stacked on nothing, B on A, C side by side with the stack: two places of 0.4 in each
// category's 0.8; then bars lying along x, alone, filling a group width of 0.6.
TEST_F(BarsGLTest, GroupedStackedAndLyingBarsMatchTheReferenceRenderer) {
    auto chart = std::make_shared<internal::multichart_impl>();
    auto a = makeBars(A, RED);
    auto b = makeBars(B, GREEN);
    auto c = makeBars(C, BLUE);
    b->stackOn(a);
    chart->add(a, "A");
    chart->add(b, "B");
    chart->add(c, "C");
    chart->setAxesLimits(3.5f, -0.5f, 6, 0);
    Snapshot s = drawAndGrab(chart);
    const double grouped[4] = {-0.5, 3.5, 0, 6};
    expectBoxes(s, GROUPED, std::size(GROUPED), groupedX, groupedY, grouped);
    EXPECT_TRUE(zvtest::near(RGBA{255, 51, 51, 255}, s.at(92 + 35, 100), 2)) << s.at(127, 100);

    auto d = makeBars(D, BLUE, zv::ZV_BARS_HORIZONTAL);
    d->setGroupWidth(0.6f);
    d->setAxesLimits(4, 0, 2.5f, -0.5f);
    s = drawAndGrab(d);
    const double lying[4] = {0, 4, -0.5, 2.5};
    BarBox boxes[3];
    for (int i = 0; i < 3; ++i) {
        boxes[i] = LYING[i];
        boxes[i].series = 'C';  // drawn in C's colour
    }
    expectBoxes(s, boxes, 3, lyingX, lyingY, lying);
}

// Category names replace the numbers on the category axis, one tick at each centre inside
// the limits (every s-th when too many show); without names the numbers of the categories.
TEST_F(BarsGLTest, TheCategoryAxisNamesTheCategoriesAtTheirCentres) {
    auto v = makeBars({1, 2, 3, 4, 5}, RED);
    v->setCategoryNames({"mon", "tue", "wed", "thu", "fri"});
    v->setAxesLimits(3.6f, 0.7f, 6, 0);  // categories 1 to 3 show
    drawAndGrab(v);
    EXPECT_EQ((std::vector<std::string>{"tue", "wed", "thu"}), v->xLabels());
    const internal::AxisMap map = v->xMap();
    for (size_t k = 0; k < 3; ++k)
        EXPECT_NEAR(internal::chartPosition(map, 1.0 + k), v->xTicks().positions[k], 1e-5);
    EXPECT_NE("tue", v->yLabels()[0]);  // the value axis keeps its numbers

    // Lying bars name the y axis; names can be taken back.
    auto h = makeBars({1, 2, 3}, BLUE, zv::ZV_BARS_HORIZONTAL);
    h->setCategoryNames({"α", "β", "γ"});
    drawAndGrab(h);
    EXPECT_EQ((std::vector<std::string>{"α", "β", "γ"}), h->yLabels());
    h->setCategoryNames({});
    drawAndGrab(h);
    EXPECT_EQ((std::vector<std::string>{"0", "1", "2"}), h->yLabels());

    // Thirty categories: every third is ticked, at most the frame's share of ticks.
    auto many = makeBars(std::vector<float>(30, 1.0f), RED);
    many->setAxesLimits(29.5f, -0.5f, 2, 0);
    drawAndGrab(many);
    ASSERT_EQ(10u, many->xLabels().size());
    EXPECT_EQ("27", many->xLabels().back());

    // In a chart the first bars name the axis, and a change of names shows on the next draw.
    auto chart = std::make_shared<internal::multichart_impl>();
    chart->add(v, "v");
    chart->setAxesLimits(4.5f, -0.5f, 6, 0);
    drawAndGrab(chart);
    EXPECT_EQ("mon", chart->xLabels().front());
    v->setCategoryNames({"1st", "2nd", "3rd", "4th", "5th"});
    drawAndGrab(chart);
    EXPECT_EQ("1st", chart->xLabels().front());
    EXPECT_EQ("5th", chart->xLabels().back());
}

// A NaN or infinite value leaves its bar out, and the bars stacked on it; on a logarithmic
// value axis bars on 0 reach below the frame and a value at or below zero is left out.
// Integer values stand as high as the same float values.
TEST_F(BarsGLTest, UndrawableValuesLeaveTheirBarsOut) {
    for (float bad : {NAN, INFINITY, -INFINITY}) {
        auto a = makeBars({1, bad, 2}, RED);
        auto b = makeBars({1, 1, 1}, GREEN);
        b->stackOn(a);
        auto chart = std::make_shared<internal::multichart_impl>();
        chart->add(a, nullptr);
        chart->add(b, nullptr);
        chart->setAxesLimits(2.5f, -0.5f, 4, 0);
        const Snapshot s = drawAndGrab(chart);
        // Category 1 covers columns 336 to 526.
        EXPECT_EQ(0, s.count(320, 45, 545, 586, anyBar)) << bad;
        EXPECT_GT(s.count(100, 45, 300, 586, isA), 1000) << bad;
        EXPECT_GT(s.count(100, 45, 300, 586, isB), 1000) << bad;
    }

    auto log = makeBars({10, -1, 0, 100}, RED);
    log->setAxesLimits(3.5f, -0.5f, 1000, 1);
    log->setLogAxes(false, true);
    Snapshot s = drawAndGrab(log);
    // Bar 0 reaches from the frame's bottom to 10, a third of the way up; 1 and 2 are out.
    int first, last;
    const int x0 = static_cast<int>(pixel(0.2, -0.5, 3.5, LEFT, RIGHT));  // clear of the tick
    run(s, x0, 100, false, isA, first, last);
    EXPECT_NEAR(41, first, 1);
    EXPECT_NEAR(pixel(1, 0, 3, BOTTOM, TOP), last, 1.5);
    EXPECT_EQ(0, s.count(static_cast<int>(pixel(0.6, -0.5, 3.5, LEFT, RIGHT)), 41,
                         static_cast<int>(pixel(2.4, -0.5, 3.5, LEFT, RIGHT)), 590, isA));

    auto ints = std::make_shared<bars_impl>(3u, zv::ZV_INT16, zv::ZV_BARS_VERTICAL);
    ints->setColor(RED[0], RED[1], RED[2], 1.0f);
    const int16_t values[3] = {1, -2, 3};
    zvtest::fillBuffer(ints->vbo(), values, sizeof values);
    EXPECT_EQ(6u, ints->size());
    ints->setAxesLimits(2.5f, -0.5f, 4, -4);
    s = drawAndGrab(ints);
    const int x1 = static_cast<int>(pixel(1, -0.5, 2.5, LEFT, RIGHT));
    run(s, x1, static_cast<int>(pixel(-1, -4, 4, BOTTOM, TOP)), false, isA, first, last);
    // The rows whose centres the bar covers.
    EXPECT_NEAR(pixel(-2, -4, 4, BOTTOM, TOP) + 0.5, first, 1.5);
    EXPECT_NEAR(pixel(0, -4, 4, BOTTOM, TOP) - 0.5, last, 1.5);
}

// The fit covers every bar from 0 to the top of its stack and every category's group, with
// room above the tallest and none below 0; lying bars span their values along x. Unstacking
// puts the bars back on 0, and the fit follows.
TEST_F(BarsGLTest, TheFitCoversStacksAndGroups) {
    auto chart = std::make_shared<internal::multichart_impl>();
    auto a = makeBars(A, RED);
    auto b = makeBars(B, GREEN);
    auto c = makeBars(C, BLUE);
    b->stackOn(a);
    chart->add(a, nullptr);
    chart->add(b, nullptr);
    chart->add(c, nullptr);
    chart->fitAxesToData();
    // The tallest stack is 4 + 0.5 = 4.5; C reaches 3.5.
    EXPECT_NEAR(0.0f, chart->ymin(), 1e-5);
    EXPECT_NEAR(4.5f * 1.05f, chart->ymax(), 1e-4);
    EXPECT_NEAR(-0.4f - 0.19f, chart->xmin(), 1e-4);
    EXPECT_NEAR(3.4f + 0.19f, chart->xmax(), 1e-4);

    b->stackOn(nullptr);
    chart->fitAxesToData();
    EXPECT_NEAR(4.0f * 1.05f, chart->ymax(), 1e-4);

    auto h = makeBars({-1, 3}, BLUE, zv::ZV_BARS_HORIZONTAL);
    h->fitAxesToData();
    EXPECT_NEAR(-1.2f, h->xmin(), 1e-4);
    EXPECT_NEAR(3.2f, h->xmax(), 1e-4);
    EXPECT_NEAR(-0.4f - 0.09f, h->ymin(), 1e-4);
    EXPECT_NEAR(1.4f + 0.09f, h->ymax(), 1e-4);
}

// Bars are placed in axis units on both axes, unlike a histogram's bins: the mouse pans
// and zooms both, alone and in a chart.
TEST_F(BarsGLTest, TheMouseMovesBothAxes) {
    auto bars = makeBars({1, 2}, RED);
    auto lying = makeBars({1, 2}, RED, zv::ZV_BARS_HORIZONTAL);
    auto chart = std::make_shared<internal::multichart_impl>();
    chart->add(bars, nullptr);
    for (const internal::AbstractChart2D* c :
         {static_cast<internal::AbstractChart2D*>(bars.get()),
          static_cast<internal::AbstractChart2D*>(lying.get()),
          static_cast<internal::AbstractChart2D*>(chart.get())}) {
        EXPECT_EQ(internal::MouseAxis::Free, internal::mouseX(*c));
        EXPECT_EQ(internal::MouseAxis::Free, internal::mouseY(*c));
    }
}

TEST_F(BarsGLTest, BadInputRaisesWithAdviceAndChangesNothing) {
    EXPECT_THROW(bars_impl(4, zv::ZV_INT8, 0), zv::TypeError);
    EXPECT_THROW(bars_impl(0, zv::ZV_FLOAT32, 0), zv::DimensionError);
    try {
        bars_impl(4, zv::ZV_FLOAT32, 2);
        ADD_FAILURE() << "an unknown orientation was accepted";
    } catch (const zv::ArgumentError& e) {
        EXPECT_EQ(3, e.argIndex());
        EXPECT_NE(nullptr, std::strstr(e.expectedCondition(), "ZV_BARS_HORIZONTAL"));
    }

    bars_impl b(3, zv::ZV_FLOAT32, zv::ZV_BARS_VERTICAL);
    for (float w : {0.0f, -0.5f, 1.5f, NAN, INFINITY}) {
        EXPECT_THROW(b.setGroupWidth(w), zv::ArgumentError) << w;
        EXPECT_EQ(0.8f, b.groupWidth()) << w;
    }
    b.setGroupWidth(1.0f);
    EXPECT_EQ(1.0f, b.groupWidth());
    b.setCategoryNames({"a", "b", "c"});
    EXPECT_THROW(b.setCategoryNames({"a", "b"}), zv::DimensionError);
    EXPECT_EQ(3u, b.categoryNames().size());
    EXPECT_THROW(b.setBarsLogAxes(true, false), zv::ArgumentError);
    EXPECT_FALSE(b.xLog());
    bars_impl lying(3, zv::ZV_FLOAT32, zv::ZV_BARS_HORIZONTAL);
    EXPECT_THROW(lying.setBarsLogAxes(false, true), zv::ArgumentError);

    // Stacks: as many categories, the same way, and no loop.
    auto x = std::make_shared<bars_impl>(3u, zv::ZV_FLOAT32, zv::ZV_BARS_VERTICAL);
    auto y = std::make_shared<bars_impl>(3u, zv::ZV_FLOAT32, zv::ZV_BARS_VERTICAL);
    auto z = std::make_shared<bars_impl>(3u, zv::ZV_FLOAT32, zv::ZV_BARS_VERTICAL);
    EXPECT_THROW(x->stackOn(std::make_shared<bars_impl>(4u, zv::ZV_FLOAT32, 0)),
                 zv::DimensionError);
    EXPECT_THROW(x->stackOn(std::make_shared<bars_impl>(3u, zv::ZV_FLOAT32, 1)),
                 zv::ArgumentError);
    EXPECT_THROW(x->stackOn(x), zv::ArgumentError);
    y->stackOn(x);
    z->stackOn(y);
    EXPECT_THROW(x->stackOn(z), zv::ArgumentError);
    EXPECT_EQ(nullptr, x->below());
    EXPECT_EQ(x.get(), z->bottom());
}

// Through the public handles, in a chart: the cycle's colours, legend swatches, copies that
// share the bars, and a stack drawn in the place of its bottom.
TEST_F(BarsGLTest, BarsAreSeriesOfAChart) {
    window.reset();
    zv::Window win(800, 600, "bars", nullptr, true);
    zv::Bars first(2, zv::ZV_FLOAT32);
    zv::Bars second(2, zv::ZV_FLOAT32);
    zv::Bars same(second);
    const float v[2] = {1, 2};
    zvtest::fillBuffer(first.vbo(), v, sizeof v);
    zvtest::fillBuffer(second.vbo(), v, sizeof v);
    same.stackOn(first);
    EXPECT_TRUE(second.stacked());
    EXPECT_EQ(zv::ZV_BARS_VERTICAL, second.orientation());
    zv::Chart chart;
    chart.add(first, "first");
    chart.add(second, "second");
    chart.fitAxesToData();
    EXPECT_NEAR(4.2f, chart.ymax(), 1e-4);
    win.draw(chart);
    const Snapshot s = zvtest::readBack(0, 0, 800, 600);
    // Orange (230, 159, 0) below, the cycle's second colour above, in one place: the bars
    // of category 0 fill 0.8 of the category's width around its centre.
    const int x = static_cast<int>(pixel(0, chart.xmin(), chart.xmax(), LEFT, RIGHT));
    const RGBA low = s.at(x, static_cast<int>(pixel(0.5, chart.ymin(), chart.ymax(), BOTTOM, TOP)));
    const RGBA high = s.at(x, static_cast<int>(pixel(1.5, chart.ymin(), chart.ymax(), BOTTOM, TOP)));
    EXPECT_TRUE(zvtest::near(RGBA{230, 159, 0, 255}, low, 2)) << low;
    EXPECT_FALSE(zvtest::near(low, high, 20)) << high;
    EXPECT_TRUE(zvtest::near(low, s.at(x + 100, static_cast<int>(pixel(0.5, chart.ymin(), chart.ymax(), BOTTOM, TOP))), 2));
    // Swatches in the legend, top right.
    EXPECT_GT(s.count(600, 500, 790, 595,
                      [](const RGBA& c) { return c.r > 200 && c.g > 140 && c.b < 30; }),
              50);
}
