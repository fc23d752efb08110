// The chart frame's border, ticks, labels and titles, read back from real contexts; the chart
// font of each share group. (Its layout, with no GPU: chart_layout_test.cpp.)

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "chart/chart_impl.hpp"
#include "chart/chart_layout.hpp"
#include "font/font_impl.hpp"
#include "support/chart_util.hpp"
#include "support/gl_test.hpp"

namespace {

// Frame geometry of an 800 x 600 area, in pixels from its lower-left corner.
constexpr double LEFT = 74.2375, RIGHT = 788.2375, BOTTOM = 40.583333, TOP = 590.583333;

std::vector<std::string> strings(std::initializer_list<const char*> list) {
    return std::vector<std::string>(list.begin(), list.end());
}

// A chart frame with no data of its own.
class FrameChart : public internal::AbstractChart2D {
public:
    const char* fitLabel() const override { return "FrameChart::fitAxesToData"; }
    GLuint vbo() const override { return 0; }
    size_t size() const override { return 0; }
};

class ChartGLTest : public zvtest::GLTest {
protected:
    zvtest::Snapshot drawAndGrab(const std::shared_ptr<FrameChart>& chart) {
        window->draw(chart);
        zvtest::expectChartStateRestored("chart draw");
        return grab();
    }
};

// Pixel y of y-axis tick k and pixel x of x-axis tick k in an 800 x 600 area.
double tickY(int k) {
    const double s = 2.0 / 9.0;
    const double offset = (k == 0 ? 0 : (k % 2 ? -1 : 1) * ((k + 1) / 2) * s);
    return BOTTOM + 550.0 * (offset + 1.0) / 2.0;
}
double tickX(int k) {
    const double s = 2.0 / 9.0;
    const double offset = (k == 0 ? 0 : (k % 2 ? -1 : 1) * ((k + 1) / 2) * s);
    return LEFT + 714.0 * (offset + 1.0) / 2.0;
}

}  // namespace

TEST_F(ChartGLTest, BorderLiesOnTheFrameRectangle) {
    auto chart = std::make_shared<FrameChart>();
    const zvtest::Snapshot s = drawAndGrab(chart);
    // The centre line of each edge, measured from its coverage away from ticks and text.
    using zvtest::centreOf;
    EXPECT_NEAR(LEFT, centreOf(s, 70, 90, 79, 110, zvtest::GREEN).x, 0.5);
    EXPECT_NEAR(RIGHT, centreOf(s, 783, 90, 793, 110, zvtest::GREEN).x, 0.5);
    EXPECT_NEAR(BOTTOM, centreOf(s, 100, 36, 120, 46, zvtest::GREEN).y, 0.5);
    EXPECT_NEAR(TOP, centreOf(s, 100, 585, 120, 596, zvtest::GREEN).y, 0.5);
    // A one-pixel line, white along its length, nothing drawn just beside it.
    for (int y = 100; y < 110; ++y) EXPECT_TRUE(zvtest::isWhite(s.at(74, y))) << y;
    EXPECT_TRUE(zvtest::isBlack(s.at(72, 100)));
    EXPECT_TRUE(zvtest::isBlack(s.at(76, 100)));
    EXPECT_TRUE(zvtest::isBlack(s.at(790, 100)));
    EXPECT_TRUE(zvtest::isBlack(s.at(300, 593)));
    // Nothing inside the data area without data or titles, nothing above or right of it.
    EXPECT_EQ(0, s.count(82, 48, 781, 583, zvtest::notBlack));
    EXPECT_EQ(0, s.count(0, 594, 800, 600, zvtest::notBlack));
    EXPECT_EQ(0, s.count(791, 0, 800, 600, zvtest::notBlack));
}

TEST_F(ChartGLTest, NineTicksOnEachAxisCentredOnTheirValues) {
    auto chart = std::make_shared<FrameChart>();
    const zvtest::Snapshot s = drawAndGrab(chart);
    // y ticks cross the left edge, x ticks the bottom edge.
    EXPECT_EQ(9, zvtest::runsInColumn(s, 77, 46, 586, zvtest::isWhite));
    EXPECT_EQ(9, zvtest::runsInRow(s, 44, 78, 786, zvtest::isWhite));
    for (int k = 0; k < 9; ++k) {
        const int ty = static_cast<int>(tickY(k));
        const zvtest::Centre y = zvtest::centreOf(s, 76, ty - 5, 80, ty + 6, zvtest::GREEN);
        // The rasteriser puts point sprites on whole pixels: within a pixel of the value.
        EXPECT_NEAR(tickY(k), y.y, 1.0) << "y tick " << k;
        const int tx = static_cast<int>(tickX(k));
        const zvtest::Centre x = zvtest::centreOf(s, tx - 5, 42, tx + 6, 46, zvtest::GREEN);
        EXPECT_NEAR(tickX(k), x.x, 1.0) << "x tick " << k;
        // A dash is a tick long: it reaches 5 pixels either side of the edge.
        EXPECT_TRUE(zvtest::notBlack(s.at(70, static_cast<int>(std::lround(tickY(k))))));
        EXPECT_TRUE(zvtest::isBlack(s.at(67, static_cast<int>(std::lround(tickY(k))))));
    }
}

