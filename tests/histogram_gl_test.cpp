// Histograms, read back from real contexts: bars in equal slots on the frame, their heights,
// clipping, what the limits do and do not move, colours, buffers and handles.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gl/gl_objects.hpp"
#include "histogram/hist_impl.hpp"
#include "histogram/histogram.hpp"
#include "support/chart_util.hpp"
#include "support/gl_test.hpp"
#include "window/window.hpp"
#include "zarvo/exception.h"
#include "zarvo/histogram.h"
#include "zarvo/plot.h"
#include "zarvo/window.h"

using zvtest::isRed;

namespace {

// Frame geometry of an 800 x 600 area, in pixels.
constexpr double LEFT = 74.2375, RIGHT = 788.2375, BOTTOM = 40.583333, TOP = 590.583333;
constexpr int CLIP_X0 = 74, CLIP_Y0 = 40, CLIP_X1 = 789, CLIP_Y1 = 591;

// Left edge of slot i of n, in pixels.
double slotEdge(int i, int n) { return LEFT + (RIGHT - LEFT) * i / n; }
// Top of a bar of frequency f under ymax, in pixels.
double barTop(double f, double ymax) { return BOTTOM + (TOP - BOTTOM) * f / ymax; }

class HistogramGLTest : public zvtest::GLTest {
protected:
    // A red float histogram of these frequencies with y limits [0, ymax].
    std::shared_ptr<internal::hist_impl> makeHistogram(const std::vector<float>& freq, float ymax) {
        auto h = std::make_shared<internal::hist_impl>(static_cast<unsigned>(freq.size()),
                                                       zv::ZV_FLOAT32);
        h->setBarColor(1, 0, 0);
        h->setAxesLimits(1, 0, ymax, 0);
        if (!freq.empty()) zvtest::fillBuffer(h->vbo(), freq.data(), freq.size() * sizeof(float));
        return h;
    }
    zvtest::Snapshot drawAndGrab(const std::shared_ptr<internal::hist_impl>& h) {
        window->draw(h);
        zvtest::expectChartStateRestored("histogram draw");
        return grab();
    }
    // Height in pixels of the red in column x, above the frame's bottom border.
    static double redHeight(const zvtest::Snapshot& s, int x) {
        return zvtest::coverage(s, x, 42, x + 1, 600, zvtest::RED_NOT_WHITE);
    }
    // The data area without the border: where only bars may differ.
    static std::vector<unsigned char> dataArea(const zvtest::Snapshot& s) {
        std::vector<unsigned char> out;
        for (int y = 43; y < 589; ++y)
            for (int x = 77; x < 786; ++x) {
                const zvtest::RGBA c = s.at(x, y);
                out.insert(out.end(),
                           {static_cast<unsigned char>(c.r), static_cast<unsigned char>(c.g),
                            static_cast<unsigned char>(c.b)});
            }
        return out;
    }
};

}  // namespace

TEST_F(HistogramGLTest, BarsFillEqualSlotsFromTheFramesBottomEdge) {
    auto h = makeHistogram({1, 2, 3, 4}, 4);
    const zvtest::Snapshot s = drawAndGrab(h);
    for (int i = 0; i < 4; ++i) {
        // Each bar stands on the bottom edge and is freq / ymax of the frame tall.
        const int mid = static_cast<int>((slotEdge(i, 4) + slotEdge(i + 1, 4)) / 2);
        EXPECT_NEAR(barTop(i + 1, 4) - 42, redHeight(s, mid), 1.0) << "bar " << i;
        // Bar i + 1 starts where bar i ends: above bar i, red begins at the slot's edge.
        if (i < 3) {
            const int y = static_cast<int>(barTop(i + 1, 4)) + 20;
            const double edge = slotEdge(i + 1, 4);
            const double red = zvtest::coverage(s, static_cast<int>(edge) - 10, y,
                                                static_cast<int>(edge) + 10, y + 1, zvtest::RED);
            EXPECT_NEAR(static_cast<int>(edge) + 10 - edge, red, 1.0) << "edge " << i + 1;
        }
    }
    // The first bar is as wide as the others: red from the pixel after the border on.
    EXPECT_NEAR(10.0, zvtest::coverage(s, 75, 60, 85, 61, zvtest::RED), 0.01);
    // Every bar reaches down to the border.
    EXPECT_TRUE(zvtest::notBlack(s.at(150, 41))) << s.at(150, 41);
    EXPECT_TRUE(isRed(s.at(150, 42)));
    // The tallest bar (freq == ymax) reaches the top edge and not beyond.
    EXPECT_TRUE(isRed(s.at(700, 589)));
    EXPECT_EQ(0, s.count(0, 592, 800, 600, zvtest::notBlack));
}

