// 2-D histograms, on real contexts: the counts read back from the count texture, the picture
// against matplotlib's for the same data in the same frame, fits, charts and bad input.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "gl/limits.hpp"
#include "hist2d/hist2d.hpp"
#include "support/chart_util.hpp"
#include "zarvo/chart.h"
#include "zarvo/exception.h"
#include "zarvo/histogram2d.h"
#include "zarvo/window.h"

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Inf = std::numeric_limits<float>::infinity();

// The counts of the last draw, row 0 at the lowest y.
std::vector<float> readCounts(const zv::Histogram2D& h) {
    std::vector<float> counts(static_cast<size_t>(h.binsX()) * h.binsY(), -1.0f);
    glBindTexture(GL_TEXTURE_2D, h.countTexture());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_FLOAT, counts.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    return counts;
}

// Red channel of a snapshot at (x, y) from the bottom left.
int grey(const zv::Snapshot& s, int x, int y) {
    return s.rgba[(static_cast<size_t>(s.height - 1 - y) * s.width + x) * 4];
}

// Counted by fragments with image atomics where the context has them, and as points drawn
// into the count texture otherwise: both ways, on the same data.
class Histogram2DCounting : public testing::TestWithParam<bool> {
protected:
    void SetUp() override { internal::withoutImageAtomicsForTests(GetParam()); }
    void TearDown() override { internal::withoutImageAtomicsForTests(false); }
};

TEST_P(Histogram2DCounting, CountsEveryPointInItsBinAndSkipsTheRest) {
    zv::Window w(800, 600, "2-D histogram", nullptr, true);
    // 4 x 3 bins of 1 x 1 over [0, 4] x [0, 3].
    const std::vector<float> points = {
        0.0f, 0.0f,   // lower corner: bin (0, 0)
        4.0f, 3.0f,   // upper corner: the last bin (3, 2)
        1.0f, 0.5f,   // on an inner edge: the bin above it, (1, 0)
        3.999f, 2.5f, // (3, 2)
        2.5f, 1.5f,   // (2, 1), on a row edge: row 1
        2.2f, 1.7f,   // (2, 1)
        2.9f, 1.0f,   // (2, 1)
        -0.1f, 1.0f,  4.1f, 1.0f, 1.0f, 3.5f, 1.0f, -1e-6f,  // outside
        NaN,   1.0f,  1.0f, NaN,  Inf,  1.0f, 1.0f, -Inf,    // not numbers
    };
    const unsigned n = static_cast<unsigned>(points.size() / 2);
    zv::Histogram2D h(n, 4, 3);
    EXPECT_EQ(n * 8u, h.size());
    h.setBinRange(0, 4, 0, 3);
    zvtest::fillBuffer(h.vbo(), points.data(), points.size() * sizeof(float));
    const std::vector<float> expected = {1, 1, 0, 0,  //
                                         0, 0, 3, 0,  //
                                         0, 0, 0, 2};
    for (int frame = 0; frame < 2; ++frame) {  // the bins start from zero every draw
        w.draw(h);
        EXPECT_EQ(expected, readCounts(h)) << "frame " << frame;
    }
    zvtest::expectChartStateRestored("2-D histogram draw");

    // Integer points take the same bins.
    const std::vector<unsigned char> bytes = {0, 0, 3, 2, 3, 2, 4, 3, 5, 0};
    zv::Histogram2D b(5, 4, 3, zv::ZV_UINT8);
    b.setBinRange(0, 4, 0, 3);
    zvtest::fillBuffer(b.vbo(), bytes.data(), bytes.size());
    w.draw(b);
    EXPECT_EQ((std::vector<float>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3}), readCounts(b));
}

INSTANTIATE_TEST_SUITE_P(BothWays, Histogram2DCounting, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& p) {
                             return p.param ? "AsPoints" : "ByFragments";
                         });

