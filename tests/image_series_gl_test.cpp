// Images on a chart's axes, on real contexts: where every texel lands (read back from the
// picture), nearest and linear filtering, the colour bar beside the frame, a chart of an
// image under a line with its legend, fits, logarithmic axes refused, bad input.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "chart/chart_layout.hpp"
#include "chart/legend_layout.hpp"
#include "support/chart_util.hpp"
#include "support/image_util.hpp"
#include "zarvo/chart.h"
#include "zarvo/exception.h"
#include "zarvo/image.h"
#include "zarvo/image_series.h"
#include "zarvo/plot.h"
#include "zarvo/window.h"

namespace {

constexpr int W = 800, H = 600;
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Inf = std::numeric_limits<float>::infinity();

// Red channel of a snapshot at (x, y) pixels from the top left.
int grey(const zv::Snapshot& s, int x, int y) {
    return s.rgba[(static_cast<size_t>(y) * s.width + x) * 4];
}

// A 4 x 3 grey float image whose texel (i, j) (row 0 first) holds 1 + i + 4 j, mapped from
// [0, 13] onto the grey map: twelve greys about 20 apart, none black like the background.
zv::Image fourByThree() {
    zv::Image image(4, 3, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32);
    std::vector<float> v;
    for (int k = 0; k < 12; ++k) v.push_back(static_cast<float>(1 + k));
    zvtest::fillPixels(image.pbo(), v.data(), v.size() * sizeof(float));
    image.setValueRange(0.0f, 13.0f);
    return image;
}

// The chart frame of a draw over an area of width x height pixels at the window's lower left,
// and the limits it shows: maps data to snapshot pixels (x from the left, y from the top).
struct Placement {
    internal::PixelFrame f;
    double xmin, xmax, ymin, ymax;
    double px(double x) const { return f.left + (x - xmin) / (xmax - xmin) * f.width; }
    double py(double y) const {
        return H - (f.bottom + (y - ymin) / (ymax - ymin) * f.height);
    }
};
Placement placement(int width, int height, double xmin, double xmax, double ymin, double ymax) {
    const int vp[4] = {0, 0, width, height};
    return {internal::frameInWindow(internal::chartLayout(width, height), vp), xmin, xmax, ymin,
            ymax};
}

struct Extent {
    double x0, x1, y0, y1;
    // Data coordinates of texel edges: column edge i (0 .. 4), row edge j (0 .. 3, row 0's
    // top edge first).
    double colEdge(int i) const { return x0 + i * (x1 - x0) / 4.0; }
    double rowEdge(int j) const { return y1 - j * (y1 - y0) / 3.0; }
};

// The first pixel from `from` towards increasing coordinate (along a row when `alongX`) whose
// grey is nearer `after` than `before`: the pixel boundary where the picture changes.
int transition(const zv::Snapshot& s, bool alongX, int fixed, int from, int to, int before,
               int after) {
    for (int k = from; k < to; ++k) {
        const int g = alongX ? grey(s, k, fixed) : grey(s, fixed, k);
        if (std::abs(g - after) < std::abs(g - before)) return k;
    }
    return -1;
}

// Every texel of fourByThree() drawn with nearest filtering over `e` in the frame `p`: the
// texels in order (first row at the top, columns left to right, each one flat grey), and
// every edge between two texels at its computed place within half a pixel, the image's own
// edges (anti-aliased against the background) within one, unless the frame's border covers
// them.
void expectTexelsPlaced(const zv::Snapshot& s, const Placement& p, const Extent& e) {
    int g[3][4];
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i) {
            const double cx = p.px(0.5 * (e.colEdge(i) + e.colEdge(i + 1)));
            const double cy = p.py(0.5 * (e.rowEdge(j) + e.rowEdge(j + 1)));
            g[j][i] = grey(s, static_cast<int>(cx), static_cast<int>(cy));
            if (i > 0) {
                EXPECT_GT(g[j][i], g[j][i - 1] + 10) << "texel " << i << ", " << j;
            }
            if (j > 0) {
                EXPECT_GT(g[j][i], g[j - 1][i] + 10) << "texel " << i << ", " << j;
            }
        }
    const bool mirroredX = e.x1 < e.x0, mirroredY = e.y1 < e.y0;
    // Column edges along each row's centre line, scanning left to right.
    for (int j = 0; j < 3; ++j) {
        const int row = static_cast<int>(p.py(0.5 * (e.rowEdge(j) + e.rowEdge(j + 1))));
        for (int k = 0; k <= 4; ++k) {
            const int edge = mirroredX ? 4 - k : k;  // the k-th edge from the left
            const double want = p.px(e.colEdge(edge));
            const int left = mirroredX ? (k == 0 ? 0 : g[j][4 - k]) : (k == 0 ? 0 : g[j][k - 1]);
            const int right = mirroredX ? (k == 4 ? 0 : g[j][3 - k]) : (k == 4 ? 0 : g[j][k]);
            const bool outer = k == 0 || k == 4;
            // The frame's border is drawn over an image edge that lies on it.
            if (outer && (std::fabs(want - p.f.left) < 4 || std::fabs(want - p.px(p.xmax)) < 4))
                continue;
            const int from = static_cast<int>(want) - 3;
            const int at = transition(s, true, row, from, from + 7, left, right);
            // An outer edge's half-covered pixel is nearer the texel than black, or not.
            EXPECT_NEAR(want, at, outer ? 1.0 : 0.5) << "column edge " << edge << ", row " << j;
        }
    }
    // Row edges along each column's centre line, scanning top to bottom.
    for (int i = 0; i < 4; ++i) {
        const int col = static_cast<int>(p.px(0.5 * (e.colEdge(i) + e.colEdge(i + 1))));
        for (int k = 0; k <= 3; ++k) {
            const int edge = mirroredY ? 3 - k : k;  // the k-th edge from the top
            const double want = p.py(e.rowEdge(edge));
            const int above = k == 0 ? 0 : g[mirroredY ? 3 - k : k - 1][i];
            const int below = k == 3 ? 0 : g[mirroredY ? 2 - k : k][i];
            const bool outer = k == 0 || k == 3;
            if (outer && (std::fabs(want - p.py(p.ymin)) < 4 || std::fabs(want - p.py(p.ymax)) < 4))
                continue;
            const int from = static_cast<int>(want) - 3;
            const int at = transition(s, false, col, from, from + 7, above, below);
            EXPECT_NEAR(want, at, outer ? 1.0 : 0.5) << "row edge " << edge << ", column " << i;
        }
    }
}