TEST_F(HistogramGLTest, TallBarsAreClippedToTheFrame) {
    auto h = makeHistogram({9, -3, 1e6f, 2}, 4);
    const zvtest::Snapshot s = drawAndGrab(h);
    const int inside = s.count(CLIP_X0, CLIP_Y0, CLIP_X1, CLIP_Y1, isRed);
    EXPECT_GT(inside, 1000);
    EXPECT_EQ(inside, s.count(0, 0, 800, 600, isRed));
    // A negative frequency draws nothing above the bottom edge.
    EXPECT_EQ(0, s.count(static_cast<int>(slotEdge(1, 4)) + 2, 42,
                         static_cast<int>(slotEdge(2, 4)) - 2, 589, isRed));
    // Bars taller than ymax fill their slot up to the top edge.
    EXPECT_TRUE(isRed(s.at(100, 589)));
    EXPECT_TRUE(isRed(s.at(500, 589)));
}

TEST_F(HistogramGLTest, XLimitsAndYMinimumMoveLabelsNotBars) {
    auto h = makeHistogram({3, 1, 4, 1, 5, 9, 2, 6}, 10);
    const zvtest::Snapshot base = drawAndGrab(h);
    const std::vector<unsigned char> bars = dataArea(base);
    struct Case {
        float xmax, xmin, ymin;
    };
    for (const Case& k : {Case{50, 10, 0}, Case{-3, 3, 0}, Case{1, 0, 2}, Case{1, 0, -7}}) {
        h->setAxesLimits(k.xmax, k.xmin, 10, k.ymin);
        const zvtest::Snapshot s = drawAndGrab(h);
        EXPECT_TRUE(bars == dataArea(s)) << k.xmax << " " << k.xmin << " " << k.ymin;
        // The labels did change: below the frame for x, left of it for y.
        const zvtest::Snapshot& now = s;
        int changed = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                if ((x < 70 || y < 34) && !zvtest::near(now.at(x, y), base.at(x, y), 0)) ++changed;
        EXPECT_GT(changed, 50) << k.xmax << " " << k.xmin << " " << k.ymin;
    }
}

TEST_F(HistogramGLTest, NoBinsOrZeroYMaximumDrawOnlyTheFrame) {
    auto none = makeHistogram({}, 4);
    EXPECT_EQ(0u, none->size());
    zvtest::Snapshot s = drawAndGrab(none);
    EXPECT_EQ(0, s.count(0, 0, 800, 600, isRed));
    EXPECT_TRUE(zvtest::isWhite(s.at(74, 300)));

    auto flat = makeHistogram({1, 2, 3}, 0);
    s = drawAndGrab(flat);
    EXPECT_EQ(0, s.count(0, 0, 800, 600, isRed));
    EXPECT_TRUE(zvtest::isWhite(s.at(74, 300)));
}

TEST_F(HistogramGLTest, FrequenciesAreYAxisUnitsWhateverTheType) {
    struct Case {
        zv::ZVType type;
        std::vector<unsigned char> bytes;  // frequencies 2 and 3
    };
    const float f2 = 2.0f, f3 = 3.0f;
    std::vector<unsigned char> floats(8);
    std::memcpy(floats.data(), &f2, 4);
    std::memcpy(floats.data() + 4, &f3, 4);
    const Case cases[] = {
        {zv::ZV_UINT8, {2, 3}},
        {zv::ZV_INT32, {2, 0, 0, 0, 3, 0, 0, 0}},
        {zv::ZV_UINT32, {2, 0, 0, 0, 3, 0, 0, 0}},
        {zv::ZV_FLOAT32, floats},
    };
    for (const Case& k : cases) {
        auto h = std::make_shared<internal::hist_impl>(2, k.type);
        ASSERT_EQ(k.bytes.size(), h->size());
        h->setBarColor(1, 0, 0);
        h->setAxesLimits(1, 0, 4, 0);
        zvtest::fillBuffer(h->vbo(), k.bytes.data(), k.bytes.size());
        const zvtest::Snapshot s = drawAndGrab(h);
        EXPECT_NEAR(barTop(2, 4) - 42, redHeight(s, 200), 1.0) << k.type;
        EXPECT_NEAR(barTop(3, 4) - 42, redHeight(s, 600), 1.0) << k.type;
    }
}