// Many points a fragment, points past the last fragment's share, points on edges, outside
// and not numbers: the fragments' counts equal the points', bin for bin; a histogram whose
// fragments would each take more points than a shader's loops run counts them as points;
// and the application's image unit is left as it was.
TEST(Histogram2D, CountingByFragmentsEqualsCountingPoints) {
    zv::Window w(800, 600, "2-D histogram", nullptr, true);
    if (!internal::imageAtomics()) GTEST_SKIP() << "no image atomics in this context";
    struct Case {
        unsigned n, nx, ny;
    };
    const Case cases[] = {{200003, 5, 3}, {100000, 256, 256}, {70000, 1, 1}, {7, 64, 64}};
    unsigned seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f;
    };
    GLuint appImage = 0;
    glGenTextures(1, &appImage);
    glBindTexture(GL_TEXTURE_2D, appImage);
    glTexStorage2D(GL_TEXTURE_2D, 1, GL_RGBA8, 4, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.n << " points, " << k.nx << " x " << k.ny);
        std::vector<float> points(2 * static_cast<size_t>(k.n));
        for (size_t i = 0; i < points.size(); ++i) {
            // Mostly inside [0, 2]^2, some outside, some on bin edges, a few NaN.
            const float u = next();
            points[i] = i % 97 == 0   ? NaN
                        : i % 13 == 0 ? std::floor(u * 2.0f * 16.0f) / 16.0f
                                      : -0.1f + 2.2f * u;
        }
        std::vector<float> counts[2];
        for (int asPoints = 0; asPoints < 2; ++asPoints) {
            internal::withoutImageAtomicsForTests(asPoints == 1);
            zv::Histogram2D h(k.n, k.nx, k.ny);
            // 70,000 points a fragment is more than a shader's loops run: counted as points.
            EXPECT_EQ(asPoints == 0 && k.nx > 1, h.get()->impl()->countsByFragments());
            h.setBinRange(0, 2, 0, 2);
            zvtest::fillBuffer(h.vbo(), points.data(), points.size() * sizeof(float));
            glBindImageTexture(0, appImage, 0, GL_FALSE, 0, GL_WRITE_ONLY, GL_RGBA8);
            w.draw(h);
            w.draw(h);  // the second draw starts from zero too
            GLint image = 0, access = 0, format = 0;
            glGetIntegeri_v(GL_IMAGE_BINDING_NAME, 0, &image);
            glGetIntegeri_v(GL_IMAGE_BINDING_ACCESS, 0, &access);
            glGetIntegeri_v(GL_IMAGE_BINDING_FORMAT, 0, &format);
            EXPECT_EQ(static_cast<GLint>(appImage), image);
            EXPECT_EQ(GL_WRITE_ONLY, access);
            EXPECT_EQ(GL_RGBA8, format);
            counts[asPoints] = readCounts(h);
        }
        internal::withoutImageAtomicsForTests(false);
        double total = 0.0;
        for (float c : counts[0]) total += c;
        EXPECT_GT(total, k.n > 100 ? 0.8 * k.n : 0.0);
        EXPECT_EQ(counts[1], counts[0]);
    }
    glBindImageTexture(0, 0, 0, GL_FALSE, 0, GL_READ_ONLY, GL_R8);
    glDeleteTextures(1, &appImage);
}