TEST_F(ChartGLTest, LabelsStandBesideTheirTicksAndTitlesWhereTheyBelong) {
    auto chart = std::make_shared<FrameChart>();
    chart->setAxesLimits(1, 0, 1, 0);
    zvtest::Snapshot s = drawAndGrab(chart);
    for (int k = 0; k < 9; ++k) {
        // A y label left of the frame, from its tick's height up; an x label below its tick.
        const int ty = static_cast<int>(tickY(k));
        EXPECT_GT(s.count(20, ty - 1, 70, ty + 14, zvtest::isWhite), 20) << "y label " << k;
        const int tx = static_cast<int>(tickX(k));
        EXPECT_GT(s.count(tx - 25, 8, tx + 25, 32, zvtest::isWhite), 20) << "x label " << k;
    }
    // Nothing below the x labels, left of the y labels, or between two y labels.
    EXPECT_EQ(0, s.count(0, 0, 800, 6, zvtest::notBlack));
    EXPECT_EQ(0, s.count(0, 0, 18, 600, zvtest::notBlack));
    EXPECT_EQ(0, s.count(20, static_cast<int>(tickY(7)) + 16, 66, static_cast<int>(tickY(5)) - 2,
                         zvtest::notBlack));
    // No titles yet: the places they go are empty.
    const int yTitle[4] = {83, 180, 100, 330};  // down from mid-height, a tick inside the edge
    const int xTitle[4] = {430, 50, 490, 70};   // right from the middle, a tick above the edge
    EXPECT_EQ(0, s.count(yTitle[0], yTitle[1], yTitle[2], yTitle[3], zvtest::notBlack));
    EXPECT_EQ(0, s.count(xTitle[0], xTitle[1], xTitle[2], xTitle[3], zvtest::notBlack));

    chart->setYAxisTitle("abc");
    chart->setXAxisTitle("xyz");
    s = drawAndGrab(chart);
    // Three letters stacked downward from the middle of the left edge: three bands of rows
    // with white in them, one under the other.
    EXPECT_GT(s.count(yTitle[0], yTitle[1], yTitle[2], yTitle[3], zvtest::isWhite), 30);
    int letters = 0;
    bool inLetter = false;
    for (int y = yTitle[3]; y >= yTitle[1]; --y) {
        const bool on = s.count(yTitle[0], y, yTitle[2], y + 1, zvtest::isWhite) > 0;
        if (on && !inLetter) ++letters;
        inLetter = on;
    }
    EXPECT_EQ(3, letters);
    EXPECT_GT(s.count(xTitle[0], xTitle[1], xTitle[2], xTitle[3], zvtest::isWhite), 30);
    // Titles stay where they go: the rest of the data area is still empty.
    EXPECT_EQ(0, s.count(120, 100, 781, 583, zvtest::notBlack));
}

TEST_F(ChartGLTest, NullTitlesMeanNoTitle) {
    auto chart = std::make_shared<FrameChart>();
    chart->setYAxisTitle("abc");
    chart->setXAxisTitle("xyz");
    chart->setYAxisTitle(nullptr);
    chart->setXAxisTitle(nullptr);
    EXPECT_EQ("", chart->yTitle());
    EXPECT_EQ("", chart->xTitle());
    const zvtest::Snapshot s = drawAndGrab(chart);
    EXPECT_EQ(0, s.count(83, 180, 100, 330, zvtest::notBlack));  // where the y title goes
    EXPECT_EQ(0, s.count(430, 50, 490, 70, zvtest::notBlack));   // where the x title goes
}

TEST_F(ChartGLTest, LabelListsFollowTheLimits) {
    auto chart = std::make_shared<FrameChart>();
    // A new chart's labels name its initial limits, 0 to 1 on both axes, and it draws exactly
    // what setAxesLimits(1, 0, 1, 0) draws.
    const auto fresh =
        strings({"0.50", "0.39", "0.61", "0.28", "0.72", "0.17", "0.83", "0.06", "0.94"});
    EXPECT_EQ(fresh, chart->xLabels());
    EXPECT_EQ(fresh, chart->yLabels());
    EXPECT_EQ(1.0f, chart->xmax());
    EXPECT_EQ(0.0f, chart->xmin());
    auto limited = std::make_shared<FrameChart>();
    limited->setAxesLimits(1, 0, 1, 0);
    drawAndGrab(limited);  // a window's first frame is cleared to alpha 0, later ones to 1
    const zvtest::Snapshot limitedPicture = drawAndGrab(limited);
    const zvtest::Snapshot freshPicture = drawAndGrab(chart);
    EXPECT_EQ(limitedPicture.rgba, freshPicture.rgba);
    EXPECT_GT(freshPicture.count(0, 0, W, H, zvtest::isWhite), 1000);

    chart->setAxesLimits(1, 0, 1, 0);
    chart->setAxesLimits(100, -100, 5, 5);
    EXPECT_EQ(strings({"0.00", "-22.22", "22.22", "-44.44", "44.44", "-66.67", "66.67", "-88.89",
                       "88.89"}),
              chart->xLabels());
    EXPECT_EQ(std::vector<std::string>(9, "5.00"), chart->yLabels());
    EXPECT_EQ(100.0f, chart->xmax());
    EXPECT_EQ(-100.0f, chart->xmin());
    EXPECT_EQ(5.0f, chart->ymax());
    EXPECT_EQ(5.0f, chart->ymin());

    // What is drawn follows: longer x labels reach further out.
    const zvtest::Snapshot s = drawAndGrab(chart);
    const int tx = static_cast<int>(tickX(7));  // "-88.89"
    EXPECT_GT(s.count(tx - 35, 8, tx - 18, 32, zvtest::isWhite), 5);
}