// Texel edges land where the extent and the limits put them, for extents that fall between
// pixels, reversed extents (mirrored pictures) and an extent reaching past the frame.
TEST(ImageSeries, TexelsLandWhereTheExtentMapsThem) {
    zv::Window w(W, H, "image series", nullptr, true);
    zv::Image image = fourByThree();
    zv::ImageSeries series(image);
    EXPECT_EQ(zv::ZV_FILTER_NEAREST, series.filter());
    // Until placed: one unit a texel, limits on the image.
    EXPECT_EQ(0.0f, series.extentX0());
    EXPECT_EQ(4.0f, series.extentX1());
    EXPECT_EQ(3.0f, series.extentY1());
    EXPECT_EQ(4.0f, series.xmax());
    EXPECT_EQ(3.0f, series.ymax());
    struct Case {
        const char* what;
        Extent e;
        double xmin, xmax, ymin, ymax;
    } cases[] = {
        {"default", {0, 4, 0, 3}, 0, 4, 0, 3},
        {"between pixels", {0.7, 4.3, -0.4, 2.9}, 0, 5, -1, 3},
        {"mirrored", {4.3, 0.7, 2.9, -0.4}, 0, 5, -1, 3},
        {"large values", {1000.25, 1003.75, -2e4, -1e4}, 1000, 1004, -2.1e4, -0.9e4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        series.setExtent(static_cast<float>(c.e.x0), static_cast<float>(c.e.x1),
                         static_cast<float>(c.e.y0), static_cast<float>(c.e.y1));
        series.setAxesLimits(static_cast<float>(c.xmax), static_cast<float>(c.xmin),
                             static_cast<float>(c.ymax), static_cast<float>(c.ymin));
        w.draw(series);
        zvtest::expectChartStateRestored("image series draw");
        expectTexelsPlaced(w.snapshot(), placement(W, H, c.xmin, c.xmax, c.ymin, c.ymax), c.e);
    }
    // Clipped to the frame: with limits inside the image, nothing is drawn outside.
    series.setExtent(-10, 10, -10, 10);
    series.setAxesLimits(1, -1, 1, -1);
    w.draw(series);
    const zv::Snapshot s = w.snapshot();
    const Placement p = placement(W, H, -1, 1, -1, 1);
    EXPECT_EQ(0, grey(s, static_cast<int>(p.f.left) - 20, H / 2)) << "left of the frame";
    EXPECT_EQ(0, grey(s, W / 2, static_cast<int>(p.py(-1)) + 20)) << "below the frame";
    EXPECT_GT(grey(s, W / 2, H / 2), 20) << "inside the frame";
}

// Linear filtering interpolates values between texel centres (a pixel halfway between two
// centres shows their mean) and keeps each centre's own value; nearest shows one or the
// other. The image drawn alone stays nearest, byte for byte, after a linear series.
TEST(ImageSeries, LinearFilteringInterpolatesBetweenTexelCentres) {
    zv::Window w(W, H, "image series", nullptr, true);
    zv::Image image = fourByThree();
    w.draw(image);
    const zv::Snapshot alone = w.snapshot();

    zv::ImageSeries series(image);
    const Placement p = placement(W, H, 0, 4, 0, 3);
    const int row = static_cast<int>(p.py(1.5));  // texel row 1's centre line
    const auto at = [&](const zv::Snapshot& s, double x) {
        return grey(s, static_cast<int>(p.px(x)), row);
    };
    w.draw(series);
    const zv::Snapshot nearest = w.snapshot();
    series.setFilter(zv::ZV_FILTER_LINEAR);
    EXPECT_EQ(zv::ZV_FILTER_LINEAR, series.filter());
    w.draw(series);
    const zv::Snapshot linear = w.snapshot();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const int a = at(nearest, i + 0.5), b = at(nearest, i + 1.5);
        EXPECT_NEAR(a, at(linear, i + 0.5), 2) << "texel centre keeps its value";
        EXPECT_NEAR(0.5 * (a + b), at(linear, i + 1.0), 3) << "halfway between centres";
        const int n = at(nearest, i + 1.02);
        EXPECT_TRUE(n == a || n == b) << n << " is neither " << a << " nor " << b;
    }
    w.draw(image);
    const zv::Snapshot again = w.snapshot();
    EXPECT_TRUE(alone.rgba == again.rgba) << "the image alone changed after a linear series";
}

