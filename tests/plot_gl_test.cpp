// Line and scatter plots, read back from real contexts: where data lands on the frame,
// clipping, line and marker passes, marker shapes, colours, buffers and handles.

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "chart/chart_layout.hpp"
#include "gl/gl_objects.hpp"
#include "plot/plot.hpp"
#include "plot/plot_impl.hpp"
#include "support/chart_util.hpp"
#include "support/gl_test.hpp"
#include "window/window.hpp"
#include "zarvo/exception.h"
#include "zarvo/plot.h"
#include "zarvo/window.h"

using zvtest::isRed;

namespace {

// Frame geometry of an 800 x 600 area, in pixels.
constexpr double LEFT = 74.2375, RIGHT = 788.2375, BOTTOM = 40.583333, TOP = 590.583333;
// The frame's rectangle rounded outward: the only place data may be drawn.
constexpr int CLIP_X0 = 74, CLIP_Y0 = 40, CLIP_X1 = 789, CLIP_Y1 = 591;

double pixelX(double x, double xmin = 0, double xmax = 1) {
    return LEFT + (RIGHT - LEFT) * (x - xmin) / (xmax - xmin);
}
double pixelY(double y, double ymin = 0, double ymax = 1) {
    return BOTTOM + (TOP - BOTTOM) * (y - ymin) / (ymax - ymin);
}

// Marker values above ZV_MARKER_STAR draw filled squares; the enumeration cannot hold them,
// so they are passed as int to the plot itself.
constexpr int FILLED_SQUARE = 8;

class PlotGLTest : public zvtest::GLTest {
protected:
    // A red float plot of the given points.
    std::shared_ptr<internal::plot_impl> makePlot(const std::vector<float>& xy,
                                                  int marker = zv::ZV_MARKER_NONE,
                                                  bool scatter = false) {
        const unsigned n = static_cast<unsigned>(xy.size() / 2);
        std::shared_ptr<internal::plot_impl> p =
            scatter ? std::make_shared<internal::scatter_impl>(n, zv::ZV_FLOAT32, marker)
                    : std::make_shared<internal::plot_impl>(n, zv::ZV_FLOAT32, marker);
        p->setColor(0xFF0000FF);
        if (!xy.empty()) zvtest::fillBuffer(p->vbo(), xy.data(), xy.size() * sizeof(float));
        return p;
    }
    zvtest::Snapshot drawAndGrab(const std::shared_ptr<internal::plot_impl>& p) {
        window->draw(p);
        zvtest::expectChartStateRestored("plot draw");
        return grab();
    }
    // Red drawn outside the frame's rectangle.
    static int redOutsideFrame(const zvtest::Snapshot& s) {
        return s.count(0, 0, 800, 600, isRed) - s.count(CLIP_X0, CLIP_Y0, CLIP_X1, CLIP_Y1, isRed);
    }
};

}  // namespace

TEST_F(PlotGLTest, LimitsMapExactlyOntoTheFrame) {
    // A line round the limits' rectangle runs exactly under the white border, which is drawn
    // over it: no red pixel shows but where the line's square ends reach half a pixel past
    // a corner of the frame (the strip starts and ends at the lower-left one).
    auto outline = makePlot({0, 0, 1, 0, 1, 1, 0, 1, 0, 0});
    zvtest::Snapshot s = drawAndGrab(outline);
    const int cornerRed = s.count(CLIP_X0 - 1, CLIP_Y0 - 1, CLIP_X0 + 2, CLIP_Y0 + 2, isRed) +
                          s.count(CLIP_X1 - 2, CLIP_Y0 - 1, CLIP_X1 + 1, CLIP_Y0 + 2, isRed) +
                          s.count(CLIP_X0 - 1, CLIP_Y1 - 2, CLIP_X0 + 2, CLIP_Y1 + 1, isRed) +
                          s.count(CLIP_X1 - 2, CLIP_Y1 - 2, CLIP_X1 + 1, CLIP_Y1 + 1, isRed);
    EXPECT_EQ(cornerRed, s.count(0, 0, 800, 600, isRed));
    EXPECT_LE(cornerRed, 4);

    // Markers at (0, 0) and (1, 1) sit on the frame's corners, clipped to its rectangle: a
    // quarter of each square shows, inside the frame.
    auto corners = makePlot({0, 0, 1, 1}, FILLED_SQUARE, true);
    s = drawAndGrab(corners);
    EXPECT_EQ(0, redOutsideFrame(s));
    const zvtest::Centre bottomLeft = zvtest::centreOf(s, 60, 30, 90, 60, zvtest::RED_NOT_WHITE);
    const zvtest::Centre topRight = zvtest::centreOf(s, 770, 570, 800, 600, zvtest::RED_NOT_WHITE);
    // A quarter square of 5 x 5 pixels, give or take the pixel the rasteriser snaps to.
    EXPECT_NEAR(25.0, bottomLeft.weight, 12.0);
    EXPECT_NEAR(25.0, topRight.weight, 12.0);
    EXPECT_NEAR(LEFT + 2.5, bottomLeft.x, 1.5);
    EXPECT_NEAR(BOTTOM + 2.5, bottomLeft.y, 1.5);
    EXPECT_NEAR(RIGHT - 2.5, topRight.x, 1.5);
    EXPECT_NEAR(TOP - 2.5, topRight.y, 1.5);
}

