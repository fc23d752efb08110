// Bands: the fill against matplotlib's Agg renderer drawing the same data in the same frame
// (tests/reference/band_reference.py prints the numbers below; the test needs no Python),
// gaps at points that cannot be drawn, bad input, and a band as a series of a chart.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "band/band_impl.hpp"
#include "multichart/multichart_impl.hpp"
#include "support/chart_util.hpp"
#include "support/gl_test.hpp"
#include "window/window.hpp"
#include "zarvo.h"

namespace {

using internal::band_impl;
using zvtest::RGBA;
using zvtest::Snapshot;

// Where the fill lies in a pixel column: its lowest and highest row (bottom row 0) at least
// half covered, -1 for none.
struct Span {
    int column, lowest, highest;
};
constexpr Span TWO_CURVES[] = {
    {150, 153, 264}, {200, 192, 322}, {260, 238, 391}, {300, 256, 402},
    {330, 244, 344}, {380, 225, 248}, {430, 152, 205}, {500, 285, 308},
    {574, 370, 479}, {640, 319, 504}, {700, 273, 528},
};
constexpr Span TO_BASELINE[] = {
    {150, 157, 259}, {200, 234, 259}, {260, 260, 325}, {300, 260, 351},
    {330, 260, 305}, {380, 229, 259}, {430, 152, 259}, {500, 260, 308},
    {574, 260, 478}, {640, 260, 301}, {700, 140, 259},
};
// 0.5 x (0.2, 0.6, 1.0) over black, as the reference has it.
const RGBA FILL{25, 76, 127, 255};

const std::vector<float> X = {0, 1, 2, 3, 4};
const std::vector<float> LOWER = {1, 2, 1.5f, 3, 2};
const std::vector<float> UPPER = {2, 3.5f, 1, 4, 4.5f};
const std::vector<float> CURVE = {1, 3, 1, 4, 0.5f};

// The points of a curve, x0, y0, x1, y1, ...
std::vector<float> points(const std::vector<float>& y) {
    std::vector<float> xy;
    for (size_t i = 0; i < y.size(); ++i) {
        xy.push_back(X[i]);
        xy.push_back(y[i]);
    }
    return xy;
}

bool isFill(const RGBA& c) { return c.b >= 64 && c.r < 64; }

class BandGLTest : public zvtest::GLTest {
protected:
    std::shared_ptr<band_impl> makeBand(const std::vector<float>& data, bool toBaseline) {
        const unsigned n = static_cast<unsigned>(data.size() / (toBaseline ? 2 : 4));
        auto b = std::make_shared<band_impl>(n, zv::ZV_FLOAT32,
                                             toBaseline ? zv::ZV_BAND_TO_BASELINE
                                                        : zv::ZV_BAND_TWO_CURVES);
        b->setColor(0.2f, 0.6f, 1.0f, 0.5f);
        b->setAxesLimits(4.5f, -0.5f, 5, 0);
        if (!data.empty())
            zvtest::fillBuffer(b->vbo(), data.data(), data.size() * sizeof(float));
        return b;
    }
    Snapshot drawAndGrab(const std::shared_ptr<internal::AbstractRenderable>& r) {
        window->draw(r);
        zvtest::expectChartStateRestored("band draw");
        return grab();
    }
    static void expectSpans(const Snapshot& s, const Span* spans, size_t count,
                            const char* what) {
        for (size_t k = 0; k < count; ++k) {
            const Span& e = spans[k];
            int lowest = -1, highest = -1;
            for (int y = 45; y < 586; ++y) {
                if (!isFill(s.at(e.column, y))) continue;
                if (lowest < 0) lowest = y;
                highest = y;
            }
            EXPECT_NEAR(e.lowest, lowest, 1) << what << ", column " << e.column;
            EXPECT_NEAR(e.highest, highest, 1) << what << ", column " << e.column;
        }
    }
};

}  // namespace

TEST_F(BandGLTest, FillMatchesTheReferenceRenderer) {
    std::vector<float> two = points(LOWER);
    const std::vector<float> upper = points(UPPER);
    two.insert(two.end(), upper.begin(), upper.end());
    Snapshot s = drawAndGrab(makeBand(two, false));
    expectSpans(s, TWO_CURVES, std::size(TWO_CURVES), "two curves");
    EXPECT_TRUE(zvtest::near(FILL, s.at(150, 200), 2)) << s.at(150, 200);

    auto baseline = makeBand(points(CURVE), true);
    baseline->setBaseline(2);
    s = drawAndGrab(baseline);
    expectSpans(s, TO_BASELINE, std::size(TO_BASELINE), "to the baseline");
    EXPECT_TRUE(zvtest::near(FILL, s.at(150, 200), 2)) << s.at(150, 200);
}

