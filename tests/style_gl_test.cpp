// Styles and themes: bad styles refused, the default style drawing the library's own look
// again after another, colours, tick rule, sizes, grid lines and minor ticks, line width,
// which style wins, the legend outside the frame, and titles outside the frame laid out in
// windows and grid cells (captions, colour bars, long and non-ASCII titles) without text
// over the data, over other text or cut at the drawing area's edge. Real contexts, pictures
// read back resolved.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "chart/chart_impl.hpp"
#include "chart/legend_layout.hpp"
#include "multichart/chart.hpp"
#include "support/image_util.hpp"
#include "zarvo.h"

namespace internal {
std::ostream& operator<<(std::ostream& os, const TextBox& b) {
    return os << "(" << b.x0 << ", " << b.y0 << ")-(" << b.x1 << ", " << b.y1 << ")";
}
}  // namespace internal

namespace {

using internal::AbstractChart2D;
using internal::TextBox;

struct Pixel {
    int r, g, b;
};

// Pixel (x, y) of a resolved picture, y from the bottom as layouts count.
Pixel at(const zv::Snapshot& s, int x, int y) {
    const unsigned char* p = &s.rgba[(size_t(s.height - 1 - y) * s.width + x) * 4];
    return {p[0], p[1], p[2]};
}
Pixel rgbOf(zv::Color c) {
    return {int(c >> 24), int((c >> 16) & 0xFF), int((c >> 8) & 0xFF)};
}
bool near(const Pixel& a, const Pixel& b, int tol) {
    return std::abs(a.r - b.r) <= tol && std::abs(a.g - b.g) <= tol && std::abs(a.b - b.b) <= tol;
}
// Pixels of [x0, x1) x [y0, y1) (y from the bottom) that differ from `background` by more
// than tol in some channel: ink.
int inkIn(const zv::Snapshot& s, int x0, int y0, int x1, int y1, const Pixel& background,
          int tol = 24) {
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(s.height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(s.width, x1); ++x)
            n += near(at(s, x, y), background, tol) ? 0 : 1;
    return n;
}

bool empty(const TextBox& b) { return b.x1 < b.x0; }
bool overlap(const TextBox& a, const TextBox& b) {
    if (empty(a) || empty(b)) return false;
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

// A hidden window with a caption font, the library's usual test size.
class StyleTest : public ::testing::Test {
protected:
    static constexpr int W = 800, H = 600;
    void SetUp() override {
        window.reset(new zv::Window(W, H, "style", nullptr, true));
        font.reset(new zv::Font());
        font->loadSystemFont("Vera", 24);
        window->setFont(font.get());
    }
    void TearDown() override {
        font.reset();
        window.reset();
    }
    std::unique_ptr<zv::Window> window;
    std::unique_ptr<zv::Font> font;
};

zv::Plot emptyPlot() {
    zv::Plot p(16, zv::ZV_FLOAT32);
    p.setCount(0);
    p.setAxesLimits(1.0f, 0.0f, 1.0f, 0.0f);
    return p;
}

// A flat horizontal line at y = 0.5 over x in [0, 1].
zv::Plot flatLine() {
    zv::Plot p(2, zv::ZV_FLOAT32);
    p.setAxesLimits(1.0f, 0.0f, 1.0f, 0.0f);
    const float pts[4] = {0.0f, 0.5f, 1.0f, 0.5f};
    glBindBuffer(GL_ARRAY_BUFFER, p.vbo());
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof pts, pts);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    p.setColor(1.0f, 0.0f, 0.0f);
    return p;
}

TEST_F(StyleTest, BadStylesAreRefusedAndChangeNothing) {
    struct Case {
        const char* what;
        std::function<void(zv::Style&)> spoil;
    } cases[] = {
        {"tick labels of 5 pixels", [](zv::Style& s) { s.tickLabelSize = 5; }},
        {"titles of 65 pixels", [](zv::Style& s) { s.titleSize = 65; }},
        {"captions of 0 pixels", [](zv::Style& s) { s.captionSize = 0; }},
        {"a line width of 0.5", [](zv::Style& s) { s.lineWidth = 0.5f; }},
        {"a NaN line width",
         [](zv::Style& s) { s.lineWidth = std::numeric_limits<float>::quiet_NaN(); }},
        {"an unknown tick rule", [](zv::Style& s) { s.ticks = static_cast<zv::TickRule>(2); }},
        {"an unknown title placement",
         [](zv::Style& s) { s.titles = static_cast<zv::TitlePlacement>(-1); }},
        {"an unknown legend placement",
         [](zv::Style& s) { s.legend = static_cast<zv::LegendPlacement>(6); }},
    };
    zv::Plot plot = emptyPlot();
    zv::Chart chart;
    for (const Case& c : cases) {
        zv::Style bad = zv::Style::dark();
        c.spoil(bad);
        EXPECT_THROW(window->setStyle(bad), zv::ArgumentError) << c.what;
        EXPECT_THROW(chart.setStyle(bad), zv::ArgumentError) << c.what;
        EXPECT_THROW(plot.setStyle(bad), zv::ArgumentError) << c.what;
        try {
            window->setStyle(bad);
        } catch (const zv::ArgumentError& e) {
            EXPECT_EQ(e.argIndex(), 1);
            EXPECT_NE(std::string(e.expectedCondition()).find("Style::"), std::string::npos)
                << c.what << ": " << e.expectedCondition();
        }
    }
    // Nothing took: the window still clears to black and draws the plot's own look.
    EXPECT_EQ(window->style().background, zv::Style().background);
    window->draw(plot);
    const zv::Snapshot s = window->snapshot();
    EXPECT_TRUE(near(at(s, 2, 2), {0, 0, 0}, 0));
}

// Every chart keeps what a style set up (sizes, tick rule, margins, colours): going back to
// the default must give the library's own picture again, byte for byte, in the whole window
// and in grid cells under captions.
TEST_F(StyleTest, TheDefaultStyleDrawsTheOwnLookAgainAfterATheme) {
    zv::Plot line = flatLine();
    line.setXAxisTitle("time");
    line.setYAxisTitle("volts");
    zv::Chart chart;
    chart.add(line, "line");
    chart.setAxesLimits(1.0f, 0.0f, 1.0f, 0.0f);
    auto frame = [&] {
        window->draw(line);
        zv::Snapshot whole = window->snapshot();
        window->grid(1, 2);
        window->draw(0, 0, line, "Line");
        window->draw(1, 0, chart, "Chart");
        window->draw();
        zv::Snapshot grid = window->snapshot();
        whole.rgba.insert(whole.rgba.end(), grid.rgba.begin(), grid.rgba.end());
        return whole.rgba;
    };
    const std::vector<unsigned char> own = frame();
    for (const zv::Style& theme : {zv::Style::light(), zv::Style::dark()}) {
        window->setStyle(theme);
        const std::vector<unsigned char> themed = frame();
        EXPECT_NE(themed, own);
        window->setStyle(zv::Style());
        EXPECT_EQ(frame(), own);
    }
}

TEST_F(StyleTest, ThemesColourBackgroundFrameAndCaptions) {
    zv::Plot plot = emptyPlot();
    for (const zv::Style& theme : {zv::Style::light(), zv::Style::dark()}) {
        window->setStyle(theme);
        window->grid(1, 1);
        window->draw(0, 0, plot, "Caption");
        window->draw();
        const zv::Snapshot s = window->snapshot();
        const Pixel bg = rgbOf(theme.background);
        EXPECT_TRUE(near(at(s, 1, 1), bg, 1)) << std::hex << theme.background;
        // The caption, in its colour, in the band above the drawing area.
        int caption = 0;
        for (int y = H - 40; y < H; ++y)
            for (int x = 0; x < W; ++x) caption += near(at(s, x, y), rgbOf(theme.caption), 40);
        EXPECT_GT(caption, 20) << std::hex << theme.caption;
        // The frame's border in the foreground colour, and no pure white or black ink
        // (the library's own frame and background) anywhere.
        const AbstractChart2D& c = *plot.chartObject();
        const auto& l = c.lastFrame().layout;
        const int vx = c.lastFrame().viewport[0], vy = c.lastFrame().viewport[1];
        const int midX = vx + static_cast<int>(0.5f * (l.frameLeft + l.frameRight));
        // The border's strongest pixel lies between background and foreground (grey on
        // grey: no white or black frame), at least halfway to the foreground.
        const Pixel fg = rgbOf(theme.foreground);
        Pixel strongest = bg;
        for (int y = vy + static_cast<int>(l.frameTop) - 2; y <= vy + static_cast<int>(l.frameTop) + 1; ++y)
            if (std::abs(at(s, midX, y).r - bg.r) > std::abs(strongest.r - bg.r))
                strongest = at(s, midX, y);
        EXPECT_LE(std::abs(strongest.r - fg.r), std::abs(fg.r - bg.r) / 2) << std::hex << theme.foreground;
        EXPECT_LE(std::min(fg.r, bg.r), strongest.r);
        EXPECT_GE(std::max(fg.r, bg.r), strongest.r);
        const Pixel other = theme.background == 0xFFFFFFFF ? Pixel{0, 0, 0} : Pixel{255, 255, 255};
        EXPECT_EQ(W * H - inkIn(s, 0, 0, W, H, other, 2), 0);
    }
}

TEST_F(StyleTest, RoundTicksGridLinesMinorTicksAndSizes) {
    zv::Plot plot = emptyPlot();
    AbstractChart2D& c = *plot.chartObject();
    window->draw(plot);
    EXPECT_EQ(c.xLabels().front(), "0.50");  // the frame's own nine ticks
    const float ownLeft = c.lastFrame().layout.frameLeft;
    const int ownTicks = static_cast<int>(c.yTicks().positions.size());

    zv::Style s = zv::Style::light();
    s.gridLines = false;
    s.minorTicks = false;
    plot.setStyle(s);
    window->draw(plot);
    // Round ticks: 0, 0.2, ... 1 whatever setNiceTicks says.
    EXPECT_FALSE(c.niceTicks());
    std::vector<std::string> labels = c.xLabels();
    std::sort(labels.begin(), labels.end());
    EXPECT_EQ(labels, (std::vector<std::string>{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
    const zv::Snapshot plain = window->snapshot();

    s.gridLines = true;
    s.minorTicks = true;
    plot.setStyle(s);
    window->draw(plot);
    const zv::Snapshot lined = window->snapshot();
    const auto& l = c.lastFrame().layout;
    const Pixel white{255, 255, 255};
    // Grid lines: every major tick's row crosses the frame in the grid's grey; none without.
    const int x0 = static_cast<int>(l.frameLeft) + 8, x1 = static_cast<int>(l.frameRight) - 8;
    for (float p : c.yTicks().positions) {
        if (std::fabs(p) > 0.99f) continue;  // on the border
        const float y = l.frameBottom + 0.5f * (p + 1.0f) * (l.frameTop - l.frameBottom);
        const int row = static_cast<int>(std::floor(y));
        EXPECT_GT(inkIn(lined, x0, row - 1, x1, row + 2, white, 8), (x1 - x0) / 2) << "y " << p;
        EXPECT_EQ(inkIn(plain, x0, row - 1, x1, row + 2, white, 8), 0) << "y " << p;
    }
    // Minor ticks: a run between every two major ticks on the column just left of the
    // frame, which only ticks reach.
    const int column = static_cast<int>(l.frameLeft) - 2;
    auto runs = [&](const zv::Snapshot& pic) {
        int n = 0;
        bool inRun = false;
        for (int y = static_cast<int>(l.frameBottom) - 3; y < static_cast<int>(l.frameTop) + 3; ++y) {
            const bool ink = !near(at(pic, column, y), white, 60);
            n += ink && !inRun;
            inRun = ink;
        }
        return n;
    };
    const int majors = static_cast<int>(c.yTicks().positions.size());
    EXPECT_EQ(runs(plain), majors);
    EXPECT_EQ(runs(lined), 2 * majors - 1);

    // Larger tick labels: taller label boxes and a wider left margin.
    s.tickLabelSize = 24;
    plot.setStyle(s);
    window->draw(plot);
    const TextBox& b = c.yLabelBoxes().front();
    EXPECT_NEAR(b.y1 - b.y0, 11.0f * 24 / 15, 0.01f);
    EXPECT_GT(c.lastFrame().layout.frameLeft, ownLeft + 30.0f);

    // Back to the window's style (the default): the frame's own ticks again.
    plot.setStyle(zv::Style());
    window->draw(plot);
    EXPECT_EQ(c.xLabels().front(), "0.50");
    EXPECT_EQ(static_cast<int>(c.yTicks().positions.size()), ownTicks);
}

// A plot's line takes the style's width until the plot sets its own; inside a chart the
// chart's style decides.
TEST_F(StyleTest, PlotsTakeTheStylesLineWidthUnlessTheySetTheirOwn) {
    auto thickness = [&](const zv::Snapshot& s) {
        // Red rows crossing the middle column.
        int n = 0;
        for (int y = 0; y < H; ++y) {
            const Pixel p = at(s, W / 2, y);
            n += p.r > 120 && p.g < 80;
        }
        return n;
    };
    zv::Plot line = flatLine();
    window->draw(line);
    const int own = thickness(window->snapshot());
    zv::Style wide;
    wide.lineWidth = 9.0f;
    window->setStyle(wide);
    window->draw(line);
    EXPECT_GE(thickness(window->snapshot()), own + 6);
    zv::Chart chart;
    chart.setAxesLimits(1.0f, 0.0f, 1.0f, 0.0f);
    chart.add(line);
    chart.setStyle(zv::Style());  // the chart's own style wins over the window's
    window->draw(chart);
    EXPECT_EQ(thickness(window->snapshot()), own);
    line.setLineWidth(1.0f);  // set once, the plot's own width stays
    window->draw(line);
    EXPECT_EQ(thickness(window->snapshot()), own);
}

TEST(LegendOutside, BoxSitsRightOfTheFrameTopAligned) {
    const internal::PixelRect frame{100, 50, 600, 550};
    const internal::LegendMetrics m;
    const internal::PixelRect b = internal::legendBoxOutside(frame, 2, 80.0f);
    EXPECT_FLOAT_EQ(b.x0, 600 + m.inset);
    EXPECT_FLOAT_EQ(b.y1, 550);
    EXPECT_FLOAT_EQ(b.y1 - b.y0, 2 * m.padding + 2 * m.rowHeight);
    EXPECT_FLOAT_EQ(internal::legendRoom(80.0f), m.inset + (b.x1 - b.x0));
}

// A legend placed outside takes room right of the frame in a window and a cell; in a cell
// where the frame would keep less than half its width it goes back into the frame's corner.
TEST_F(StyleTest, LegendOutsideShrinksTheFrameOrFallsBackInsideWhenNarrow) {
    zv::Plot a = flatLine(), b = emptyPlot();
    zv::Chart chart;
    chart.setAxesLimits(1.0f, 0.0f, 1.0f, 0.0f);
    chart.add(a, "a long label for the legend");
    chart.add(b, "b");
    AbstractChart2D& c = *chart.get()->impl();
    window->draw(chart);
    const float ownRight = c.lastFrame().layout.frameRight;
    zv::Style s;
    s.legend = zv::ZV_LEGEND_OUTSIDE_RIGHT;
    s.background = 0x000040FF;  // the legend's box shows against it
    window->setStyle(s);
    struct Case {
        int rows, columns;
        bool outside;
    } cases[] = {{1, 1, true}, {2, 1, true}, {1, 2, false}, {1, 8, false}};
    for (const Case& k : cases) {
        window->grid(k.rows, k.columns);
        window->draw(0, 0, chart, "Chart");
        window->draw();
        const zv::Snapshot pic = window->snapshot();
        const auto& f = c.lastFrame();
        const int vx = f.viewport[0], vy = f.viewport[1], vw = f.viewport[2];
        const int right = vx + static_cast<int>(f.layout.frameRight);
        // The box's dark translucent grey over the blue, right of the frame or not at all.
        const Pixel box{15, 15, 31};
        int boxRight = 0;
        for (int y = vy; y < vy + f.viewport[3]; ++y)
            for (int x = right + 2; x < vx + vw; ++x) boxRight += near(at(pic, x, y), box, 5);
        if (k.outside) {
            EXPECT_LT(f.layout.frameRight, static_cast<float>(vw) - internal::legendRoom(0.0f))
                << k.columns << " columns";
            EXPECT_GT(boxRight, 500) << k.columns << " columns";
        } else {
            EXPECT_EQ(boxRight, 0) << k.columns << " columns";
        }
    }
    window->setStyle(zv::Style());
    window->draw(chart);
    EXPECT_FLOAT_EQ(c.lastFrame().layout.frameRight, ownRight);
}

// Titles outside the frame, in windows and cells of several sizes, with and without
// captions, with titles none, long, 40 characters and non-ASCII, and images with colour
// bars beside: every box lies inside the drawing area, none overlaps another or the frame,
// no ink lies inside the frame of an empty plot, and none touches the drawing area's edge
// (where text would be cut).
TEST_F(StyleTest, TitlesOutsideKeepClearOfTheDataAndEachOtherInWindowsAndCells) {
    const std::string forty(40, 'W');
    struct Titles {
        const char *x, *y, *chart;
    } titles[] = {
        {nullptr, nullptr, nullptr},
        {"time (s)", "Temperature (°C)", "Temperature (°C) over a day"},
        {forty.c_str(), forty.c_str(), forty.c_str()},
        {"x", forty.c_str(), nullptr},
    };
    struct Grid {
        int rows, columns;
        bool caption, colourBar;
    } grids[] = {{0, 0, false, false}, {1, 2, true, false}, {2, 2, false, true},
                 {3, 3, true, true}, {2, 4, true, false}};
    zv::Style style = zv::Style::light();
    style.gridLines = false;
    window->setStyle(style);
    const Pixel bg = rgbOf(style.background);
    zv::Image image(64, 48, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    image.setColorBarTitle("Temperature (°C)");
    for (const Titles& t : titles) {
        for (const Grid& g : grids) {
            zv::Plot plot = emptyPlot();
            plot.setXAxisTitle(t.x);
            plot.setYAxisTitle(t.y);
            plot.setTitle(t.chart);
            const AbstractChart2D& c = *plot.chartObject();
            std::string where = std::to_string(g.rows) + "x" + std::to_string(g.columns) +
                                " grid, titles " + (t.y ? t.y : "none");
            if (g.rows == 0) {
                window->draw(plot);
            } else {
                window->grid(g.rows, g.columns);
                if (g.colourBar) window->draw(g.columns - 1, 0, image, "Image", true, true);
                window->draw(0, g.rows - 1, plot, g.caption ? "Caption of the plot" : nullptr);
                window->draw();
            }
            const zv::Snapshot pic = window->snapshot();
            const auto& f = c.lastFrame();
            const auto& l = f.layout;
            ASSERT_TRUE(l.hasDataArea) << where;
            const int vx = f.viewport[0], vy = f.viewport[1], vw = f.viewport[2],
                      vh = f.viewport[3];
            // Laid out in the drawing area's pixels.
            EXPECT_EQ(l.width, vw);
            EXPECT_EQ(l.height, vh);
            const TextBox frame{l.frameLeft, l.frameBottom, l.frameRight, l.frameTop};
            std::vector<std::pair<std::string, TextBox>> boxes = {
                {"x title", c.xTitleBox()}, {"y title", c.yTitleBox()}, {"title", c.titleBox()}};
            for (size_t k = 0; k < c.xLabelBoxes().size(); ++k)
                if (c.xLabelShown(k)) boxes.push_back({"x label", c.xLabelBoxes()[k]});
            for (size_t k = 0; k < c.yLabelBoxes().size(); ++k)
                if (c.yLabelShown(k)) boxes.push_back({"y label", c.yLabelBoxes()[k]});
            EXPECT_EQ(empty(c.xTitleBox()), t.x == nullptr) << where;
            EXPECT_EQ(empty(c.titleBox()), t.chart == nullptr) << where;
            for (size_t i = 0; i < boxes.size(); ++i) {
                const TextBox& b = boxes[i].second;
                if (empty(b)) continue;
                EXPECT_GE(b.x0, 0.0f) << where << ": " << boxes[i].first << " " << b;
                EXPECT_GE(b.y0, 0.0f) << where << ": " << boxes[i].first << " " << b;
                EXPECT_LE(b.x1, static_cast<float>(vw)) << where << ": " << boxes[i].first << " " << b;
                EXPECT_LE(b.y1, static_cast<float>(vh)) << where << ": " << boxes[i].first << " " << b;
                EXPECT_FALSE(overlap(b, frame)) << where << ": " << boxes[i].first << " " << b;
                for (size_t j = i + 1; j < boxes.size(); ++j)
                    EXPECT_FALSE(overlap(b, boxes[j].second))
                        << where << ": " << boxes[i].first << " " << b << " and "
                        << boxes[j].first << " " << boxes[j].second;
            }
            // The y title reads along the left edge: taller than wide.
            if (t.y && std::string(t.y).size() > 4) {
                EXPECT_GT(c.yTitleBox().y1 - c.yTitleBox().y0,
                          2.0f * (c.yTitleBox().x1 - c.yTitleBox().x0))
                    << where;
            }
            // The picture: nothing inside the frame (the ticks reach 5 pixels in), and no
            // ink on the drawing area's outermost pixels.
            const int tick = 6;
            EXPECT_EQ(inkIn(pic, vx + static_cast<int>(l.frameLeft) + tick,
                            vy + static_cast<int>(l.frameBottom) + tick,
                            vx + static_cast<int>(l.frameRight) - tick,
                            vy + static_cast<int>(l.frameTop) - tick, bg),
                      0)
                << where;
            const int ring = inkIn(pic, vx, vy, vx + vw, vy + 1, bg) +
                             inkIn(pic, vx, vy + vh - 1, vx + vw, vy + vh, bg) +
                             inkIn(pic, vx, vy, vx + 1, vy + vh, bg) +
                             inkIn(pic, vx + vw - 1, vy, vx + vw, vy + vh, bg);
            EXPECT_EQ(ring, 0) << where;
            // Titles are drawn where their boxes say: ink in the y title's band.
            if (t.y) {
                const TextBox& b = c.yTitleBox();
                EXPECT_GT(inkIn(pic, vx + static_cast<int>(b.x0), vy + static_cast<int>(b.y0),
                                vx + static_cast<int>(std::ceil(b.x1)),
                                vy + static_cast<int>(std::ceil(b.y1)), bg),
                          10)
                    << where;
            }
            if (g.caption) {
                // The caption's band (its line and 3 pixels each side) lies right above the
                // drawing area and holds its ink.
                const int band = static_cast<int>(std::ceil(1.2f * style.captionSize)) + 6;
                EXPECT_GT(inkIn(pic, vx, vy + vh, vx + vw, vy + vh + band, bg), 20) << where;
            }
        }
    }
}

}  // namespace