TEST_F(PlotGLTest, PointsAtTickValuesLandOnTheTicks) {
    // Markers at every tick's value along the middle of each axis' range: each lands where
    // its tick is drawn.
    const float values[9] = {0.5f,           0.5f - 1 / 9.f, 0.5f + 1 / 9.f,
                             0.5f - 2 / 9.f, 0.5f + 2 / 9.f, 0.5f - 3 / 9.f,
                             0.5f + 3 / 9.f, 0.5f - 4 / 9.f, 0.5f + 4 / 9.f};
    std::vector<float> alongX, alongY;
    for (float v : values) {
        alongX.insert(alongX.end(), {v, 0.5f});
        alongY.insert(alongY.end(), {0.5f, v});
    }
    auto px = makePlot(alongX, FILLED_SQUARE, true);
    px->setAxesLimits(1, 0, 1, 0);
    ASSERT_EQ("0.72", px->xLabels()[4]);
    zvtest::Snapshot s = drawAndGrab(px);
    for (int k = 0; k < 9; ++k) {
        const int x = static_cast<int>(pixelX(values[k]));
        const zvtest::Centre marker = zvtest::centreOf(s, x - 8, 300, x + 9, 331, zvtest::RED);
        const zvtest::Centre tick = zvtest::centreOf(s, x - 5, 42, x + 6, 46, zvtest::GREEN);
        EXPECT_NEAR(pixelX(values[k]), marker.x, 1.0) << "x tick " << k;
        EXPECT_NEAR(tick.x, marker.x, 1.0) << "x tick " << k;
    }
    auto py = makePlot(alongY, FILLED_SQUARE, true);
    py->setAxesLimits(1, 0, 1, 0);
    s = drawAndGrab(py);
    for (int k = 0; k < 9; ++k) {
        const int y = static_cast<int>(pixelY(values[k]));
        const zvtest::Centre marker = zvtest::centreOf(s, 415, y - 8, 448, y + 9, zvtest::RED);
        const zvtest::Centre tick = zvtest::centreOf(s, 76, y - 5, 80, y + 6, zvtest::GREEN);
        EXPECT_NEAR(pixelY(values[k]), marker.y, 1.0) << "y tick " << k;
        EXPECT_NEAR(tick.y, marker.y, 1.0) << "y tick " << k;
    }
}

TEST_F(PlotGLTest, LimitsMovePointsAsTheTransformSays) {
    struct Case {
        float xmax, xmin, ymax, ymin, x, y;
    };
    const Case cases[] = {
        {1, 0, 1, 0, 0.5f, 0.5f},            // the middle
        {10, -10, 100, 0, 5, 25},            // wider ranges
        {0, 1, 1, 0, 0.25f, 0.5f},           // x mirrored
        {1, 0, 0, 1, 0.5f, 0.25f},           // y mirrored
        {-2, -4, 0.5f, 0.25f, -3.5f, 0.4f},  // negative and narrow ranges
        // Ranges whose scale is below the smallest normal float (flushed to 0 on a GPU).
        {FLT_MAX, -FLT_MAX, FLT_MAX, -FLT_MAX, 0.5f * FLT_MAX, -0.5f * FLT_MAX},
        {FLT_MAX, 0, 1, -FLT_MAX, 0.25f * FLT_MAX, -0.75f * FLT_MAX},
        {-FLT_MAX, FLT_MAX, FLT_MAX, 0, 0.5f * FLT_MAX, 0.25f * FLT_MAX},  // x mirrored
    };
    for (const Case& k : cases) {
        auto p = makePlot({k.x, k.y}, FILLED_SQUARE, true);
        p->setAxesLimits(k.xmax, k.xmin, k.ymax, k.ymin);
        const zvtest::Snapshot s = drawAndGrab(p);
        const double ex = pixelX(k.x, k.xmin, k.xmax), ey = pixelY(k.y, k.ymin, k.ymax);
        const int ix = static_cast<int>(ex), iy = static_cast<int>(ey);
        const zvtest::Centre c =
            zvtest::centreOf(s, ix - 10, iy - 10, ix + 11, iy + 11, zvtest::RED);
        EXPECT_NEAR(100.0, c.weight, 0.5) << "a whole 10 x 10 marker, case x=" << k.x;
        EXPECT_NEAR(ex, c.x, 1.0) << "case x=" << k.x;
        EXPECT_NEAR(ey, c.y, 1.0) << "case x=" << k.x;
    }
}