TEST_F(HistogramGLTest, BufferSizeFollowsTheElementType) {
    struct Case {
        zv::ZVType type;
        size_t bytes;
    };
    for (const Case& k : {Case{zv::ZV_UINT8, 256}, Case{zv::ZV_INT32, 1024},
                          Case{zv::ZV_UINT32, 1024}, Case{zv::ZV_FLOAT32, 1024}}) {
        internal::hist_impl h(256, k.type);
        EXPECT_EQ(k.bytes, h.size()) << k.type;
        const zvtest::BufferInfo info = zvtest::arrayBufferInfo(h.vbo());
        EXPECT_EQ(static_cast<GLint>(k.bytes), info.bytes);
        EXPECT_EQ(GL_DYNAMIC_DRAW, info.usage);
    }
}

TEST_F(HistogramGLTest, UnsupportedTypesRaiseAndLeaveNoGLObject) {
    const long before = internal::liveGLObjects();
    for (zv::ZVType t : {zv::ZV_INT8, static_cast<zv::ZVType>(7)}) {
        try {
            zv::Histogram h(16, t);
            ADD_FAILURE() << "no exception for type " << t;
        } catch (const zv::TypeError& e) {
            EXPECT_EQ(1, e.argIndex());
            EXPECT_EQ(zv::ZV_ERR_TYPE, e.err());
            EXPECT_STREQ("Histogram::Histogram", e.functionName());
        }
    }
    EXPECT_EQ(before, internal::liveGLObjects());
    EXPECT_EQ(0u, window->group()->resources.count(internal::GROUP_CHART_FONT));
}

// One instanced draw takes at most 2^31 - 1 bars; more would allocate gigabytes and then
// draw nothing. The same limit holds for a plot's points.
TEST_F(HistogramGLTest, CountsBeyondOneDrawCallRaiseBeforeAnythingIsMade) {
    const long before = internal::liveGLObjects();
    for (unsigned n : {2147483648u, 4294967295u}) {
        try {
            zv::Histogram h(n, zv::ZV_UINT8);
            ADD_FAILURE() << "no exception for " << n << " bins";
        } catch (const zv::DimensionError& e) {
            EXPECT_EQ(1, e.argIndex());
            EXPECT_STREQ("Histogram::Histogram", e.functionName());
            EXPECT_NE(std::string(e.expectedCondition()).find("2147483647 bins"),
                      std::string::npos)
                << e.expectedCondition();
        }
        try {
            zv::Plot p(n, zv::ZV_UINT8);
            ADD_FAILURE() << "no exception for " << n << " points";
        } catch (const zv::DimensionError& e) {
            EXPECT_EQ(1, e.argIndex());
            EXPECT_STREQ("Plot::Plot", e.functionName());
            EXPECT_NE(std::string(e.expectedCondition()).find("2147483647 points"),
                      std::string::npos)
                << e.expectedCondition();
        }
    }
    EXPECT_EQ(before, internal::liveGLObjects());
    EXPECT_EQ(0u, window->group()->resources.count(internal::GROUP_CHART_FONT));
    // The type is still checked first.
    EXPECT_THROW(zv::Histogram(2147483648u, zv::ZV_INT8), zv::TypeError);
    zvtest::expectNoGLError("refused counts");
}

