// Charts of several series, read back from real contexts: series overlaid through the
// chart's limits, in a whole window and in a grid cell, removal, sharing, the legend's pixels
// and bad input. (The legend's layout and the colour cycle, with no GPU:
// legend_layout_test.cpp.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "chart/chart_layout.hpp"
#include "histogram/hist_impl.hpp"
#include "chart/legend_layout.hpp"
#include "multichart/multichart_impl.hpp"
#include "plot/plot_impl.hpp"
#include "support/chart_util.hpp"
#include "support/gl_test.hpp"
#include "window/window.hpp"
#include "zarvo.h"

namespace {

using internal::hist_impl;
using internal::multichart_impl;
using internal::plot_impl;
using zvtest::RGBA;
using zvtest::Snapshot;

RGBA rgbaOf(zv::Color c) {
    return {static_cast<int>(c >> 24), static_cast<int>((c >> 16) & 0xFF),
            static_cast<int>((c >> 8) & 0xFF), 255};
}

// Where chart coordinates land for a drawing area of aw x ah drawn through the viewport
// (vx, vy, vw, vh): x and y as fractions of the chart's limits.
struct Place {
    int vx, vy, vw, vh, aw, ah;
    double x(double f) const {
        internal::ChartLayout c = internal::chartLayout(aw, ah);
        return vx + (c.frameLeft + f * (c.frameRight - c.frameLeft)) * vw / aw;
    }
    double y(double f) const {
        internal::ChartLayout c = internal::chartLayout(aw, ah);
        return vy + (c.frameBottom + f * (c.frameTop - c.frameBottom)) * vh / ah;
    }
};

class ChartGLTest : public zvtest::GLTest {
protected:
    // A float line plot of the points, in a colour when one is given.
    std::shared_ptr<plot_impl> line(const std::vector<float>& xy, zv::Color color = 0,
                                    int marker = zv::ZV_MARKER_NONE, bool scatter = false) {
        const unsigned n = static_cast<unsigned>(xy.size() / 2);
        std::shared_ptr<plot_impl> p =
            scatter ? std::make_shared<internal::scatter_impl>(n, zv::ZV_FLOAT32, marker)
                    : std::make_shared<plot_impl>(n, zv::ZV_FLOAT32, marker);
        if (color) p->setColor(color);
        zvtest::fillBuffer(p->vbo(), xy.data(), xy.size() * sizeof(float));
        return p;
    }
    Snapshot drawWhole(const std::shared_ptr<multichart_impl>& chart) {
        window->draw(chart);
        zvtest::expectChartStateRestored("chart draw");
        return grab();
    }
    // Colour of the horizontal line near height y at column x: the brightest pixel within
    // two pixels (the line may fall on either side of a pixel boundary).
    static RGBA lineAt(const Snapshot& s, int x, double y) {
        RGBA best{0, 0, 0, 0};
        for (int yy = static_cast<int>(y) - 2; yy <= static_cast<int>(y) + 2; ++yy) {
            RGBA c = s.at(x, yy);
            if (c.r + c.g + c.b > best.r + best.g + best.b) best = c;
        }
        return best;
    }
    const Place whole{0, 0, W, H, W, H};
};

TEST_F(ChartGLTest, SeriesOverlayThroughTheChartsLimitsNotTheirOwn) {
    auto chart = std::make_shared<multichart_impl>();
    chart->setAxesLimits(10, 0, 10, 0);
    // Both series keep their own limits of 0 to 1, which the chart overrides.
    auto red = line({0, 5, 10, 5}, 0xFF0000FF);
    auto green = line({5, 2, 12, 2}, 0x00FF00FF, 8 /* filled square */, true);
    chart->add(red, nullptr);
    chart->add(green, nullptr);
    Snapshot s = drawWhole(chart);
    EXPECT_TRUE(zvtest::near(RGBA{255, 0, 0, 255}, lineAt(s, 300, whole.y(0.5)), 40))
        << lineAt(s, 300, whole.y(0.5));
    const int mx = static_cast<int>(whole.x(0.5)), my = static_cast<int>(whole.y(0.2));
    const zvtest::Centre m = zvtest::centreOf(s, mx - 15, my - 15, mx + 15, my + 15, zvtest::GREEN);
    EXPECT_NEAR(whole.x(0.5), m.x, 1.0);
    EXPECT_NEAR(whole.y(0.2), m.y, 1.0);
    EXPECT_NEAR(100.0, m.weight, 20.0);  // one 10 x 10 marker
    // (12, 2) lies right of the chart's x limit: clipped away, nothing right of the frame.
    EXPECT_EQ(0, s.count(static_cast<int>(whole.x(1)) + 2, 0, W, H, zvtest::notBlack));
    // Drawn alone, the red plot still uses its own limits: y = 5 is above its frame.
    window->draw(red);
    Snapshot alone = grab();
    EXPECT_EQ(0, alone.count(0, 0, W, H, zvtest::isRed));
}

TEST_F(ChartGLTest, FiveSeriesTakeTheCycleInOrderAndKeepTheirColours) {
    auto chart = std::make_shared<multichart_impl>();
    chart->setAxesLimits(1, 0, 6, 0);
    std::vector<std::shared_ptr<plot_impl>> series;
    for (int k = 1; k <= 5; ++k) {
        series.push_back(line({0, float(k), 1, float(k)}));
        chart->add(series.back(), nullptr);
    }
    // A series with its own colour takes none from the cycle, and the next one continues.
    auto own = line({0, 5.5f, 1, 5.5f}, 0xFF00FFFF);
    chart->add(own, nullptr);
    EXPECT_EQ(6u, chart->count());
    Snapshot s = drawWhole(chart);
    for (int k = 1; k <= 5; ++k) {
        const RGBA want = rgbaOf(internal::seriesCycleColor(k - 1));
        const RGBA got = lineAt(s, 400, whole.y(k / 6.0));
        EXPECT_TRUE(zvtest::near(want, got, 40)) << "series " << k << " want " << want
                                                 << " got " << got;
        EXPECT_TRUE(series[k - 1]->colorSet());
    }
    EXPECT_TRUE(zvtest::near(RGBA{255, 0, 255, 255}, lineAt(s, 400, whole.y(5.5 / 6)), 40));
    auto hist = std::make_shared<hist_impl>(1, zv::ZV_FLOAT32);
    chart->add(hist, nullptr);
    const float* bar = hist->barColor();
    EXPECT_EQ(rgbaOf(internal::seriesCycleColor(5)).r, std::lround(bar[0] * 255));
    EXPECT_EQ(rgbaOf(internal::seriesCycleColor(5)).g, std::lround(bar[1] * 255));
}

TEST_F(ChartGLTest, CellDrawPlacesSeriesInTheCellsFrame) {
    window->grid(1, 2);
    auto chart = std::make_shared<multichart_impl>();
    chart->setAxesLimits(4, 0, 4, 0);
    chart->add(line({0, 1, 4, 1}, 0xFF0000FF), nullptr);
    chart->add(line({0, 3, 4, 3}, 0x00FF00FF), nullptr);
    window->draw(1, 0, chart, nullptr);
    zvtest::expectChartStateRestored("chart cell draw");
    Snapshot s = grab();
    const internal::CellLayout cell = internal::cellLayout(W, H, 1, 2, 1, 0);
    const Place p{cell.vx, cell.vy, cell.vwidth, cell.vheight, cell.width, cell.height};
    const int x = static_cast<int>(p.x(0.5));
    EXPECT_TRUE(zvtest::near(RGBA{255, 0, 0, 255}, lineAt(s, x, p.y(0.25)), 40))
        << lineAt(s, x, p.y(0.25));
    EXPECT_TRUE(zvtest::near(RGBA{0, 255, 0, 255}, lineAt(s, x, p.y(0.75)), 40))
        << lineAt(s, x, p.y(0.75));
    // Nothing in the other cell, nothing left of the cell's frame.
    EXPECT_EQ(0, s.count(0, 0, W / 2, H, zvtest::notBlack));
    EXPECT_EQ(0, s.count(W / 2, 0, static_cast<int>(p.x(0)) - 1, H, zvtest::isRed));
    window->draw();
}

TEST_F(ChartGLTest, RemovedSeriesGoAndASeriesDrawsInTwoCharts) {
    auto red = line({0, 1, 2, 1}, 0xFF0000FF);
    auto green = line({0, 0.5f, 2, 0.5f}, 0x00FF00FF);
    auto a = std::make_shared<multichart_impl>();
    auto b = std::make_shared<multichart_impl>();
    a->setAxesLimits(2, 0, 2, 0);
    b->setAxesLimits(2, 0, 4, 0);
    a->add(red, nullptr);
    a->add(green, nullptr);
    b->add(red, nullptr);
    Snapshot sa = drawWhole(a);
    Snapshot sb = drawWhole(b);
    EXPECT_TRUE(zvtest::near(RGBA{255, 0, 0, 255}, lineAt(sa, 400, whole.y(0.5)), 40));
    EXPECT_TRUE(zvtest::near(RGBA{255, 0, 0, 255}, lineAt(sb, 400, whole.y(0.25)), 40));
    EXPECT_EQ(0, sb.count(0, 0, W, H, [](const RGBA& c) { return c.g > 128 && c.r < 64; }));

    EXPECT_TRUE(a->remove(red.get()));
    EXPECT_FALSE(a->remove(red.get()));  // no longer there: nothing happens
    EXPECT_EQ(1u, a->count());
    sa = drawWhole(a);
    EXPECT_EQ(0, sa.count(0, 0, W, H, zvtest::isRed));
    EXPECT_TRUE(zvtest::near(RGBA{0, 255, 0, 255}, lineAt(sa, 400, whole.y(0.25)), 40));
    // Still in the other chart.
    sb = drawWhole(b);
    EXPECT_TRUE(zvtest::near(RGBA{255, 0, 0, 255}, lineAt(sb, 400, whole.y(0.25)), 40));
}

TEST_F(ChartGLTest, HistogramBarsUseTheChartsYMaximum) {
    auto chart = std::make_shared<multichart_impl>();
    chart->setAxesLimits(1, 0, 10, 0);
    auto hist = std::make_shared<hist_impl>(2, zv::ZV_FLOAT32);
    hist->setBarColor(0, 0, 1);
    hist->setAxesLimits(1, 0, 100, 0);  // its own ymax, ignored in the chart
    const float freq[2] = {5, 10};
    zvtest::fillBuffer(hist->vbo(), freq, sizeof(freq));
    chart->add(hist, nullptr);
    Snapshot s = drawWhole(chart);
    const int left = static_cast<int>(whole.x(0.25)), right = static_cast<int>(whole.x(0.75));
    const auto blue = [](const RGBA& c) { return c.b > 128 && c.r < 64; };
    // The first bar ends half way up the frame, the second at its top.
    EXPECT_TRUE(blue(s.at(left, static_cast<int>(whole.y(0.5)) - 3)));
    EXPECT_FALSE(blue(s.at(left, static_cast<int>(whole.y(0.5)) + 3)));
    EXPECT_TRUE(blue(s.at(right, static_cast<int>(whole.y(1.0)) - 3)));
}

TEST_F(ChartGLTest, AChartKeepsItsSeriesAliveAndRefusesOtherGroups) {
    zv::Window win(400, 300, "keeps", nullptr, true);
    zv::Chart chart;
    chart.setAxesLimits(1, 0, 1, 0);
    {
        zv::Plot plot(2, zv::ZV_FLOAT32);
        plot.setColor(0xFF0000FF);
        const float xy[4] = {0, 0.5f, 1, 0.5f};
        zvtest::fillBuffer(plot.vbo(), xy, sizeof(xy));
        chart.add(plot, "kept");
    }
    EXPECT_EQ(1u, chart.count());
    win.draw(chart);
    Snapshot s = zvtest::readBack(0, 0, 400, 300);
    EXPECT_GT(s.count(0, 0, 400, 300, zvtest::isRed), 100);

    zv::Window other(100, 100, "other group", nullptr, true);
    zv::Plot foreign(2, zv::ZV_FLOAT32);
    zv::Histogram foreignHist(2, zv::ZV_FLOAT32);
    try {
        chart.add(foreign, "x");
        ADD_FAILURE() << "a plot of another group was accepted";
    } catch (const zv::ArgumentError& e) {
        EXPECT_EQ(1, e.argIndex());
        EXPECT_NE(nullptr, std::strstr(e.expectedCondition(), "share group"));
    }
    EXPECT_THROW(chart.add(foreignHist), zv::ArgumentError);
    EXPECT_EQ(1u, chart.count());
    EXPECT_THROW(chart.setLegendCorner(static_cast<zv::LegendCorner>(7)), zv::ArgumentError);
    EXPECT_EQ(zv::ZV_LEGEND_TOP_RIGHT, chart.legendCorner());
}

// Windows and charts take every kind through the one base class: drawn alone, added, named in
// advice by its kind and removed, whatever the handle's class. A chart of several series is
// no series of another.
TEST_F(ChartGLTest, EveryKindGoesThroughTheSeriesBase) {
    zv::Window win(400, 300, "series", nullptr, true);
    zv::Plot plot(2, zv::ZV_FLOAT32);
    plot.setColor(0xFF0000FF);
    plot.setAxesLimits(1, 0, 1, 0);
    const float xy[4] = {0, 0.5f, 1, 0.5f};
    zvtest::fillBuffer(plot.vbo(), xy, sizeof(xy));
    zv::Histogram hist(2, zv::ZV_FLOAT32);
    hist.setBarColor(1, 0, 0);
    hist.setAxesLimits(1, 0, 1, 0);
    const float bins[2] = {0.5f, 1.0f};
    zvtest::fillBuffer(hist.vbo(), bins, sizeof(bins));
    struct Kind {
        const zv::Series& series;
        const char* name;
    } kinds[] = {{plot, "plot"}, {hist, "histogram"}};

    zv::Chart chart;
    zv::Window other(100, 100, "other group", nullptr, true);
    zv::Chart foreignChart;
    for (const Kind& k : kinds) {
        win.draw(k.series);
        Snapshot s = zvtest::readBack(0, 0, 400, 300);
        EXPECT_GT(s.count(0, 0, 400, 300, zvtest::isRed), 100) << k.name;
        win.grid(1, 1);
        win.draw(0, 0, k.series);
        win.draw();

        chart.add(k.series, k.name);
        try {
            foreignChart.add(k.series, k.name);
            ADD_FAILURE() << k.name << " of another group was accepted";
        } catch (const zv::ArgumentError& e) {
            EXPECT_NE(nullptr, std::strstr(e.expectedCondition(),
                                           (std::string("the ") + k.name + " belongs").c_str()))
                << e.expectedCondition();
        }
    }
    EXPECT_EQ(2u, chart.count());
    chart.remove(kinds[0].series);
    EXPECT_EQ(1u, chart.count());
    chart.remove(kinds[0].series);  // no longer there: nothing happens
    EXPECT_EQ(1u, chart.count());

    win.makeCurrent();
    auto inner = std::make_shared<multichart_impl>();
    auto outer = std::make_shared<multichart_impl>();
    EXPECT_THROW(outer->add(inner, "chart"), zv::ArgumentError);
    EXPECT_EQ(0u, outer->count());
}

// The legend, for the fixture's whole window.
class LegendGLTest : public ChartGLTest {
protected:
    internal::PixelRect frame() const {
        internal::ChartLayout c = internal::chartLayout(W, H);
        return {c.frameLeft, c.frameBottom, c.frameRight, c.frameTop};
    }
};

TEST_F(LegendGLTest, EntriesInOrderWithTheirColoursOverTheData) {
    auto chart = std::make_shared<multichart_impl>();
    chart->setAxesLimits(1, 0, 1, 0);
    // Under the legend a full-height white bar: the box is translucent over it.
    auto under = std::make_shared<hist_impl>(1, zv::ZV_FLOAT32);
    under->setBarColor(1, 1, 1);
    const float one = 1.0f;
    zvtest::fillBuffer(under->vbo(), &one, sizeof(one));
    chart->add(under, nullptr);
    auto red = line({0, 0.2f, 1, 0.2f}, 0xFF0000FF);
    auto green = line({0, 0.1f, 1, 0.1f}, 0x00FF00FF, 8 /* filled square */, true);
    auto blue = std::make_shared<hist_impl>(1, zv::ZV_FLOAT32);
    blue->setBarColor(0, 0, 1);
    chart->add(red, "first");
    chart->add(green, "second");
    chart->add(blue, "third");
    chart->setLegendCorner(zv::ZV_LEGEND_BOTTOM_LEFT);
    Snapshot s = drawWhole(chart);

    const internal::LegendMetrics m;
    // The measured labels make the box wider than swatch and padding alone.
    internal::PixelRect box = internal::legendBox(frame(), zv::ZV_LEGEND_BOTTOM_LEFT, 3, 0);
    const RGBA colours[3] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    for (size_t k = 0; k < 3; ++k) {
        const internal::LegendEntry e = internal::legendEntry(box, k, m);
        const RGBA got = s.at(static_cast<int>(e.markerX), static_cast<int>(e.markerY));
        EXPECT_TRUE(zvtest::near(colours[k], got, 40)) << "entry " << k << " got " << got;
        // White label text right of the swatch, in the entry's row.
        const int textPixels = s.count(static_cast<int>(e.textX),
                                       static_cast<int>(e.markerY - 8),
                                       static_cast<int>(e.textX) + 60,
                                       static_cast<int>(e.markerY + 8), zvtest::isWhite);
        EXPECT_GT(textPixels, 10) << "entry " << k;
    }
    // The line swatch is a short line, the scatter plot's a marker alone: the pixel left of
    // the marker's square is background there.
    const internal::LegendEntry e0 = internal::legendEntry(box, 0, m);
    EXPECT_TRUE(zvtest::near(colours[0], s.at(static_cast<int>(e0.line.x0) + 2,
                                              static_cast<int>(e0.markerY)), 60));
    const internal::LegendEntry e1 = internal::legendEntry(box, 1, m);
    const RGBA beside = s.at(static_cast<int>(e1.line.x0) + 2, static_cast<int>(e1.markerY));
    EXPECT_LT(beside.g, 128) << beside;
    // The box: the white bar dimmed to a quarter, plus the box's own dark grey.
    const RGBA box1 = s.at(static_cast<int>(box.x0) + 3, static_cast<int>(box.y1) - 3);
    EXPECT_NEAR(0.25 * 255 + 0.75 * 0.08 * 255, box1.r, 6) << box1;
    // Outside the box the white bar shows at full strength.
    EXPECT_TRUE(zvtest::isWhite(s.at(static_cast<int>(box.x0) + 3, static_cast<int>(box.y1) + 60)));
}

// A label beyond ASCII is measured as it is drawn (UTF-8, kerning included): the legend's
// box reaches past its last letter.
TEST_F(LegendGLTest, LabelsBeyondAsciiAreMeasuredForTheBox) {
    auto chart = std::make_shared<multichart_impl>();
    chart->setAxesLimits(1, 0, 1, 0);
    chart->add(line({0, 0.9f, 1, 0.9f}, 0xFF0000FF), "\xCE\xA9\xCE\xA9\xCE\xA9 \xD0\x96\xD0\x96 \xC2\xB5s");
    chart->setLegendCorner(zv::ZV_LEGEND_BOTTOM_LEFT);
    Snapshot s = drawWhole(chart);
    const internal::LegendMetrics m;
    const internal::PixelRect least = internal::legendBox(frame(), zv::ZV_LEGEND_BOTTOM_LEFT, 1, 0);
    const internal::LegendEntry e = internal::legendEntry(least, 0, m);
    int inkRight = -1, boxRight = -1;
    // Inside the frame's white edges.
    for (int x = static_cast<int>(e.textX); x < static_cast<int>(frame().x1) - 3; ++x) {
        for (int y = static_cast<int>(e.markerY) - 10; y <= static_cast<int>(e.markerY) + 14; ++y)
            if (s.at(x, y).g > 128) inkRight = x;
        const RGBA c = s.at(x, static_cast<int>(least.y0) + 2);  // the box's bottom padding
        if (c.r >= 8 && c.r <= 30 && c.g >= 8 && c.g <= 30) boxRight = x;
    }
    ASSERT_GT(inkRight, static_cast<int>(e.textX) + 60) << "the label is drawn";
    EXPECT_GT(boxRight, inkRight);
}

TEST_F(LegendGLTest, NoLegendWithoutLabels) {
    auto chart = std::make_shared<multichart_impl>();
    auto under = std::make_shared<hist_impl>(1, zv::ZV_FLOAT32);
    under->setBarColor(1, 1, 1);
    const float one = 1.0f;
    zvtest::fillBuffer(under->vbo(), &one, sizeof(one));
    chart->add(under, "");
    auto red = line({0, 0.5f, 1, 0.5f}, 0xFF0000FF);
    chart->add(red, nullptr);
    EXPECT_EQ(0u, chart->labelled());
    Snapshot s = drawWhole(chart);
    // The whole top-right corner of the frame is the white bar: no box dims any of it.
    const internal::PixelRect f = frame();
    const auto dimmed = [&](const Snapshot& snap) {
        return snap.count(static_cast<int>(f.x1) - 150, static_cast<int>(f.y1) - 80,
                          static_cast<int>(f.x1) - 2, static_cast<int>(f.y1) - 2,
                          [](const RGBA& c) { return c.r < 100 && c.g < 100 && c.b < 100; });
    };
    EXPECT_EQ(0, dimmed(s));
    // Labelling the line (adding it again) brings the legend in, in the default corner.
    chart->add(red, "now");
    EXPECT_EQ(2u, chart->count());
    EXPECT_GT(dimmed(drawWhole(chart)), 500);
}

}  // namespace