TEST_F(PlotGLTest, NarrowRangesMapLikeAnyOther) {
    // Ranges from a billionth to a thousandth, at zero and far from it: markers at a tenth,
    // the middle and nine tenths of each land where the same fractions of a 0-to-1 range do.
    struct Range {
        float max, min;
    };
    const Range ranges[] = {{1e-9f, 0},      {2e-5f, 0},       {3e-6f, 1e-6f}, {0, -1e-3f},
                            {5.0004f, 5.0f}, {1000.01f, 1000}, {-7.0f, -7.00002f}};
    for (const Range& r : ranges) {
        SCOPED_TRACE(testing::Message() << r.min << " .. " << r.max);
        std::vector<float> xy;
        for (double f : {0.1, 0.5, 0.9}) {
            const float v = static_cast<float>(r.min + f * (static_cast<double>(r.max) - r.min));
            xy.insert(xy.end(), {v, v});
        }
        auto p = makePlot(xy, FILLED_SQUARE, true);
        p->setAxesLimits(r.max, r.min, r.max, r.min);
        const zvtest::Snapshot s = drawAndGrab(p);
        for (size_t i = 0; i < 3; ++i) {
            // Where the marker belongs, from the float the buffer holds.
            const double f = (static_cast<double>(xy[2 * i]) - r.min) /
                             (static_cast<double>(r.max) - r.min);
            const double ex = pixelX(f), ey = pixelY(f);
            const int ix = static_cast<int>(ex), iy = static_cast<int>(ey);
            const zvtest::Centre c =
                zvtest::centreOf(s, ix - 10, iy - 10, ix + 11, iy + 11, zvtest::RED);
            EXPECT_NEAR(100.0, c.weight, 0.5) << "marker " << i;
            EXPECT_NEAR(ex, c.x, 1.0) << "marker " << i;
            EXPECT_NEAR(ey, c.y, 1.0) << "marker " << i;
        }
    }
}

TEST_F(PlotGLTest, LimitsSinglePrecisionCannotTellApartCollapseTheAxis) {
    const std::vector<float> xy = {0.1f, 0.2f, 0.6f, 0.5f, 0.9f, 0.8f};
    auto p = makePlot(xy, FILLED_SQUARE, true);
    // Equal, and four units in the last place apart.
    const float near3 = std::nextafter(std::nextafter(3.0f, 4.0f), 4.0f);
    for (float xmin : {1.0f, std::nextafter(std::nextafter(1.0f, 0.0f), 0.0f)}) {
        p->setAxesLimits(1.0f, xmin, 1, 0);
        zvtest::Snapshot s = drawAndGrab(p);
        std::vector<int> b = s.bounds([](const zvtest::RGBA& c) { return isRed(c); });
        // Every point on the left edge (the marker's outer half clipped), y still spread.
        EXPECT_GE(b[0], CLIP_X0);
        EXPECT_LE(b[2], static_cast<int>(LEFT) + 6);
        EXPECT_LE(b[1], static_cast<int>(pixelY(0.2)));
        EXPECT_GE(b[3], static_cast<int>(pixelY(0.8)));
    }
    for (float ymax : {3.0f, std::nextafter(near3, 4.0f)}) {
        p->setAxesLimits(1, 0, ymax, 3.0f);
        zvtest::Snapshot s = drawAndGrab(p);
        std::vector<int> b = s.bounds([](const zvtest::RGBA& c) { return isRed(c); });
        EXPECT_GE(b[1], CLIP_Y0);
        EXPECT_LE(b[3], static_cast<int>(BOTTOM) + 6);
        EXPECT_LE(b[0], static_cast<int>(pixelX(0.1)));
        EXPECT_GE(b[2], static_cast<int>(pixelX(0.9)));
    }
}

TEST_F(PlotGLTest, NothingOfTheGraphLeavesTheFrame) {
    // Lines and markers reaching far outside the limits on every side.
    auto p =
        makePlot({-1, -1, 2, 2, -1, 2, 2, -1, 0.5f, 3, 0.5f, -2, -3, 0.5f, 4, 0.5f}, FILLED_SQUARE);
    const zvtest::Snapshot s = drawAndGrab(p);
    EXPECT_EQ(0, redOutsideFrame(s));
    EXPECT_GT(s.count(CLIP_X0, CLIP_Y0, CLIP_X1, CLIP_Y1, isRed), 2000);
    // The clip reaches the frame's edges: the line is seen right up to them.
    EXPECT_GT(s.count(CLIP_X0, CLIP_Y0, 80, CLIP_Y1, isRed), 0);
    EXPECT_GT(s.count(783, CLIP_Y0, CLIP_X1, CLIP_Y1, isRed), 0);
}