TEST_F(ChartGLTest, DrawingPositionOfTheAreaChangesNothing) {
    auto chart = std::make_shared<FrameChart>();
    chart->setYAxisTitle("y");
    // As the window does before every draw.
    auto prepare = [] {
        glViewport(0, 0, 800, 600);
        glDisable(GL_DEPTH_TEST);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    };
    prepare();
    chart->render(zvtest::drawContext(*window, 0, 0, 800, 600));
    const zvtest::Snapshot a = zvtest::readBack(0, 0, 800, 600);
    prepare();
    internal::DrawContext moved = zvtest::drawContext(*window, 0, 0, 800, 600);
    moved.area.x = 37;
    moved.area.y = 11;
    chart->render(moved);
    const zvtest::Snapshot b = zvtest::readBack(0, 0, 800, 600);
    EXPECT_TRUE(a.rgba == b.rgba);
    EXPECT_GT(a.count(0, 0, 800, 600, zvtest::isWhite), 500);
    zvtest::expectChartStateRestored("render");
}

TEST_F(ChartGLTest, AreaWithoutDataAreaDrawsNothingAndFailsNothing) {
    auto chart = std::make_shared<FrameChart>();
    glViewport(0, 0, 80, 40);
    glClear(GL_COLOR_BUFFER_BIT);
    chart->render(zvtest::drawContext(*window, 0, 0, 80, 40));
    zvtest::expectChartStateRestored("render into 80 x 40");
    EXPECT_EQ(0, zvtest::readBack(0, 0, 100, 60).count(0, 0, 100, 60, zvtest::notBlack));
}

TEST_F(ChartGLTest, EveryWindowOfAGroupGetsItsOwnVertexArrayOnce) {
    auto chart = std::make_shared<FrameChart>();
    window->draw(chart);
    window->draw(chart);
    EXPECT_EQ(1u, chart->chartVertexArrays().size());
    auto second = std::make_shared<internal::window_impl>(320, 240, "second", window, true);
    second->draw(chart);
    EXPECT_EQ(2u, chart->chartVertexArrays().size());
    EXPECT_GT(zvtest::readBack(0, 0, 320, 240).count(0, 0, 320, 240, zvtest::isWhite), 100);
    zvtest::expectNoGLError("draw in the second window");
    // Both windows use the group's one chart font.
    EXPECT_EQ(chart->font(), internal::getChartFont());
    EXPECT_TRUE(chart->font()->loaded());
}

TEST_F(ChartGLTest, EachShareGroupHasItsOwnChartFont) {
    auto chartA = std::make_shared<FrameChart>();
    auto windowB = std::make_shared<internal::window_impl>(
        800, 600, "group B", std::weak_ptr<internal::window_impl>(), true);
    auto chartB = std::make_shared<FrameChart>();
    EXPECT_NE(chartA->font(), chartB->font());

    auto labelPixels = [](const std::shared_ptr<internal::window_impl>& w,
                          const std::shared_ptr<FrameChart>& chart) {
        w->draw(chart);
        zvtest::expectNoGLError("chart draw");
        const zvtest::Snapshot s = zvtest::readBack(0, 0, 800, 600);
        return s.count(0, 0, 70, 600, zvtest::isWhite) + s.count(0, 0, 800, 34, zvtest::isWhite);
    };
    const int a = labelPixels(window, chartA);
    EXPECT_GT(a, 300);
    EXPECT_EQ(a, labelPixels(windowB, chartB));

    // The first group goes; a window of a new group still draws readable labels, and so
    // does the group that stayed.
    chartA.reset();
    window.reset();
    auto windowC = std::make_shared<internal::window_impl>(
        800, 600, "group C", std::weak_ptr<internal::window_impl>(), true);
    auto chartC = std::make_shared<FrameChart>();
    EXPECT_EQ(a, labelPixels(windowC, chartC));
    EXPECT_EQ(a, labelPixels(windowB, chartB));
    window = windowC;
}