// The colour bar takes 100 pixels at the right: the frame is laid out in the rest (the
// texels follow it), and the bar shows the map from black at the bottom to white at the top.
TEST(ImageSeries, ColorBarBesideTheFrame) {
    zv::Window w(W, H, "image series", nullptr, true);
    zv::Image image = fourByThree();
    image.setColorBarTitle("kelvin");
    zv::ImageSeries series(image);
    series.setColorBar(true);
    EXPECT_TRUE(series.colorBar());
    const Extent e{0.7, 4.3, -0.4, 2.9};
    series.setExtent(0.7f, 4.3f, -0.4f, 2.9f);
    series.setAxesLimits(5, 0, 3, -1);
    w.draw(series);
    const zv::Snapshot s = w.snapshot();
    expectTexelsPlaced(s, placement(W - 100, H, 0, 5, -1, 3), e);
    // The bar runs from x = 712 to 732, its rows 16 pixels inside the area at the bottom and
    // under the title's line at the top.
    const int x = W - 100 + 22;
    int previous = -1, rising = 0;
    for (int y = H - 20; y > 40; y -= 10) {
        const int g = grey(s, x, y);
        if (g > previous) ++rising;
        previous = g;
    }
    EXPECT_GE(rising, 50) << "a ramp from the bottom up";
    EXPECT_LT(grey(s, x, H - 20), 10);
    EXPECT_GT(grey(s, x, 45), 240);
    // Off again: the frame spans the window.
    series.setColorBar(false);
    w.draw(series);
    expectTexelsPlaced(w.snapshot(), placement(W, H, 0, 5, -1, 3), e);
}

