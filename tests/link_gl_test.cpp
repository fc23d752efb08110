// Linked axes: charts of any kind that share their x and/or y limits, whatever sets them
// (the application, a fit, following the data), at once; links that join into groups, that
// charts leave when unlinked or destroyed, and logarithmic axes that keep what they cannot
// show. The mouse's side is in mouse_test.cpp.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "chart/chart_impl.hpp"
#include "support/chart_util.hpp"
#include "support/gl_test.hpp"
#include "zarvo.h"

namespace {

struct Limits {
    float xmax, xmin, ymax, ymin;
};
Limits limitsOf(const internal::AbstractChart2D& c) {
    return {c.xmax(), c.xmin(), c.ymax(), c.ymin()};
}
void expectLimits(const Limits& want, const Limits& got, const char* what) {
    EXPECT_EQ(want.xmax, got.xmax) << what;
    EXPECT_EQ(want.xmin, got.xmin) << what;
    EXPECT_EQ(want.ymax, got.ymax) << what;
    EXPECT_EQ(want.ymin, got.ymin) << what;
}

class LinkTest : public zvtest::GLTest {};

// A plot, a histogram and a chart of several series: linking x joins all three (b and c
// take a's x, keep their y); whichever sets its limits moves the others' x alone; a linked
// y joins only the pair asked. Unlinking one leaves the other two linked.
TEST_F(LinkTest, LinkedChartsOfEveryKindShareTheLinkedAxesOnly) {
    zv::Plot a(10, zv::ZV_FLOAT32);
    zv::Histogram b(10, zv::ZV_FLOAT32);
    zv::Chart c;
    a.setAxesLimits(8.0f, 2.0f, 1.0f, 0.0f);
    b.setAxesLimits(5.0f, 0.0f, 50.0f, 0.0f);
    c.setAxesLimits(1.0f, -1.0f, 3.0f, -3.0f);
    zv::linkAxes(a, b, zv::ZV_LINK_X);
    zv::linkAxes(b, c, zv::ZV_LINK_X);
    const auto& pa = *a.chartObject();
    const auto& pb = *b.chartObject();
    const auto& pc = *zv::AxesOf(c).object();
    expectLimits({8.0f, 2.0f, 50.0f, 0.0f}, limitsOf(pb), "b took a's x");
    expectLimits({8.0f, 2.0f, 3.0f, -3.0f}, limitsOf(pc), "c took the link's x");
    EXPECT_TRUE(zv::axesLinked(a, c, zv::ZV_LINK_X));
    EXPECT_FALSE(zv::axesLinked(a, c, zv::ZV_LINK_XY));

    c.setAxesLimits(20.0f, 10.0f, 4.0f, -4.0f);
    expectLimits({20.0f, 10.0f, 1.0f, 0.0f}, limitsOf(pa), "a follows c's x");
    expectLimits({20.0f, 10.0f, 50.0f, 0.0f}, limitsOf(pb), "b follows c's x");

    zv::linkAxes(a, c, zv::ZV_LINK_Y);
    expectLimits({20.0f, 10.0f, 1.0f, 0.0f}, limitsOf(pc), "c took a's y");
    a.setAxesLimits(30.0f, 25.0f, 9.0f, 7.0f);
    expectLimits({30.0f, 25.0f, 9.0f, 7.0f}, limitsOf(pc), "c follows both of a's axes");
    expectLimits({30.0f, 25.0f, 50.0f, 0.0f}, limitsOf(pb), "b follows a's x alone");

    zv::unlinkAxes(b);
    EXPECT_FALSE(zv::axesLinked(a, b, zv::ZV_LINK_X));
    b.setAxesLimits(2.0f, 1.0f, 2.0f, 1.0f);
    expectLimits({30.0f, 25.0f, 9.0f, 7.0f}, limitsOf(pa), "an unlinked b moves nothing");
    a.setAxesLimits(40.0f, 35.0f, 9.0f, 7.0f);
    EXPECT_EQ(40.0f, pc.xmax()) << "a and c stay linked";
    EXPECT_EQ(2.0f, pb.xmax()) << "b left the link";
}

// A fit, asked or following the data, moves the linked charts in the same call: the other
// chart, never drawn, already shows the fitted limits.
TEST_F(LinkTest, FitsAndFollowingTheDataMoveTheLinkedCharts) {
    zv::Plot a(3, zv::ZV_FLOAT32), b(3, zv::ZV_FLOAT32);
    const std::vector<float> xy = {-2.0f, 10.0f, 3.0f, 20.0f, 8.0f, 15.0f};
    zvtest::fillBuffer(a.vbo(), xy.data(), xy.size() * sizeof(float));
    zv::linkAxes(a, b);
    a.fitAxesToData();
    const Limits fitted{8.5f, -2.5f, 20.5f, 9.5f};
    expectLimits(fitted, limitsOf(*a.chartObject()), "a fitted");
    expectLimits(fitted, limitsOf(*b.chartObject()), "b, linked, fitted with it");

    const std::vector<float> moved = {-2.0f, 110.0f, 3.0f, 120.0f, 8.0f, 115.0f};
    zvtest::fillBuffer(a.vbo(), moved.data(), moved.size() * sizeof(float));
    a.setAutoFit(true);
    for (int i = 0; i < 4; ++i) window->draw(a.chartObject());
    EXPECT_FLOAT_EQ(120.5f, b.ymax()) << "b follows a's data through the link";
}

// A logarithmic axis keeps its limits while the link's are not above zero, and takes them
// again once they are; the link itself stays.
TEST_F(LinkTest, LogarithmicAxisKeepsItsLimitsWhileTheLinksCannotBeShown) {
    zv::Plot a(4, zv::ZV_FLOAT32), b(4, zv::ZV_FLOAT32);
    b.setAxesLimits(100.0f, 1.0f, 1.0f, 0.0f);
    b.setLogAxes(true, false);
    a.setAxesLimits(100.0f, 1.0f, 1.0f, 0.0f);
    zv::linkAxes(a, b, zv::ZV_LINK_X);
    a.setAxesLimits(10.0f, -10.0f, 1.0f, 0.0f);
    EXPECT_EQ(100.0f, b.xmax());
    EXPECT_EQ(1.0f, b.xmin());
    a.setAxesLimits(1000.0f, 10.0f, 1.0f, 0.0f);
    EXPECT_EQ(1000.0f, b.xmax());
    EXPECT_EQ(10.0f, b.xmin());
}

// A chart destroyed leaves its links: the others stay linked and never reach it (run under
// ASan for the dangling pointer this would otherwise be). Linking twice or to itself, or
// unlinking what is not linked, changes nothing; an unknown axis value is refused.
TEST_F(LinkTest, DestroyedChartsLeaveTheirLinksAndOddCallsAreHarmless) {
    zv::Plot a(4, zv::ZV_FLOAT32), c(4, zv::ZV_FLOAT32);
    {
        zv::Plot b(4, zv::ZV_FLOAT32);
        zv::linkAxes(a, b);
        zv::linkAxes(b, c);
        zv::linkAxes(a, b);
        zv::linkAxes(b, b);
    }
    a.setAxesLimits(7.0f, 6.0f, 5.0f, 4.0f);
    EXPECT_EQ(7.0f, c.xmax());
    EXPECT_EQ(5.0f, c.ymax());
    {
        zv::Plot lone(4, zv::ZV_FLOAT32);
        zv::unlinkAxes(lone);
        zv::linkAxes(lone, a, zv::ZV_LINK_Y);
        zv::unlinkAxes(a, zv::ZV_LINK_Y);
        EXPECT_FALSE(zv::axesLinked(lone, a, zv::ZV_LINK_Y));
        EXPECT_TRUE(zv::axesLinked(c, a, zv::ZV_LINK_X));
    }
    for (int bad : {0, 4, -1}) {
        EXPECT_THROW(zv::linkAxes(a, c, static_cast<zv::LinkedAxes>(bad)), zv::ArgumentError)
            << bad;
        EXPECT_THROW(zv::unlinkAxes(a, static_cast<zv::LinkedAxes>(bad)), zv::ArgumentError)
            << bad;
    }
    c.setAxesLimits(3.0f, 2.0f, 1.0f, 0.0f);
    EXPECT_EQ(3.0f, a.xmax());
}

}  // namespace