// A point that cannot be drawn (NaN, infinite, or without a logarithm on a logarithmic
// axis) leaves the band out between its neighbours and nowhere else; fewer than two points
// draw only the frame.
TEST_F(BandGLTest, UndrawablePointsLeaveGapsBetweenTheirNeighbours) {
    const float bad[] = {NAN, INFINITY, -1.0f};
    for (float v : bad) {
        std::vector<float> y = {1, 3, v, 4, 0.5f};
        auto b = makeBand(points(y), true);
        b->setBaseline(0.5f);
        if (v < 0) {
            b->setAxesLimits(4.5f, -0.5f, 5, 0.1f);
            b->setLogAxes(false, true);
        }
        const Snapshot s = drawAndGrab(b);
        // x = 1 .. 3 (columns 288 to 574) is gone; the first and last pieces stay.
        EXPECT_EQ(0, s.count(292, 45, 570, 586, isFill)) << v;
        EXPECT_GT(s.count(150, 45, 284, 586, isFill), 1000) << v;
        EXPECT_GT(s.count(578, 45, 716, 586, isFill), 1000) << v;
    }
    const Snapshot none = drawAndGrab(makeBand({1, 2}, true));
    EXPECT_EQ(0, none.count(0, 0, W, H, isFill));
}

TEST_F(BandGLTest, BadInputRaisesWithAdviceAndChangesNothing) {
    EXPECT_THROW(band_impl(4, zv::ZV_INT8, 0), zv::TypeError);
    try {
        band_impl(4, zv::ZV_FLOAT32, 5);
        ADD_FAILURE() << "an unknown edges value was accepted";
    } catch (const zv::ArgumentError& e) {
        EXPECT_EQ(3, e.argIndex());
        EXPECT_NE(nullptr, std::strstr(e.expectedCondition(), "ZV_BAND_TO_BASELINE"));
    }
    band_impl b(4, zv::ZV_UINT8, zv::ZV_BAND_TO_BASELINE);
    EXPECT_EQ(8u, b.size());
    EXPECT_EQ(64u, band_impl(4, zv::ZV_FLOAT32, zv::ZV_BAND_TWO_CURVES).size());
    b.setBaseline(3);
    for (float v : {NAN, INFINITY, -INFINITY}) {
        EXPECT_THROW(b.setBaseline(v), zv::ArgumentError) << v;
        EXPECT_EQ(3.0f, b.baseline());
    }
    b.setColor(2.0f, -1.0f, 0.5f, 7.0f);
    EXPECT_EQ(1.0f, b.color()[0]);
    EXPECT_EQ(0.0f, b.color()[1]);
    EXPECT_EQ(1.0f, b.color()[3]);
    b.setColor(0x336699CCu);
    EXPECT_NEAR(0.8f, b.color()[3], 1e-6);
}

// In a chart: the cycle's colour at opacity 0.4 over the series drawn before, a legend
// swatch, and a fit that covers both edges and the baseline; the handles share one band.
TEST_F(BandGLTest, ABandIsASeriesOfAChart) {
    window.reset();
    zv::Window win(800, 600, "bands", nullptr, true);
    zv::Band band(5, zv::ZV_FLOAT32, zv::ZV_BAND_TO_BASELINE);
    zv::Band same(band);
    const std::vector<float> xy = points(CURVE);
    zvtest::fillBuffer(band.vbo(), xy.data(), xy.size() * sizeof(float));
    same.setBaseline(-2);
    EXPECT_EQ(-2.0f, band.baseline());

    zv::Chart chart;
    chart.add(band, "band");
    chart.fitAxesToData();
    // y from -2 (the baseline) to 4, x from 0 to 4, plus 5% each side.
    EXPECT_NEAR(-2.3f, chart.ymin(), 1e-4);
    EXPECT_NEAR(4.3f, chart.ymax(), 1e-4);
    EXPECT_NEAR(-0.2f, chart.xmin(), 1e-4);
    EXPECT_NEAR(4.2f, chart.xmax(), 1e-4);
    win.draw(chart);
    const Snapshot s = zvtest::readBack(0, 0, 800, 600);
    // The cycle's first colour, orange (230, 159, 0), at 0.4 over black.
    const RGBA tint{92, 64, 0, 255};
    const RGBA mid = s.at(150, 300);
    EXPECT_TRUE(zvtest::near(tint, mid, 2)) << mid;
    // Its swatch in the legend, in the top-right corner, over the legend's dark box.
    EXPECT_GT(s.count(600, 500, 790, 595,
                      [](const RGBA& c) { return c.r > 90 && c.g > 60 && c.b < 50; }),
              50);
}