// In a chart the image lies under a line drawn through the same axes, the colour bar beside
// the frame, and the legend shows the colour map (dark at the bottom, light at the top) for
// the image series.
TEST(ImageSeries, InAChartUnderALineWithLegendAndColorBar) {
    zv::Window w(W, H, "image series", nullptr, true);
    zv::Image image = fourByThree();
    zv::ImageSeries field(image);
    field.setColorBar(true);
    const Extent e{0.7, 4.3, -0.4, 2.9};
    field.setExtent(0.7f, 4.3f, -0.4f, 2.9f);
    zv::Plot line(2, zv::ZV_FLOAT32);
    line.setColor(1.0f, 0.0f, 0.0f);
    const std::vector<float> xy = {2.5f, -10.0f, 2.5f, 10.0f};
    zvtest::fillBuffer(line.vbo(), xy.data(), xy.size() * sizeof(float));
    zv::Chart chart;
    chart.setLegendCorner(zv::ZV_LEGEND_TOP_LEFT);
    chart.add(field, "temperature");
    chart.add(line, "path");
    chart.setAxesLimits(5, 0, 3, -1);
    w.draw(chart);
    const zv::Snapshot s = w.snapshot();
    const Placement p = placement(W - 100, H, 0, 5, -1, 3);
    // The line: a red column at x = 2.5, over texel row 2 (under the legend's rows).
    const int row = static_cast<int>(p.py(0.5 * (e.rowEdge(2) + e.rowEdge(3))));
    double sum = 0.0;
    int reds = 0;
    for (int x = 0; x < W; ++x) {
        const unsigned char* px = &s.rgba[(static_cast<size_t>(row) * W + x) * 4];
        if (px[0] > 120 && px[1] < 80) sum += x + 0.5, ++reds;
    }
    ASSERT_GT(reds, 0);
    EXPECT_NEAR(p.px(2.5), sum / reds, 1.0);
    // The legend's first entry: the colour map as a bar.
    const internal::PixelRect frame{static_cast<float>(p.f.left), static_cast<float>(p.f.bottom),
                                    static_cast<float>(p.f.left + p.f.width),
                                    static_cast<float>(p.f.bottom + p.f.height)};
    const internal::PixelRect box = internal::legendBox(frame, zv::ZV_LEGEND_TOP_LEFT, 2, 50.0f);
    const internal::LegendEntry entry = internal::legendEntry(box, 0);
    const int sx = static_cast<int>(entry.markerX), sy = H - static_cast<int>(entry.markerY);
    EXPECT_GT(grey(s, sx, sy - 4) - grey(s, sx, sy + 4), 100) << "light above, dark below";
    // The bar beside the frame.
    EXPECT_GT(grey(s, W - 100 + 22, 45), 240);
    EXPECT_LT(grey(s, W - 100 + 22, H - 20), 10);
}

// Fits take in the extent: alone exactly (ends in order, whichever way the extent runs),
// in a chart with the chart's margin around it and the other series; auto-fit follows a new
// extent without waiting.
TEST(ImageSeries, FitsTakeInTheExtent) {
    zv::Window w(W, H, "image series", nullptr, true);
    zv::Image image = fourByThree();
    zv::ImageSeries series(image);
    series.setExtent(4, -2, 10, 3);
    series.fitAxesToData();
    EXPECT_EQ(4.0f, series.xmax());
    EXPECT_EQ(-2.0f, series.xmin());
    EXPECT_EQ(10.0f, series.ymax());
    EXPECT_EQ(3.0f, series.ymin());

    series.setAutoFit(true);
    series.setExtent(1, 2, -5, -4);
    for (int k = 0; k < 4; ++k) w.draw(series);
    EXPECT_EQ(2.0f, series.xmax());
    EXPECT_EQ(1.0f, series.xmin());
    EXPECT_EQ(-4.0f, series.ymax());
    EXPECT_EQ(-5.0f, series.ymin());

    zv::Plot point(1, zv::ZV_FLOAT32);
    const std::vector<float> xy = {12.0f, -4.5f};
    zvtest::fillBuffer(point.vbo(), xy.data(), xy.size() * sizeof(float));
    zv::Chart chart;
    chart.add(series);
    chart.add(point);
    chart.fitAxesToData();
    EXPECT_NEAR(1.0 - 0.55, chart.xmin(), 1e-4);  // [1, 12] and 5% of 11 each side
    EXPECT_NEAR(12.0 + 0.55, chart.xmax(), 1e-4);
    EXPECT_NEAR(-5.0 - 0.05, chart.ymin(), 1e-4);
    EXPECT_NEAR(-4.0 + 0.05, chart.ymax(), 1e-4);
}

