// The chart frame's layout, with no GPU: where the data area, the ticks, the labels and the
// titles of an 800 x 600 area go, and the transform that maps the limits onto the frame.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "chart/chart_layout.hpp"

using internal::ChartLayout;
using internal::chartLayout;
using internal::ChartMetrics;

namespace {

// Frame geometry of an 800 x 600 area, in pixels from its lower-left corner.
constexpr double LEFT = 74.2375, RIGHT = 788.2375, BOTTOM = 40.583333, TOP = 590.583333;

std::vector<std::string> strings(std::initializer_list<const char*> list) {
    return std::vector<std::string>(list.begin(), list.end());
}

glm::vec4 apply(const glm::mat4& m, float x, float y) { return m * glm::vec4(x, y, 0.0f, 1.0f); }

// Pixel x of a clip-space x in an 800-wide viewport, and y in a 600-high one.
double pixelX(float clipX) { return 400.0 * (clipX + 1.0); }
double pixelY(float clipY) { return 300.0 * (clipY + 1.0); }

}  // namespace

TEST(ChartLayout, MapsTheSquareOntoTheDataAreaOf800x600) {
    const ChartLayout c = chartLayout(800, 600);
    ASSERT_TRUE(c.hasDataArea);
    EXPECT_EQ(714.0f, c.dataWidth);
    EXPECT_EQ(550.0f, c.dataHeight);
    EXPECT_NEAR(0.8925, c.sx, 1e-6);
    EXPECT_NEAR(0.916667, c.sy, 1e-6);
    EXPECT_NEAR(0.0875, c.ox, 1e-6);
    EXPECT_NEAR(0.056667, c.oy, 1e-6);
    EXPECT_NEAR(LEFT, c.frameLeft, 1e-3);
    EXPECT_NEAR(RIGHT, c.frameRight, 1e-3);
    EXPECT_NEAR(BOTTOM, c.frameBottom, 1e-3);
    EXPECT_NEAR(TOP, c.frameTop, 1e-3);
    // The matrix lands the corners of the square where the frame says.
    EXPECT_NEAR(LEFT, pixelX(apply(c.transform, -1, -1).x), 1e-3);
    EXPECT_NEAR(BOTTOM, pixelY(apply(c.transform, -1, -1).y), 1e-3);
    EXPECT_NEAR(RIGHT, pixelX(apply(c.transform, 1, 1).x), 1e-3);
    EXPECT_NEAR(TOP, pixelY(apply(c.transform, 1, 1).y), 1e-3);
}

TEST(ChartLayout, ScissorIsTheFrameRoundedOutwardThroughTheViewport) {
    const ChartLayout whole = chartLayout(800, 600);
    const int full[4] = {0, 0, 800, 600};
    internal::PixelBox b = internal::frameScissor(whole, full);
    EXPECT_EQ(74, b.x);
    EXPECT_EQ(40, b.y);
    EXPECT_EQ(715, b.width);
    EXPECT_EQ(551, b.height);

    // A grid cell of 400 x 300 drawn into its inset area (8, 6, 384, 264): the frame laid
    // out for the cell lands through the inset viewport, not in the cell.
    const ChartLayout cell = chartLayout(400, 300);
    const int inset[4] = {8, 6, 384, 264};
    b = internal::frameScissor(cell, inset);
    EXPECT_EQ(75, b.x);        // 8 + 192 (1 - 0.785 * 0.825) = 75.66
    EXPECT_EQ(40, b.y);        // 6 + 132 (1 - 0.8333 * 0.8867) = 40.47
    EXPECT_EQ(303, b.width);   // right edge 377.10 -> 378
    EXPECT_EQ(221, b.height);  // top edge 260.47 -> 261
}

TEST(ChartLayout, AreasWithoutDataAreaAreMarked) {
    EXPECT_FALSE(chartLayout(86, 600).hasDataArea);
    EXPECT_FALSE(chartLayout(800, 50).hasDataArea);
    EXPECT_FALSE(chartLayout(0, 0).hasDataArea);
    EXPECT_TRUE(chartLayout(87, 51).hasDataArea);
}

TEST(ChartLayout, TextPositionsIn800x600) {
    const ChartLayout c = chartLayout(800, 600);
    const ChartMetrics m;
    internal::TextPos p = internal::yLabelPos(c, m, -1.0f, 0.0f, 4);
    EXPECT_NEAR(27.33, p.x, 0.01);
    EXPECT_NEAR(289.28, p.y, 0.01);
    p = internal::xLabelPos(c, m, 0.0f, -1.0f, 4);
    EXPECT_NEAR(369.88, p.x, 0.01);
    EXPECT_NEAR(14.28, p.y, 0.01);
    p = internal::yTitlePos(c, m);
    EXPECT_NEAR(75.18, p.x, 0.01);
    EXPECT_NEAR(289.28, p.y, 0.01);
    p = internal::xTitlePos(c, m);
    EXPECT_NEAR(384.88, p.x, 0.01);
    EXPECT_NEAR(46.37, p.y, 0.01);
    // Each further character moves a label half a text size to the left.
    EXPECT_NEAR(internal::yLabelPos(c, m, -1.0f, 0.0f, 4).x - 7.5f,
                internal::yLabelPos(c, m, -1.0f, 0.0f, 5).x, 1e-4);
}

