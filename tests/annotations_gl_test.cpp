// Marks on a chart: reference lines, spans and text against matplotlib's Agg renderer
// drawing the same marks in the same frame (tests/reference/marks_reference.py prints the
// numbers below; the test needs no Python); marks that follow the limits and stay out of the
// fit and the colour cycle; bad values.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "annotations/mark_impl.hpp"
#include "bars/bars_impl.hpp"
#include "multichart/multichart_impl.hpp"
#include "support/chart_util.hpp"
#include "support/gl_test.hpp"
#include "zarvo.h"

namespace {

using internal::mark_impl;
using Kind = internal::mark_impl::Kind;
using zvtest::RGBA;
using zvtest::Snapshot;

constexpr double LEFT = 74.2375, RIGHT = 788.2375, BOTTOM = 40.583333, TOP = 590.583333;

bool isMarkRed(const RGBA& c) { return c.r >= 128 && c.g < 128; }
bool isSpanBlue(const RGBA& c) { return c.b >= 64 && c.r < 128; }
bool isSpanGreen(const RGBA& c) { return c.g >= 64 && c.b < 100 && c.r < 128; }
bool isInk(const RGBA& c) { return c.r >= 128 && c.g >= 128 && c.b >= 128; }

// First and last index along a row (or a column) of [from, to) where pred holds.
void extent(const Snapshot& s, bool alongRow, int at, int from, int to,
            bool (*pred)(const RGBA&), int& first, int& last) {
    first = last = -1;
    for (int k = from; k < to; ++k) {
        if (!pred(alongRow ? s.at(k, at) : s.at(at, k))) continue;
        if (first < 0) first = k;
        last = k;
    }
}

class MarksGLTest : public zvtest::GLTest {
protected:
    std::shared_ptr<mark_impl> mark(Kind kind, int axis, float a, float b, zv::Color color) {
        auto m = std::make_shared<mark_impl>(kind, axis, a, b, "test");
        m->setColor(color);
        return m;
    }
    Snapshot drawAndGrab(const std::shared_ptr<internal::AbstractRenderable>& r) {
        window->draw(r);
        zvtest::expectChartStateRestored("marks draw");
        return grab();
    }
};

}  // namespace