// The picture of tests/reference/hist2d_reference.py, whose measured numbers these are:
// 8 x 6 bins over [-2, 2] x [-1.5, 1.5], bin (i, j) holding (3 i + 5 j) % 7 points at its
// centre, in the frame of an 800 x 600 window, through the grey map, empty bins black.
struct Reference {
    bool log;
    int grey[6][8];  // at each bin's centre, bin row 0 first
};
constexpr int X_EDGES[] = {163, 252, 342, 431, 520, 609, 699};  // first pixel of bins 1..7
constexpr int Y_EDGES[] = {132, 224, 316, 407, 499};             // of bin rows 1..5
const Reference REFERENCES[] = {
    {false,
     {{0, 128, 255, 85, 213, 42, 170, 0},
      {213, 42, 170, 0, 128, 255, 85, 213},
      {128, 255, 85, 213, 42, 170, 0, 128},
      {42, 170, 0, 128, 255, 85, 213, 42},
      {255, 85, 213, 42, 170, 0, 128, 255},
      {170, 0, 128, 255, 85, 213, 42, 170}}},
    {true,
     {{0, 156, 255, 99, 229, 0, 198, 0},
      {229, 0, 198, 0, 156, 255, 99, 229},
      {156, 255, 99, 229, 0, 198, 0, 156},
      {0, 198, 0, 156, 255, 99, 229, 0},
      {255, 99, 229, 0, 198, 0, 156, 255},
      {198, 0, 156, 255, 99, 229, 0, 198}}},
};
constexpr double LEFT = 74.2375, RIGHT = 788.2375, BOTTOM = 40.583333, TOP = 590.583333;

// Pixels along a row or column where the grey changes, from `from` to `to`.
std::vector<int> changes(const zv::Snapshot& s, bool alongX, int at, int from, int to) {
    std::vector<int> out;
    for (int k = from + 1; k < to; ++k) {
        const int a = alongX ? grey(s, k - 1, at) : grey(s, at, k - 1);
        const int b = alongX ? grey(s, k, at) : grey(s, at, k);
        if (std::abs(a - b) > 2) out.push_back(k);
    }
    return out;
}

TEST(Histogram2D, PictureMatchesMatplotlibForTheSameData) {
    zv::Window w(800, 600, "2-D histogram", nullptr, true);
    std::vector<float> points;
    for (int j = 0; j < 6; ++j)
        for (int i = 0; i < 8; ++i)
            for (int k = 0; k < (3 * i + 5 * j) % 7; ++k) {
                points.push_back(-2.0f + (i + 0.5f) * 0.5f);
                points.push_back(-1.5f + (j + 0.5f) * 0.5f);
            }
    zv::Histogram2D h(static_cast<unsigned>(points.size() / 2), 8, 6);
    zvtest::fillBuffer(h.vbo(), points.data(), points.size() * sizeof(float));
    h.setBinRange(-2, 2, -1.5f, 1.5f);
    h.fitAxesToData();
    EXPECT_EQ(2.0f, h.xmax());
    EXPECT_EQ(-1.5f, h.ymin());
    for (const Reference& ref : REFERENCES) {
        SCOPED_TRACE(ref.log ? "logarithmic" : "linear");
        h.setLogScale(ref.log);
        w.draw(h);
        const zv::Snapshot s = w.snapshot();
        for (int j = 0; j < 6; ++j)
            for (int i = 0; i < 8; ++i) {
                const int x = static_cast<int>(LEFT + (i + 0.5) * (RIGHT - LEFT) / 8);
                const int y = static_cast<int>(BOTTOM + (j + 0.5) * (TOP - BOTTOM) / 6);
                EXPECT_NEAR(ref.grey[j][i], grey(s, x, y), 2) << "bin " << i << ", " << j;
            }
        // Inner edges, along the middle of bin row 3 and bin column 3.
        const std::vector<int> xs = changes(s, true, 364, 80, 780);
        const std::vector<int> ys = changes(s, false, 386, 50, 585);
        ASSERT_EQ(std::size(X_EDGES), xs.size());
        ASSERT_EQ(std::size(Y_EDGES), ys.size());
        for (size_t k = 0; k < xs.size(); ++k) EXPECT_NEAR(X_EDGES[k], xs[k], 1) << k;
        for (size_t k = 0; k < ys.size(); ++k) EXPECT_NEAR(Y_EDGES[k], ys[k], 1) << k;
    }
}