TEST(ChartLayout, DataTransformMapsLimitsOntoTheFrame) {
    const ChartLayout c = chartLayout(800, 600);
    struct Case {
        float xmax, xmin, ymax, ymin;
        float px, py;
        double expectX, expectY;  // pixels
    };
    const Case cases[] = {
        {1, 0, 1, 0, 0, 0, LEFT, BOTTOM},
        {1, 0, 1, 0, 1, 1, RIGHT, TOP},
        {10, -10, 100, 0, 5, 25, LEFT + 714 * 0.75, BOTTOM + 550 * 0.25},
        // Reversed limits mirror the axis.
        {0, 1, 0, 1, 0.25f, 0.25f, LEFT + 714 * 0.75, BOTTOM + 550 * 0.75},
        // Equal limits collapse onto the left and the bottom edge.
        {2, 2, -3, -3, 123, -7, LEFT, BOTTOM},
        // Narrow ranges map like any other.
        {1, 0.9995f, 2e-5f, 0, 0.99975f, 1e-5f, LEFT + 714 * 0.5, BOTTOM + 550 * 0.5},
        {1.001953125f, 1, 1, 0, 1.0009765625f, 0.5f, LEFT + 714 * 0.5, BOTTOM + 550 * 0.5},
        // The widest finite ranges: scales of about 1e-39 would be denormal.
        {FLT_MAX, -FLT_MAX, FLT_MAX, -FLT_MAX, 0.5f * FLT_MAX, -0.5f * FLT_MAX,
         LEFT + 714 * 0.75, BOTTOM + 550 * 0.25},
        {FLT_MAX, -FLT_MAX, 1, 0, -FLT_MAX, 1, LEFT, TOP},
        {0, -FLT_MAX, 4, 2, -0.25f * FLT_MAX, 2.5f, LEFT + 714 * 0.75, BOTTOM + 550 * 0.25},
    };
    for (const Case& k : cases) {
        const glm::mat4 t = internal::dataTransform(c, k.xmax, k.xmin, k.ymax, k.ymin);
        // Every entry a shader multiplies by is 0 or a normal float: none is flushed to 0.
        for (int col = 0; col < 4; ++col)
            for (int row = 0; row < 4; ++row)
                EXPECT_TRUE(t[col][row] == 0.0f || std::fabs(t[col][row]) >= FLT_MIN)
                    << "entry " << col << "," << row << " = " << t[col][row];
        const glm::vec4 p = apply(t, k.px, k.py);
        EXPECT_NEAR(k.expectX, pixelX(p.x / p.w), 0.02) << k.xmax << " " << k.xmin << " " << k.px;
        EXPECT_NEAR(k.expectY, pixelY(p.y / p.w), 0.02) << k.ymax << " " << k.ymin << " " << k.py;
    }
}

TEST(ChartLayout, VerticesAreBorderThenNineTicksPerAxis) {
    const std::vector<float> v = internal::chartVertices(9);
    ASSERT_EQ(44u, v.size());  // 22 points, 176 bytes
    const std::vector<float> border = {-1, -1, 1, -1, 1, 1, -1, 1};
    EXPECT_EQ(border, std::vector<float>(v.begin(), v.begin() + 8));
    const float s = 2.0f / 9.0f;
    const float offsets[9] = {0, -s, s, -2 * s, 2 * s, -3 * s, 3 * s, -4 * s, 4 * s};
    for (int k = 0; k < 9; ++k) {
        EXPECT_FLOAT_EQ(-1.0f, v[8 + 2 * k]) << "y tick " << k;
        EXPECT_NEAR(offsets[k], v[9 + 2 * k], 1e-6) << "y tick " << k;
        EXPECT_NEAR(offsets[k], v[26 + 2 * k], 1e-6) << "x tick " << k;
        EXPECT_FLOAT_EQ(-1.0f, v[27 + 2 * k]) << "x tick " << k;
    }
    EXPECT_EQ(9, internal::ticksPerAxis(9));
}

TEST(ChartLayout, LabelsFollowTickOrder) {
    auto labels = [](float max, float min) { return internal::evenTicks(max, min, 9).labels; };
    EXPECT_EQ(strings({"0.50", "0.39", "0.61", "0.28", "0.72", "0.17", "0.83", "0.06", "0.94"}),
              labels(1, 0));
    EXPECT_EQ(strings({"0.00", "-22.22", "22.22", "-44.44", "44.44", "-66.67", "66.67", "-88.89",
                       "88.89"}),
              labels(100, -100));
    EXPECT_EQ(std::vector<std::string>(9, "5.00"), labels(5, 5));
    // Reversed limits: labels decrease along the axis.
    EXPECT_EQ(strings({"0.50", "0.61", "0.39", "0.72", "0.28", "0.83", "0.17", "0.94", "0.06"}),
              labels(0, 1));
}
