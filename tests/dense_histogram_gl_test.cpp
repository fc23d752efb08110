// Histograms of more bins than their frame has pixel columns, read back from the resolved
// picture: one bar per column at the column's highest bin, the same picture as every bin
// drawn where the bins change slowly, and a single bin far thinner than a pixel still shown
// at its height, in every element type, whole window and cell.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "histogram/hist_impl.hpp"
#include "support/chart_util.hpp"
#include "support/frame_ink.hpp"
#include "support/gl_test.hpp"
#include "window/window_impl.hpp"

namespace {

using zvtest::FrameBox;
using zvtest::ink;

// Lowest and highest inked row of pixel column x inside the frame, (-1, -1) when none.
struct Extent {
    int lo, hi;
};
Extent inkIn(const zv::Snapshot& s, int x, const FrameBox& f) {
    Extent e{-1, -1};
    for (int y = int(std::ceil(f.bottom)) + 1; y < int(std::floor(f.top)) - 1; ++y) {
        if (ink(s, x, y) < 100) continue;
        if (e.lo < 0) e.lo = y;
        e.hi = y;
    }
    return e;
}

class DenseHistogramGLTest : public zvtest::GLTest {
protected:
    std::shared_ptr<internal::hist_impl> makeHistogram(unsigned bins, zv::ZVType type,
                                                      const void* data, size_t bytes,
                                                      float ymax) {
        auto h = std::make_shared<internal::hist_impl>(bins, type);
        h->setBarColor(1.0f, 0.0f, 0.0f);
        h->setAxesLimits(1.0f, 0.0f, ymax, 0.0f);
        zvtest::fillBuffer(h->vbo(), data, bytes);
        return h;
    }
    // Draws over the whole window, then into cell (1, 1) of a 2 x 2 grid.
    void drawBoth(const std::shared_ptr<internal::hist_impl>& h, zv::Snapshot out[2]) {
        window->draw(h);
        out[0] = window->snapshot();
        window->grid(2, 2);
        window->draw(1, 1, h, nullptr);
        window->draw();
        out[1] = window->snapshot();
        zvtest::expectNoGLError("histogram draws");
    }
    FrameBox frames[2] = {zvtest::wholeWindowFrame(W, H),
                          zvtest::cellFrame(internal::cellLayout(W, H, 2, 2, 1, 1))};
};

// Slowly changing bins: each column's bins are nearly of one height, so every bin drawn and
// one bar per column give the same picture; the column bars are a few hundred triangles.
TEST_F(DenseHistogramGLTest, ColumnBarsDrawWhatEveryBinDraws) {
    const unsigned bins = 200000;
    std::vector<float> f(bins);
    for (unsigned i = 0; i < bins; ++i)
        f[i] = 0.5f + 0.4f * std::sin(6.2831853f * 3.0f * float(i) / float(bins));
    auto h = makeHistogram(bins, zv::ZV_FLOAT32, f.data(), f.size() * 4, 1.0f);
    zv::Snapshot pictures[2][2];  // [every bin, column bars][whole window, cell]
    GLuint primitives[2] = {0, 0};
    GLuint query = 0;
    glGenQueries(1, &query);
    for (int columns = 0; columns < 2; ++columns) {
        h->setColumnBars(columns == 1);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        drawBoth(h, pictures[columns]);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &primitives[columns]);
    }
    glDeleteQueries(1, &query);
    ASSERT_NE(h->columnBars(), nullptr);
    EXPECT_GE(primitives[0], 2 * bins);
    EXPECT_LT(primitives[1], bins / 20);
    for (int area = 0; area < 2; ++area) {
        SCOPED_TRACE(area == 0 ? "whole window" : "cell");
        const FrameBox& fb = frames[area];
        int apart = 0, inked = 0;
        for (int x = int(std::ceil(fb.left)) + 2; x < int(std::floor(fb.right)) - 2; ++x) {
            const Extent a = inkIn(pictures[0][area], x, fb), b = inkIn(pictures[1][area], x, fb);
            inked += b.hi >= 0 ? 1 : 0;
            // The rasteriser's samples see a few of the column's bins, the column bar the
            // highest of all: it may stand higher by as much as the bins rise in the column.
            const double w = fb.right - fb.left;
            const unsigned first = unsigned(std::max(0.0, (x - fb.left) / w * bins));
            const unsigned last = std::min(bins - 1, unsigned((x + 1 - fb.left) / w * bins));
            const auto mm = std::minmax_element(f.begin() + first, f.begin() + last + 1);
            const double rise = (fb.top - fb.bottom) * (*mm.second - *mm.first);
            if (std::abs(a.lo - b.lo) > 1 || b.hi < a.hi - 1 || b.hi > a.hi + 1 + rise) {
                if (++apart <= 5)
                    ADD_FAILURE() << "column " << x << ": every bin inks " << a.lo << " to "
                                  << a.hi << ", column bars " << b.lo << " to " << b.hi;
            }
        }
        EXPECT_EQ(apart, 0);
        EXPECT_GT(inked, area == 0 ? 650 : 250);
        if (HasFailure())
            ADD_FAILURE() << "pictures "
                          << zvtest::savePicture(pictures[0][area], "DenseHist_every") << " and "
                          << zvtest::savePicture(pictures[1][area], "DenseHist_columns");
    }
}