// In a chart the bins' rectangle is fitted as a plot's points are, with the chart's margin,
// and the histogram's swatch stands in the legend.
TEST(Histogram2D, InAChartFitsToTheBinsAndShowsInTheLegend) {
    zv::Window w(800, 600, "2-D histogram", nullptr, true);
    const float points[4] = {1.0f, 1.0f, 3.0f, 5.0f};
    zv::Histogram2D h(2, 2, 2);
    h.setBinRange(0, 4, 0, 8);
    h.setSwatchColor(1, 0, 0);
    zvtest::fillBuffer(h.vbo(), points, sizeof(points));
    zv::Chart c;
    c.add(h, "density");
    c.fitAxesToData();
    EXPECT_NEAR(-0.2f, c.xmin(), 1e-5);
    EXPECT_NEAR(4.2f, c.xmax(), 1e-5);
    EXPECT_NEAR(-0.4f, c.ymin(), 1e-5);
    EXPECT_NEAR(8.4f, c.ymax(), 1e-5);
    w.draw(c);
    const zv::Snapshot s = w.snapshot();
    int red = 0, white = 0;
    for (size_t p = 0; p < s.rgba.size(); p += 4) {
        const unsigned char* px = &s.rgba[p];
        red += px[0] > 200 && px[1] < 50 && px[2] < 50;
        white += px[0] > 250 && px[1] > 250 && px[2] > 250;
    }
    EXPECT_GT(red, 20) << "the legend's swatch";
    // Two bins of one point each: the largest count, the grey map's white, fills each.
    EXPECT_GT(white, 2 * 300 * 100);
}

TEST(Histogram2D, BadInputIsRefusedWithAdvice) {
    zv::Window w(800, 600, "2-D histogram", nullptr, true);
    GLint most = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &most);
    struct Case {
        unsigned npoints, nx, ny;
        zv::ZVType type;
        int argIndex;
        bool typeError;
    };
    const Case cases[] = {
        {10, 0, 4, zv::ZV_FLOAT32, 2, false},
        {10, 4, 0, zv::ZV_FLOAT32, 3, false},
        {10, static_cast<unsigned>(most) + 1, 4, zv::ZV_FLOAT32, 2, false},
        {10, 4, static_cast<unsigned>(most) + 1, zv::ZV_FLOAT32, 3, false},
        {0x80000000u, 4, 4, zv::ZV_FLOAT32, 1, false},
        {10, 4, 4, zv::ZV_INT8, 4, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.npoints << " " << k.nx << " " << k.ny);
        try {
            zv::Histogram2D h(k.npoints, k.nx, k.ny, k.type);
            ADD_FAILURE() << "accepted";
        } catch (const zv::TypeError& e) {
            EXPECT_TRUE(k.typeError);
            EXPECT_EQ(k.argIndex, e.argIndex());
        } catch (const zv::DimensionError& e) {
            EXPECT_FALSE(k.typeError);
            EXPECT_EQ(k.argIndex, e.argIndex());
            EXPECT_STRNE("", e.expectedCondition()) << e.what();
        }
    }
    zv::Histogram2D h(4, 2, 2);
    const float bad[][4] = {{NaN, 1, 0, 1}, {0, Inf, 0, 1}, {1, 1, 0, 1}, {0, 1, 2, 1}};
    for (const auto& r : bad) {
        EXPECT_THROW(h.setBinRange(r[0], r[1], r[2], r[3]), zv::ArgumentError);
    }
    EXPECT_EQ(0.0f, h.binXMin());  // unchanged
    EXPECT_EQ(1.0f, h.binYMax());
    // A buffer still mapped is named before anything is drawn.
    glBindBuffer(GL_ARRAY_BUFFER, h.vbo());
    glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY);
    EXPECT_THROW(w.draw(h), zv::Error);
    glBindBuffer(GL_ARRAY_BUFFER, h.vbo());
    glUnmapBuffer(GL_ARRAY_BUFFER);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_NO_THROW(w.draw(h));
}

}  // namespace