// Lines 2 and 3 pixels wide, translucent spans of x and y, and left-and-baseline-aligned
// text, in one chart; then the same marks after the limits moved (as a pan or zoom moves
// them) and on a logarithmic x axis.
TEST_F(MarksGLTest, MarksMatchTheReferenceRendererAndFollowTheLimits) {
    auto chart = std::make_shared<internal::multichart_impl>();
    auto xSpan = mark(Kind::Span, zv::ZV_MARK_X, 2.5f, 3.25f, 0x3366FF80u);
    auto ySpan = mark(Kind::Span, zv::ZV_MARK_Y, 1.0f, 0.5f, 0x33FF3380u);  // either order
    auto vLine = mark(Kind::Line, zv::ZV_MARK_X, 1.5f, 0, 0xFF3333FFu);
    auto hLine = mark(Kind::Line, zv::ZV_MARK_Y, 4.5f, 0, 0xFF3333FFu);
    hLine->setWidth(3);
    auto text = mark(Kind::Text, 0, 0.25f, 3.0f, 0xFFFFFFFFu);
    text->setText("HELLO");
    for (const auto& m : {xSpan, ySpan, vLine, hLine, text}) chart->add(m, nullptr);
    chart->setAxesLimits(4, 0, 5, 0);
    Snapshot s = drawAndGrab(chart);

    struct Expected {
        const char* what;
        bool alongRow;
        int at, from, to;
        bool (*pred)(const RGBA&);
        int first, last;
    };
    const Expected expected[] = {
        {"vertical line", true, 300, 100, 700, isMarkRed, 341, 342},
        {"horizontal line", false, 200, 45, 586, isMarkRed, 534, 536},
        {"x span", true, 400, 0, 800, isSpanBlue, 520, 653},
        {"y span", false, 100, 45, 586, isSpanGreen, 96, 150},
    };
    for (const Expected& e : expected) {
        int first, last;
        extent(s, e.alongRow, e.at, e.from, e.to, e.pred, first, last);
        EXPECT_NEAR(e.first, first, 1) << e.what;
        EXPECT_NEAR(e.last, last, 1) << e.what;
    }
    EXPECT_TRUE(zvtest::near(RGBA{25, 51, 127, 255}, s.at(600, 400), 2)) << s.at(600, 400);
    EXPECT_TRUE(zvtest::near(RGBA{25, 127, 25, 255}, s.at(100, 100), 2)) << s.at(100, 100);
    // The text's ink: from its left bearing past the point, up from the baseline.
    const std::vector<int> ink = [&] {
        int x0 = 800, y0 = 600, x1 = -1, y1 = -1;
        for (int y = 300; y < 400; ++y)
            for (int x = 100; x < 400; ++x)
                if (isInk(s.at(x, y))) {
                    x0 = std::min(x0, x), x1 = std::max(x1, x);
                    y0 = std::min(y0, y), y1 = std::max(y1, y);
                }
        return std::vector<int>{x0, y0, x1, y1};
    }();
    // The baseline lands on the same row. The glyphs are the chart font's own, drawn from
    // its atlas with whole-pixel bearings and advances, so the ink's left edge, cap height
    // and run width may differ by a pixel or two from the reference's outlines.
    EXPECT_NEAR(371, ink[1], 1);
    EXPECT_NEAR(121, ink[0], 2);
    EXPECT_NEAR(382, ink[3], 2);
    EXPECT_NEAR(165, ink[2], 4);

    // Twice the x range: the vertical line and the x span move left to half their columns.
    chart->setAxesLimits(8, 0, 5, 0);
    s = drawAndGrab(chart);
    int first, last;
    extent(s, true, 300, 100, 700, isMarkRed, first, last);
    EXPECT_NEAR(LEFT + 1.5 / 8 * (RIGHT - LEFT), 0.5 * (first + last + 1), 1);
    extent(s, true, 400, 0, 800, isSpanBlue, first, last);
    EXPECT_NEAR(LEFT + 2.5 / 8 * (RIGHT - LEFT), first, 1);

    // On a logarithmic x axis a line at or below zero shows nothing, and a span from zero
    // reaches the frame's left edge.
    vLine->setValues(-1, 0, "test");
    xSpan->setValues(0, 1, "test");
    chart->setAxesLimits(10, 0.1f, 5, 0);
    chart->setLogAxes(true, false);
    s = drawAndGrab(chart);
    EXPECT_EQ(0, s.count(80, 200, 780, 400, isMarkRed));
    extent(s, true, 400, 0, 800, isSpanBlue, first, last);
    EXPECT_NEAR(LEFT, first, 1.5);
    EXPECT_NEAR(0.5 * (LEFT + RIGHT), last, 1.5);  // 1 is the middle decade of 0.1 to 10
}

// The chart's fit and colour cycle belong to the data: marks far outside the data leave the
// fitted limits as the data alone give them, and a series added after a mark takes the
// cycle's first colour. Text moves with its point and is clipped to the frame.
TEST_F(MarksGLTest, MarksStayOutOfTheFitAndTheCycle) {
    auto chart = std::make_shared<internal::multichart_impl>();
    chart->add(mark(Kind::Line, zv::ZV_MARK_X, 100, 0, 0xFF3333FFu), "limit");
    chart->add(mark(Kind::Span, zv::ZV_MARK_Y, -50, 60, 0x33FF3380u), "band");
    auto note = mark(Kind::Text, 0, -30, 40, 0xFFFFFFFFu);
    note->setText("far away");
    chart->add(note, nullptr);
    auto bars = std::make_shared<internal::bars_impl>(2u, zv::ZV_FLOAT32, zv::ZV_BARS_VERTICAL);
    const float v[2] = {1, 2};
    zvtest::fillBuffer(bars->vbo(), v, sizeof v);
    chart->add(bars, nullptr);
    chart->fitAxesToData();
    EXPECT_NEAR(0.0f, chart->ymin(), 1e-5);
    EXPECT_NEAR(2.1f, chart->ymax(), 1e-4);
    EXPECT_NEAR(-0.4f - 0.09f, chart->xmin(), 1e-4);
    EXPECT_NEAR(1.4f + 0.09f, chart->xmax(), 1e-4);
    // Orange, the cycle's first colour.
    EXPECT_NEAR(230.0f / 255.0f, bars->color()[0], 1e-3);
    EXPECT_NEAR(159.0f / 255.0f, bars->color()[1], 1e-3);

    // The note lies outside the limits: nothing of it shows, in the frame or the margins.
    auto alone = std::make_shared<internal::multichart_impl>();
    alone->add(note, nullptr);
    alone->setAxesLimits(1, 0, 1, 0);
    const Snapshot hidden = drawAndGrab(alone);
    alone->setAxesLimits(0, -40, 50, 30);
    const Snapshot shown = drawAndGrab(alone);
    const int frameInk = shown.count(80, 45, 785, 586, isInk) - hidden.count(80, 45, 785, 586, isInk);
    EXPECT_GT(frameInk, 30);
    // UTF-8 through the chart's font: Greek letters draw ink too.
    note->setText("\u03b1\u03b2\u03b3");
    const Snapshot greek = drawAndGrab(alone);
    EXPECT_GT(greek.count(80, 45, 785, 586, isInk) - hidden.count(80, 45, 785, 586, isInk), 20);
    note->setText("");
    EXPECT_EQ(hidden.count(80, 45, 785, 586, isInk),
              drawAndGrab(alone).count(80, 45, 785, 586, isInk));
}