TEST_F(PlotGLTest, LinePlotsDrawALineAndMarkersOverIt) {
    const std::vector<float> xy = {0.2f, 0.2f, 0.8f, 0.8f};
    const int ax = static_cast<int>(pixelX(0.2)), ay = static_cast<int>(pixelY(0.2));
    const int mx = static_cast<int>(pixelX(0.5)), my = static_cast<int>(pixelY(0.5));
    struct Case {
        const char* what;
        int marker;
        bool scatter;
        bool line;     // red at the middle of the segment
        bool markers;  // a filled square round each point
    };
    const Case cases[] = {
        {"line", zv::ZV_MARKER_NONE, false, true, false},
        {"line with markers", FILLED_SQUARE, false, true, true},
        {"scatter", FILLED_SQUARE, true, false, true},
        {"scatter without marker", zv::ZV_MARKER_NONE, true, false, false},
    };
    for (const Case& k : cases) {
        const zvtest::Snapshot s = drawAndGrab(makePlot(xy, k.marker, k.scatter));
        EXPECT_EQ(k.line, s.count(mx - 3, my - 3, mx + 4, my + 4, isRed) > 0) << k.what;
        const double atPoint = zvtest::coverage(s, ax - 6, ay - 6, ax + 7, ay + 7, zvtest::RED);
        if (k.markers) {
            EXPECT_GE(atPoint, 99.5) << k.what;  // the whole square, and the line leaving it
        } else {
            EXPECT_LT(atPoint, 12.0) << k.what;
        }
        if (!k.line && !k.markers) {
            EXPECT_EQ(0, s.count(0, 0, 800, 600, isRed)) << k.what;
        }
    }
}

TEST_F(PlotGLTest, EveryMarkerShapeIsToldApartByItsPixels) {
    // Limits equal to pixel coordinates put the point (400, 300) on a pixel corner, so the
    // sprite covers exactly the pixels 395..404 x 295..304: column k from the left and row j
    // from the top span sprite coordinates 0.1 k to 0.1 (k + 1) and 0.1 j to 0.1 (j + 1).
    // Rasterisers place the sprite coordinate anywhere inside the pixel, so every probe is a
    // pixel whose whole square lies on one side of the shape's edge; thin bars, which can
    // fall in either of two pixels, are probed as "one of the two".
    struct Probe {
        int k, j;
    };
    using Group = std::vector<Probe>;  // at least one of these pixels is lit
    struct Case {
        int marker;
        std::vector<Group> on;
        std::vector<Probe> off;
    };
    const Case cases[] = {
        {zv::ZV_MARKER_POINT,
         {{{3, 3}}, {{4, 4}}, {{5, 5}}, {{6, 6}}},
         {{0, 0}, {9, 9}, {4, 0}, {0, 4}, {1, 1}}},
        {zv::ZV_MARKER_CIRCLE,
         {{{2, 1}}, {{7, 1}}, {{1, 3}}, {{8, 3}}},
         {{4, 4}, {5, 5}, {3, 3}, {0, 9}, {0, 0}}},
        {zv::ZV_MARKER_SQUARE,
         {{{0, 0}}, {{9, 9}}, {{0, 5}}, {{5, 0}}, {{0, 9}}},
         {{4, 4}, {2, 2}, {7, 7}, {5, 3}}},
        {zv::ZV_MARKER_TRIANGLE,
         {{{4, 2}}, {{4, 4}}, {{1, 9}}, {{8, 9}}},
         {{0, 0}, {9, 0}, {0, 4}, {9, 4}}},
        {zv::ZV_MARKER_CROSS,
         {{{0, 0}}, {{9, 0}}, {{0, 9}}, {{9, 9}}, {{4, 4}}},
         {{4, 0}, {0, 4}, {9, 5}, {5, 9}}},
        {zv::ZV_MARKER_PLUS,
         {{{4, 0}, {5, 0}}, {{0, 4}, {0, 5}}, {{9, 4}, {9, 5}}, {{4, 9}, {5, 9}}},
         {{0, 0}, {9, 0}, {0, 9}, {9, 9}, {2, 2}, {7, 7}}},
        {zv::ZV_MARKER_STAR,
         {{{4, 0}, {5, 0}}, {{0, 0}, {1, 0}}, {{9, 0}, {8, 0}}, {{0, 4}, {0, 5}}},
         {{2, 0}, {3, 0}, {6, 0}, {7, 0}, {0, 2}, {9, 2}}},
        {8, {{{0, 0}}, {{9, 9}}, {{4, 4}}, {{2, 7}}, {{9, 0}}, {{0, 9}}}, {}},
        {42, {{{0, 0}}, {{9, 9}}, {{4, 4}}, {{7, 2}}, {{9, 0}}, {{0, 9}}}, {}},
    };
    for (const Case& c : cases) {
        auto p = makePlot({400, 300}, c.marker, true);
        p->setAxesLimits(static_cast<float>(RIGHT), static_cast<float>(LEFT),
                         static_cast<float>(TOP), static_cast<float>(BOTTOM));
        const zvtest::Snapshot s = drawAndGrab(p);
        auto at = [&](const Probe& q) { return s.at(395 + q.k, 304 - q.j); };
        for (const Group& g : c.on) {
            bool lit = false;
            for (const Probe& q : g) lit = lit || isRed(at(q));
            EXPECT_TRUE(lit) << "marker " << c.marker << ": pixel " << g[0].k << "," << g[0].j
                             << " is " << at(g[0]);
        }
        for (const Probe& q : c.off)
            EXPECT_TRUE(zvtest::isBlack(at(q)))
                << "marker " << c.marker << ": pixel " << q.k << "," << q.j << " is " << at(q);
        // Nothing beyond the 10-pixel sprite.
        EXPECT_EQ(s.count(385, 285, 415, 315, isRed), s.count(395, 295, 405, 305, isRed));
    }
}