TEST_F(HistogramGLTest, BarColourStartsVisibleAndIsSetWithOpaqueAlpha) {
    auto h = std::make_shared<internal::hist_impl>(1, zv::ZV_FLOAT32);
    const float* c = h->barColor();
    EXPECT_EQ(1.0f, c[3]);
    EXPECT_GT(std::max({c[0], c[1], c[2]}), 0.7f);
    EXPECT_LT(std::min({c[0], c[1], c[2]}), 0.4f);
    const float one = 1.0f;
    zvtest::fillBuffer(h->vbo(), &one, sizeof(one));
    zvtest::Snapshot s = drawAndGrab(h);
    EXPECT_TRUE(zvtest::near(s.at(400, 300), {77, 153, 255, 255}, 3)) << s.at(400, 300);

    h->setBarColor(0.0f, 1.0f, 0.5f);
    EXPECT_EQ(0.0f, c[0]);
    EXPECT_EQ(1.0f, c[1]);
    EXPECT_EQ(0.5f, c[2]);
    EXPECT_EQ(1.0f, c[3]);
    s = drawAndGrab(h);
    EXPECT_TRUE(zvtest::near(s.at(400, 300), {0, 255, 128, 255}, 3)) << s.at(400, 300);
}

TEST_F(HistogramGLTest, VertexArraysAreMadeOncePerWindow) {
    auto h = makeHistogram({1, 2}, 2);
    window->draw(h);
    window->draw(h);
    EXPECT_EQ(1u, h->vertexArrays().size());
    auto second = std::make_shared<internal::window_impl>(400, 300, "second", window, true);
    second->draw(h);
    EXPECT_EQ(2u, h->vertexArrays().size());
    EXPECT_GT(zvtest::readBack(0, 0, 400, 300).count(0, 0, 400, 300, isRed), 1000);
    zvtest::expectChartStateRestored("draw in the second window");
}

TEST_F(HistogramGLTest, ChangesMadeWhileDrawnElsewhereReachEveryWindow) {
    // A context may keep its own copy of a shared program's uniforms; a value set while the
    // histogram was drawn in another window must still reach this one.
    auto h = makeHistogram({2, 2}, 4);
    auto second = std::make_shared<internal::window_impl>(800, 600, "second", window, true);
    window->draw(h);
    h->setAxesLimits(1, 0, 8, 0);
    h->setBarColor(0, 1, 0);
    second->draw(h);
    window->draw(h);
    const zvtest::Snapshot s = grab();
    EXPECT_NEAR(barTop(2, 8) - 42, zvtest::coverage(s, 200, 42, 201, 600, zvtest::GREEN), 1.0);
    EXPECT_TRUE(zvtest::near(s.at(200, 60), {0, 255, 0, 255}, 3)) << s.at(200, 60);
}

TEST_F(HistogramGLTest, HandlesShareOneHistogramAndDrawThroughTheWindow) {
    window.reset();
    zv::Window w(800, 600, "histograms", nullptr, true);
    zv::Histogram a(2, zv::ZV_FLOAT32);
    zv::Histogram b(a);
    zv::Histogram c(5, zv::ZV_UINT8);
    c = a;
    EXPECT_EQ(a.vbo(), b.vbo());
    EXPECT_EQ(a.vbo(), c.vbo());
    EXPECT_EQ(8u, c.size());
    b.setBarColor(1, 0, 0);
    c.setAxesLimits(4, 2, 8, 6);
    EXPECT_EQ(4.0f, a.xmax());
    EXPECT_EQ(2.0f, a.xmin());
    EXPECT_EQ(8.0f, b.ymax());
    EXPECT_EQ(6.0f, b.ymin());
    const float freq[2] = {4, 8};
    zvtest::fillBuffer(a.vbo(), freq, sizeof(freq));

    glEnable(GL_SCISSOR_TEST);
    w.draw(a);
    zvtest::Snapshot s = zvtest::readBack(0, 0, 800, 600);
    EXPECT_NEAR(barTop(4, 8) - 42, redHeight(s, 200), 1.0);
    EXPECT_NEAR(barTop(8, 8) - 42, redHeight(s, 600), 1.0);
    // The application's scissor test does not clip the draw and is on again afterwards.
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    glDisable(GL_SCISSOR_TEST);
    zvtest::expectChartStateRestored("Window::draw(histogram)");

    w.grid(2, 1);
    glEnable(GL_SCISSOR_TEST);
    w.draw(0, 1, b, nullptr);
    s = zvtest::readBack(0, 0, 800, 600);
    EXPECT_EQ(0, s.count(0, 300, 800, 600, isRed));
    EXPECT_GT(s.count(0, 0, 800, 300, isRed), 1000);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    glDisable(GL_SCISSOR_TEST);
    zvtest::expectChartStateRestored("Window::draw(column, row, histogram)");
    w.draw();
}