// All bins empty but one, a hundredth of a pixel wide: its column shows it at its height
// (the highest bin of the column), and no other column has ink. In every element type.
TEST_F(DenseHistogramGLTest, ABinThinnerThanAPixelShowsAtItsHeight) {
    struct Case {
        const char* name;
        zv::ZVType type;
        size_t size;
        float peak, ymax;
    };
    const Case cases[] = {{"float", zv::ZV_FLOAT32, 4, 0.75f, 1.0f},
                          {"uint8", zv::ZV_UINT8, 1, 192.0f, 256.0f},
                          {"int32", zv::ZV_INT32, 4, 3000.0f, 4000.0f},
                          {"uint32", zv::ZV_UINT32, 4, 3000.0f, 4000.0f}};
    const unsigned bins = 100000;
    const unsigned peakBin = 61803;  // somewhere inside a column, not on its edge
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> data(bins * c.size, 0);
        if (c.type == zv::ZV_FLOAT32) {
            std::memcpy(&data[peakBin * 4], &c.peak, 4);
        } else if (c.type == zv::ZV_UINT8) {
            data[peakBin] = static_cast<unsigned char>(c.peak);
        } else {
            const int32_t v = static_cast<int32_t>(c.peak);
            std::memcpy(&data[peakBin * 4], &v, 4);
        }
        auto h = makeHistogram(bins, c.type, data.data(), data.size(), c.ymax);
        zv::Snapshot pictures[2];
        drawBoth(h, pictures);
        for (int area = 0; area < 2; ++area) {
            SCOPED_TRACE(area == 0 ? "whole window" : "cell");
            const FrameBox& fb = frames[area];
            const double xPeak =
                fb.left + (fb.right - fb.left) * (peakBin + 0.5) / static_cast<double>(bins);
            const double yPeak = fb.bottom + (fb.top - fb.bottom) * c.peak / c.ymax;
            int inkedColumns = 0;
            for (int x = int(std::ceil(fb.left)) + 2; x < int(std::floor(fb.right)) - 2; ++x) {
                const Extent e = inkIn(pictures[area], x, fb);
                if (e.hi < 0) continue;
                ++inkedColumns;
                EXPECT_EQ(x, int(std::floor(xPeak))) << "ink in column " << x;
                EXPECT_NEAR(e.hi + 1, yPeak, 1.0) << "top of the bar in column " << x;
            }
            EXPECT_EQ(inkedColumns, 1);
        }
    }
}

// Columns of far more bins than one shader invocation may loop over (the software rasteriser
// stops a loop after 65,535 iterations, silently): a tall bin deep inside its column's run
// still raises the column's bar, and no other column stands taller than the rest.
TEST_F(DenseHistogramGLTest, ColumnsOfMoreBinsThanAShaderLoops) {
    const int rows = 2, cols = 4;
    const zvtest::FrameBox fb = zvtest::cellFrame(internal::cellLayout(W, H, rows, cols, 1, 1));
    const double width = fb.right - fb.left;
    ASSERT_GT(width, 40.0) << "the tall bins' columns lie inside the frame";
    const unsigned bins = static_cast<unsigned>(140000.0 * width);  // 140,000 a column
    std::vector<unsigned char> data(bins, 10);
    std::vector<int> tall;
    for (int k = 0; k < 8; ++k) {
        const int x = int(std::ceil(fb.left)) + 3 + 4 * k;
        const double start = std::ceil((x - fb.left) / width * bins);
        data[static_cast<size_t>(start) + 100000] = 200;  // past 65,535 into the column
        tall.push_back(x);
    }
    auto h = makeHistogram(bins, zv::ZV_UINT8, data.data(), data.size(), 256.0f);
    window->grid(rows, cols);
    window->draw(1, 1, h, nullptr);
    window->draw();
    const zv::Snapshot s = window->snapshot();
    zvtest::expectNoGLError("dense columns");
    const double yTall = fb.bottom + (fb.top - fb.bottom) * 200.0 / 256.0;
    const double yLow = fb.bottom + (fb.top - fb.bottom) * 10.0 / 256.0;
    for (int x = int(std::ceil(fb.left)) + 2; x < int(std::floor(fb.right)) - 2; ++x) {
        const Extent e = inkIn(s, x, fb);
        const bool isTall = std::find(tall.begin(), tall.end(), x) != tall.end();
        if (isTall)
            EXPECT_NEAR(e.hi + 1, yTall, 1.5) << "tall bin's column " << x;
        else
            EXPECT_NEAR(e.hi + 1, yLow, 1.5) << "column " << x;
    }
}

}  // namespace