TEST_F(PlotGLTest, ColoursAreUnpackedAndClamped) {
    auto p = std::make_shared<internal::plot_impl>(1, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
    // The colour of a new plot: opaque, and neither near black nor near white.
    const float* c = p->color();
    EXPECT_EQ(1.0f, c[3]);
    EXPECT_GT(std::max({c[0], c[1], c[2]}), 0.7f);
    EXPECT_LT(std::min({c[0], c[1], c[2]}), 0.4f);

    p->setColor(0xFF000080);
    EXPECT_FLOAT_EQ(1.0f, c[0]);
    EXPECT_FLOAT_EQ(0.0f, c[1]);
    EXPECT_FLOAT_EQ(0.0f, c[2]);
    EXPECT_FLOAT_EQ(128.0f / 255.0f, c[3]);
    p->setColor(0x11223344);
    EXPECT_FLOAT_EQ(0x11 / 255.0f, c[0]);
    EXPECT_FLOAT_EQ(0x22 / 255.0f, c[1]);
    EXPECT_FLOAT_EQ(0x33 / 255.0f, c[2]);
    EXPECT_FLOAT_EQ(0x44 / 255.0f, c[3]);
    p->setColor(2.0f, -1.0f, 0.5f);
    EXPECT_FLOAT_EQ(1.0f, c[0]);
    EXPECT_FLOAT_EQ(0.0f, c[1]);
    EXPECT_FLOAT_EQ(0.5f, c[2]);
    EXPECT_FLOAT_EQ(1.0f, c[3]);
}

TEST_F(PlotGLTest, NewPlotIsDrawnInItsVisibleDefaultColour) {
    auto p = std::make_shared<internal::plot_impl>(2, zv::ZV_FLOAT32, FILLED_SQUARE);
    const float xy[4] = {0.3f, 0.3f, 0.7f, 0.6f};
    zvtest::fillBuffer(p->vbo(), xy, sizeof(xy));
    const zvtest::Snapshot s = drawAndGrab(p);
    const zvtest::RGBA c = s.at(static_cast<int>(pixelX(0.3)), static_cast<int>(pixelY(0.3)));
    EXPECT_TRUE(zvtest::near(c, {255, 153, 26, 255}, 3)) << c;
}

TEST_F(PlotGLTest, BufferSizeFollowsTheElementType) {
    struct Case {
        zv::ZVType type;
        unsigned points;
        size_t bytes;
    };
    const Case cases[] = {{zv::ZV_UINT8, 1000, 2000},
                          {zv::ZV_INT32, 1000, 8000},
                          {zv::ZV_UINT32, 1000, 8000},
                          {zv::ZV_FLOAT32, 1000, 8000},
                          {zv::ZV_FLOAT32, 0, 0}};
    for (const Case& k : cases) {
        internal::plot_impl p(k.points, k.type, zv::ZV_MARKER_NONE);
        EXPECT_EQ(k.bytes, p.size()) << k.type;
        ASSERT_NE(0u, p.vbo());
        const zvtest::BufferInfo info = zvtest::arrayBufferInfo(p.vbo());
        EXPECT_EQ(static_cast<GLint>(k.bytes), info.bytes);
        EXPECT_EQ(GL_DYNAMIC_DRAW, info.usage);
    }
}

TEST_F(PlotGLTest, IntegerPointsAreAxisUnitsNotNormalised) {
    auto p = std::make_shared<internal::scatter_impl>(1, zv::ZV_UINT8, FILLED_SQUARE);
    p->setColor(0xFF0000FF);
    p->setAxesLimits(250, 0, 250, 0);
    const unsigned char xy[2] = {50, 200};
    zvtest::fillBuffer(p->vbo(), xy, sizeof(xy));
    const zvtest::Snapshot s = drawAndGrab(p);
    const zvtest::Centre c = zvtest::centreOf(s, 100, 400, 300, 560, zvtest::RED);
    EXPECT_NEAR(pixelX(50, 0, 250), c.x, 1.0);
    EXPECT_NEAR(pixelY(200, 0, 250), c.y, 1.0);
}

TEST_F(PlotGLTest, UnsupportedTypesRaiseAndLeaveNoGLObject) {
    const long before = internal::liveGLObjects();
    for (zv::ZVType t : {zv::ZV_INT8, static_cast<zv::ZVType>(7)}) {
        for (zv::ZVPlotType kind : {zv::ZV_PLOT_LINE, zv::ZV_PLOT_SCATTER}) {
            try {
                zv::Plot p(10, t, kind, zv::ZV_MARKER_POINT);
                ADD_FAILURE() << "no exception for type " << t;
            } catch (const zv::TypeError& e) {
                EXPECT_EQ(1, e.argIndex());
                EXPECT_EQ(zv::ZV_ERR_TYPE, e.err());
                EXPECT_STREQ("Plot::Plot", e.functionName());
                EXPECT_STREQ("Invalid data type", e.what());
            }
        }
    }
    EXPECT_EQ(before, internal::liveGLObjects());
    EXPECT_EQ(0u, window->group()->resources.count(internal::GROUP_CHART_FONT));
}

TEST_F(PlotGLTest, GraphIsClippedToTheFrameInAGridCell) {
    window->grid(2, 2);
    auto p = makePlot({-1, -1, 2, 2, -1, 2, 2, -1}, FILLED_SQUARE);
    glEnable(GL_SCISSOR_TEST);
    window->draw(1, 1, p, nullptr);
    // The application's scissor test is on again afterwards, and did not clip the cell.
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    glDisable(GL_SCISSOR_TEST);
    zvtest::expectChartStateRestored("cell draw");
    const zvtest::Snapshot s = zvtest::readBack(0, 0, 800, 600);
    const internal::CellLayout cell = internal::cellLayout(800, 600, 2, 2, 1, 1);
    const int viewport[4] = {cell.vx, cell.vy, cell.vwidth, cell.vheight};
    const internal::PixelBox box =
        internal::frameScissor(internal::chartLayout(cell.width, cell.height), viewport);
    const int inside = s.count(box.x, box.y, box.x + box.width, box.y + box.height, isRed);
    EXPECT_GT(inside, 500);
    EXPECT_EQ(inside, s.count(0, 0, 800, 600, isRed));
    // The clip reaches each edge of the frame as drawn in the inset area.
    EXPECT_GT(s.count(box.x, box.y, box.x + 3, box.y + box.height, isRed), 0);
    EXPECT_GT(s.count(box.x + box.width - 3, box.y, box.x + box.width, box.y + box.height, isRed),
              0);
    window->draw();
}

TEST_F(PlotGLTest, AreaWithoutDataAreaDrawsNoDataAndFailsNothing) {
    auto p = makePlot({0.5f, 0.5f}, FILLED_SQUARE);
    glViewport(0, 0, 86, 600);
    glDisable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    p->render(zvtest::drawContext(*window, 0, 0, 86, 600));
    zvtest::expectChartStateRestored("render into 86 x 600");
    EXPECT_EQ(0, zvtest::readBack(0, 0, 800, 600).count(0, 0, 800, 600, zvtest::notBlack));
}

TEST_F(PlotGLTest, VertexArraysAreMadeOncePerWindow) {
    auto p = makePlot({0.1f, 0.1f, 0.9f, 0.9f}, zv::ZV_MARKER_CIRCLE);
    window->draw(p);
    window->draw(p);
    EXPECT_EQ(1u, p->vertexArrays().size());
    auto second = std::make_shared<internal::window_impl>(400, 300, "second", window, true);
    second->draw(p);
    EXPECT_EQ(2u, p->vertexArrays().size());
    EXPECT_GT(zvtest::readBack(0, 0, 400, 300).count(0, 0, 400, 300, isRed), 100);
    zvtest::expectChartStateRestored("draw in the second window");
}

TEST_F(PlotGLTest, ChangesMadeWhileDrawnElsewhereReachEveryWindow) {
    // A context may keep its own copy of a shared program's uniforms; a value set while the
    // plot was drawn in another window must still reach this one.
    auto p = makePlot({0.2f, 0.2f, 0.8f, 0.8f}, zv::ZV_MARKER_POINT);
    auto second = std::make_shared<internal::window_impl>(800, 600, "second", window, true);
    const int x = static_cast<int>(pixelX(0.2)), y = static_cast<int>(pixelY(0.2));
    window->draw(p);
    p->setColor(0x00FF00FF);
    second->draw(p);
    window->draw(p);
    zvtest::Snapshot s = grab();
    EXPECT_TRUE(zvtest::near(s.at(x, y), {0, 255, 0, 255}, 3)) << s.at(x, y);
    p->setColor(0xFF0000FF);
    p->setAxesLimits(2, 0, 2, 0);  // the point moves to a quarter of the frame
    second->draw(p);
    window->draw(p);
    s = grab();
    const int qx = static_cast<int>(pixelX(0.1)), qy = static_cast<int>(pixelY(0.1));
    EXPECT_TRUE(isRed(s.at(qx, qy))) << s.at(qx, qy);
    EXPECT_FALSE(isRed(s.at(x, y + 8))) << s.at(x, y + 8);
}

TEST_F(PlotGLTest, HandlesShareOnePlotAndDrawThroughTheWindow) {
    // The public window and plot, on a window of their own.
    window.reset();
    zv::Window w(800, 600, "plots", nullptr, true);
    zv::Plot a(3, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_SQUARE);
    zv::Plot b(a);
    zv::Plot c(1, zv::ZV_UINT8);
    c = a;
    EXPECT_EQ(a.vbo(), b.vbo());
    EXPECT_EQ(a.vbo(), c.vbo());
    EXPECT_EQ(24u, c.size());
    b.setColor(0xFF0000FF);
    c.setAxesLimits(4, 2, 8, 6);
    EXPECT_EQ(4.0f, a.xmax());
    EXPECT_EQ(2.0f, a.xmin());
    EXPECT_EQ(8.0f, b.ymax());
    EXPECT_EQ(6.0f, b.ymin());
    const float xy[6] = {2.5f, 6.5f, 3.0f, 7.0f, 3.5f, 7.5f};
    zvtest::fillBuffer(a.vbo(), xy, sizeof(xy));

    w.draw(a);
    zvtest::Snapshot s = zvtest::readBack(0, 0, 800, 600);
    EXPECT_GT(s.count(0, 0, 800, 600, isRed), 100);
    const int px = static_cast<int>(pixelX(3, 2, 4)), py = static_cast<int>(pixelY(7, 6, 8));
    EXPECT_GT(s.count(px - 6, py - 6, px + 7, py + 7, isRed), 40);  // square outline and line
    zvtest::expectChartStateRestored("Window::draw(plot)");

    w.grid(1, 2);
    w.draw(1, 0, b, nullptr);
    s = zvtest::readBack(0, 0, 800, 600);
    EXPECT_EQ(0, s.count(0, 0, 400, 600, isRed));
    EXPECT_GT(s.count(400, 0, 800, 600, isRed), 50);
    zvtest::expectChartStateRestored("Window::draw(column, row, plot)");
    w.draw();
}

// Stepped lines against matplotlib's Agg renderer drawing the same points in the same frame
// (tests/reference/steps_reference.py prints the numbers below; the test needs no Python).
// Each probe crosses one piece of the steps midway along it: a horizontal piece at column
// `at`, a vertical one at row `at`; `centre` is the centre of the line's ink across the
// piece there (pixel indices, bottom row 0), within 1 pixel on both renderers.
namespace {
struct StepProbe {
    int mode;
    char kind;
    int at;
    float centre;
};
constexpr StepProbe STEP_PROBES[] = {
    {1, 'v', 261, 145.50f}, {1, 'h', 217, 370.50f}, {1, 'v', 316, 287.50f},
    {1, 'h', 360, 260.50f}, {1, 'v', 371, 430.50f}, {1, 'h', 503, 480.50f},
    {1, 'v', 288, 573.50f}, {1, 'h', 645, 95.50f},
    {2, 'h', 217, 150.50f}, {2, 'v', 261, 287.50f}, {2, 'h', 360, 370.50f},
    {2, 'v', 316, 430.50f}, {2, 'h', 503, 260.50f}, {2, 'v', 371, 573.50f},
    {2, 'h', 645, 480.50f}, {2, 'v', 288, 716.50f},
    {3, 'h', 181, 150.50f}, {3, 'v', 261, 216.50f}, {3, 'h', 253, 370.50f},
    {3, 'h', 324, 370.50f}, {3, 'v', 316, 359.50f}, {3, 'h', 396, 260.50f},
    {3, 'h', 467, 260.50f}, {3, 'v', 371, 502.50f}, {3, 'h', 538, 480.50f},
    {3, 'h', 610, 480.50f}, {3, 'v', 288, 644.50f}, {3, 'h', 681, 95.50f},
};
// Pixels at least half inked in the reference, the same for every mode (each draws pieces
// of the same total length).
constexpr int STEP_REFERENCE_INK = 6040;
const std::vector<float> STEP_POINTS = {0, 1, 1, 3, 2, 2, 3, 4, 4, 0.5f};

// Centre of the red ink (0 to 1 a pixel) over the 13 pixels centred on `c` along a row
// (horizontal) or a column (vertical).
double inkCentre(const zvtest::Snapshot& s, bool alongRow, int fixed, int c) {
    double sum = 0, weighted = 0;
    for (int k = c - 6; k <= c + 6; ++k) {
        const double ink = (alongRow ? s.at(k, fixed) : s.at(fixed, k)).r / 255.0;
        sum += ink;
        weighted += ink * k;
    }
    return sum > 0 ? weighted / sum : -1;
}
}  // namespace

TEST_F(PlotGLTest, StepsMatchTheReferenceRenderer) {
    for (int mode = 1; mode <= 3; ++mode) {
        auto p = makePlot(STEP_POINTS);
        p->setColor(1.0f, 0.5f, 0.0f);
        p->setLineWidth(4);
        p->setAxesLimits(4.5f, -0.5f, 5, 0);
        p->setStepMode(mode);
        const zvtest::Snapshot s = drawAndGrab(p);
        int probes = 0;
        const StepProbe* rise = nullptr;
        for (const StepProbe& q : STEP_PROBES) {
            if (q.mode != mode) continue;
            ++probes;
            if (q.kind == 'v' && !rise) rise = &q;
            const int c = static_cast<int>(std::lround(q.centre));
            const double got = inkCentre(s, q.kind == 'v', q.at, c);
            EXPECT_NEAR(q.centre, got, 1.0) << "mode " << mode << " " << q.kind << " at " << q.at;
        }
        EXPECT_GE(probes, 8);
        // Inside the frame's border, in the line's colour (the border and labels are white).
        const int ink = s.count(CLIP_X0 + 2, CLIP_Y0 + 2, CLIP_X1 - 2, CLIP_Y1 - 2,
                                [](const zvtest::RGBA& c) { return c.r > 127 && c.b < 64; });
        EXPECT_NEAR(STEP_REFERENCE_INK, ink, STEP_REFERENCE_INK / 20) << "mode " << mode;
        // The line's middle is a flat area of its colour: (255, 128, 0) in the reference.
        ASSERT_NE(nullptr, rise);
        const zvtest::RGBA mid = s.at(static_cast<int>(std::lround(rise->centre)), rise->at);
        EXPECT_TRUE(zvtest::near(zvtest::RGBA{255, 128, 0, 255}, mid, 2)) << mid;
    }
}

// Bad modes are refused and change nothing; a point with a NaN coordinate breaks the steps
// to and from it and no other; the mode is shared by the handles.
TEST_F(PlotGLTest, StepModeRefusesBadValuesAndBreaksAtNaN) {
    auto p = makePlot({0, 1, 1, 3, 2, std::nanf(""), 3, 4, 4, 0.5f});
    p->setLineWidth(4);
    p->setAxesLimits(4.5f, -0.5f, 5, 0);
    p->setStepMode(2);
    for (int bad : {-1, 4, 100}) {
        EXPECT_THROW(p->setStepMode(bad), zv::ArgumentError) << bad;
        EXPECT_EQ(2, p->stepMode());
    }
    const zvtest::Snapshot s = drawAndGrab(p);
    // Drawn: across at y = 1 (row 150) under x = 0.5, up at x = 1; across at y = 4 (row 480)
    // under x = 3.5. Not drawn: across at y = 3 towards x = 2 and anything at x = 2 or 3.
    EXPECT_GT(s.count(215, 148, 220, 154, isRed), 10);
    EXPECT_GT(s.count(643, 478, 648, 484, isRed), 10);
    EXPECT_EQ(0, s.count(300, 0, 560, 600, isRed));

    window.reset();
    zv::Window w(200, 150, "steps", nullptr, true);
    zv::Plot a(2, zv::ZV_FLOAT32);
    zv::Plot b(a);
    EXPECT_EQ(zv::ZV_STEPS_NONE, b.stepMode());
    a.setStepMode(zv::ZV_STEPS_MID);
    EXPECT_EQ(zv::ZV_STEPS_MID, b.stepMode());
    try {
        b.setStepMode(static_cast<zv::StepMode>(7));
        ADD_FAILURE() << "an unknown step mode was accepted";
    } catch (const zv::ArgumentError& e) {
        EXPECT_EQ(1, e.argIndex());
        EXPECT_NE(nullptr, std::strstr(e.expectedCondition(), "ZV_STEPS_POST"));
    }
    EXPECT_EQ(zv::ZV_STEPS_MID, a.stepMode());
}

// On a logarithmic x axis the midway rise falls at the geometric mean of the two x (midway
// on the frame), and a point without a logarithm breaks the steps to and from it.
TEST_F(PlotGLTest, StepsOnALogarithmicAxisRiseMidwayOnTheFrame) {
    auto p = makePlot({1, 1, 100, 3, -1, 2});
    p->setLineWidth(3);
    p->setAxesLimits(1000, 0.1f, 4, 0);
    p->setLogAxes(true, false);
    p->setStepMode(3);
    const zvtest::Snapshot s = drawAndGrab(p);
    const int rise = static_cast<int>(std::lround(LEFT + 0.5 * (RIGHT - LEFT)));  // x = 10
    const int y1 = static_cast<int>(pixelY(1, 0, 4)), y3 = static_cast<int>(pixelY(3, 0, 4));
    // The rise: every row between the levels is red at x = 10 and nowhere else between
    // x = 1 and x = 100.
    // (pixelX of log10(x) over the decades -1 to 3.)
    EXPECT_GE(s.count(rise - 2, y1 + 3, rise + 3, y3 - 2, isRed), 2 * (y3 - y1 - 5));
    EXPECT_EQ(0, s.count(static_cast<int>(pixelX(0, -1, 3)) + 3, y1 + 3, rise - 3, y3 - 2, isRed));
    // Nothing beyond x = 100 (the pair with x = -1 is not joined), and no level at y = 2:
    // along that row only the rise crosses.
    EXPECT_EQ(0, s.count(static_cast<int>(pixelX(2, -1, 3)) + 3, 45, CLIP_X1 - 2, 586, isRed));
    const int y2 = static_cast<int>(pixelY(2, 0, 4));
    EXPECT_EQ(s.count(rise - 3, y2 - 1, rise + 4, y2 + 2, isRed),
              s.count(CLIP_X0 + 2, y2 - 1, CLIP_X1 - 2, y2 + 2, isRed));
}