// Logarithmic axes would stretch evenly spaced texels unevenly: a chart refuses them while it
// holds an image series, and refuses the series while it has them, with advice; nothing
// changes then.
TEST(ImageSeries, LogarithmicAxesAreRefused) {
    zv::Window w(W, H, "image series", nullptr, true);
    zv::Image image = fourByThree();
    zv::ImageSeries series(image);
    struct Case {
        bool x, y;
        int arg;
    } cases[] = {{true, false, 1}, {false, true, 2}, {true, true, 1}};
    zv::Chart chart;
    chart.setAxesLimits(10, 1, 10, 1);
    chart.add(series);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arg);
        try {
            chart.setLogAxes(c.x, c.y);
            ADD_FAILURE() << "no error";
        } catch (const zv::ArgumentError& err) {
            EXPECT_EQ(c.arg, err.argIndex());
            EXPECT_STREQ("Chart::setLogAxes", err.functionName());
            EXPECT_NE(std::string::npos, std::string(err.expectedCondition()).find("linear"));
            EXPECT_NE(std::string::npos, std::string(err.expectedCondition()).find("transform"));
        }
        EXPECT_FALSE(chart.xLog());
        EXPECT_FALSE(chart.yLog());
    }
    chart.remove(series);
    chart.setLogAxes(false, true);
    try {
        chart.add(series, "field");
        ADD_FAILURE() << "no error";
    } catch (const zv::ArgumentError& err) {
        EXPECT_EQ(1, err.argIndex());
        EXPECT_STREQ("Chart::add", err.functionName());
    }
    EXPECT_EQ(0u, chart.count());
    chart.setLogAxes(false, false);
    chart.add(series, "field");
    EXPECT_EQ(1u, chart.count());
    w.draw(chart);
}

// Bad extents and filters are refused with the argument named, a mapped pixel buffer as the
// image alone refuses it; an image of another share group cannot be shown by a series of
// this one.
TEST(ImageSeries, BadInputIsRefusedWithAdvice) {
    zv::Window w(W, H, "image series", nullptr, true);
    zv::Image image = fourByThree();
    zv::ImageSeries series(image);
    series.setExtent(1, 2, 3, 4);
    struct Case {
        float x0, x1, y0, y1;
        int arg;
    } cases[] = {
        {NaN, 2, 3, 4, 1}, {1, Inf, 3, 4, 2}, {1, 2, -Inf, 4, 3}, {1, 2, 3, NaN, 4},
        {1, 1, 3, 4, 2},   {1, 2, 5, 5, 4},   {-3e38f, 3e38f, 3, 4, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arg);
        try {
            series.setExtent(c.x0, c.x1, c.y0, c.y1);
            ADD_FAILURE() << "no error";
        } catch (const zv::ArgumentError& err) {
            EXPECT_EQ(c.arg, err.argIndex());
            EXPECT_GT(std::string(err.expectedCondition()).size(), 20u);
        }
        EXPECT_EQ(1.0f, series.extentX0());
        EXPECT_EQ(2.0f, series.extentX1());
        EXPECT_EQ(3.0f, series.extentY0());
        EXPECT_EQ(4.0f, series.extentY1());
    }
    EXPECT_THROW(series.setFilter(static_cast<zv::ImageFilter>(7)), zv::ArgumentError);
    EXPECT_EQ(zv::ZV_FILTER_NEAREST, series.filter());

    // A pixel buffer still mapped is refused before anything is drawn, in a chart with a
    // colour bar too, and the viewport is left as the window set it.
    series.setColorBar(true);
    zv::Chart chart;
    chart.add(series);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, image.pbo());
    ASSERT_NE(nullptr, glMapBufferRange(GL_PIXEL_UNPACK_BUFFER, 0, image.size(), GL_MAP_WRITE_BIT));
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    try {
        w.draw(chart);
        ADD_FAILURE() << "no error";
    } catch (const zv::Error& err) {
        EXPECT_EQ(zv::ZV_ERR_GL, err.err());
        EXPECT_NE(std::string::npos, std::string(err.what()).find("glUnmapBuffer"));
    }
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(W, viewport[2]);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, image.pbo());
    glUnmapBuffer(GL_PIXEL_UNPACK_BUFFER);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    w.draw(chart);
    zvtest::expectChartStateRestored("image series draw after a refused one");

    zv::Window other(64, 64, "other group", nullptr, true);  // a new share group, current
    try {
        zv::ImageSeries foreign(image);
        ADD_FAILURE() << "no error";
    } catch (const zv::ArgumentError& err) {
        EXPECT_EQ(1, err.argIndex());
    }
}

}  // namespace