TEST_F(MarksGLTest, BadValuesRaiseWithAdviceAndChangeNothing) {
    for (float bad : {NAN, INFINITY, -INFINITY}) {
        EXPECT_THROW(mark_impl(Kind::Line, zv::ZV_MARK_X, bad, 0, "L"), zv::ArgumentError);
        EXPECT_THROW(mark_impl(Kind::Span, zv::ZV_MARK_Y, 0, bad, "S"), zv::ArgumentError);
        EXPECT_THROW(mark_impl(Kind::Text, 0, 1, bad, "T"), zv::ArgumentError);
        mark_impl span(Kind::Span, zv::ZV_MARK_X, 1, 2, "S");
        try {
            span.setValues(3, bad, "Span::setRange");
            ADD_FAILURE() << "a value that is not finite was taken: " << bad;
        } catch (const zv::ArgumentError& e) {
            EXPECT_EQ(2, e.argIndex());
        }
        EXPECT_EQ(1.0f, span.a());
        EXPECT_EQ(2.0f, span.b());
    }
    EXPECT_THROW(mark_impl(Kind::Line, 2, 0, 0, "L"), zv::ArgumentError);
    mark_impl line(Kind::Line, zv::ZV_MARK_Y, 0, 0, "L");
    for (float w : {0.0f, -1.0f, 101.0f, NAN}) {
        EXPECT_THROW(line.setWidth(w), zv::ArgumentError) << w;
        EXPECT_EQ(2.0f, line.width());
    }
    mark_impl text(Kind::Text, 0, 0, 0, "T");
    for (int size : {0, -3, 201}) {
        EXPECT_THROW(text.setTextSize(size), zv::ArgumentError) << size;
        EXPECT_EQ(internal::CHART_TEXT_SIZE, text.textSize());
    }
}

// The public handles share one mark and reach a chart as any series does.
TEST_F(MarksGLTest, PublicHandlesShareTheMark) {
    window.reset();
    zv::Window win(800, 600, "marks", nullptr, true);
    zv::ReferenceLine line(zv::ZV_MARK_Y, 0.5f);
    zv::ReferenceLine same(line);
    same.setValue(0.25f);
    EXPECT_EQ(0.25f, line.value());
    zv::Span span(zv::ZV_MARK_X, 0.1f, 0.2f);
    span.setRange(0.6f, 0.9f);
    zv::Annotation note("note", 0.1f, 0.7f);
    note.setPosition(0.2f, 0.8f);
    EXPECT_EQ("note", note.text());
    EXPECT_EQ(0.2f, note.x());
    EXPECT_THROW(zv::Span(zv::ZV_MARK_X, 0, NAN), zv::ArgumentError);
    zv::Chart chart;
    chart.add(line, "line");
    chart.add(span, nullptr);
    chart.add(note, nullptr);
    line.setColor(0xFF3333FFu);
    win.draw(chart);
    const Snapshot s = zvtest::readBack(0, 0, 800, 600);
    const int y = static_cast<int>(std::lround(BOTTOM + 0.25 * (TOP - BOTTOM)));
    EXPECT_TRUE(isMarkRed(s.at(300, y))) << s.at(300, y);
    // The span's default light grey at 0.25 over black.
    const int x = static_cast<int>(LEFT + 0.75 * (RIGHT - LEFT));
    EXPECT_TRUE(zvtest::near(RGBA{48, 48, 48, 255}, s.at(x, 450), 3)) << s.at(x, 450);
}
