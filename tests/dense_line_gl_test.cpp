// Dense lines, read back from the resolved picture of a 4x-multisampled window: every pixel
// column the data crosses has ink, and all ink lies within a pixel of the data, at every
// density, for a steep monotonic curve and a self-crossing figure, whole window and cell.
// Also the line width: thickness drawn and bad widths refused; and the markers of a dense
// line, stamped from a bitmap of their pixels, against the markers drawn one by one.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "chart/chart_layout.hpp"
#include "plot/plot_impl.hpp"
#include "support/chart_util.hpp"
#include "support/frame_ink.hpp"
#include "support/gl_test.hpp"
#include "window/window_impl.hpp"
#include "zarvo/exception.h"

namespace {

constexpr double PI = 3.14159265358979323846;

struct Curve {
    const char* name;
    float xmin, xmax, ymin, ymax;  // axis limits
    std::vector<float> (*points)(unsigned n);
};

// Steep in the middle, flat on both sides: the flat parts have many points per column.
std::vector<float> tanhStep(unsigned n) {
    std::vector<float> v(2 * size_t(n));
    for (unsigned i = 0; i < n; ++i) {
        const double x = 2.0 * PI * i / (n - 1);
        v[2 * i] = static_cast<float>(x);
        v[2 * i + 1] = static_cast<float>(std::tanh(12.0 * (x - PI)));
    }
    return v;
}

// x runs back and forth: no ordering to rely on, and the line crosses itself.
std::vector<float> lissajous(unsigned n) {
    std::vector<float> v(2 * size_t(n));
    for (unsigned i = 0; i < n; ++i) {
        const double t = 2.0 * PI * i / (n - 1);
        v[2 * i] = static_cast<float>(std::sin(3.0 * t + PI / 2.0));
        v[2 * i + 1] = static_cast<float>(std::sin(2.0 * t));
    }
    return v;
}

// The step on logarithmic axes: x over three decades, y from 0.1 to 10; with `holes`, every
// 1000th y is zero (no logarithm: the line is cut there).
std::vector<float> logStep(unsigned n, bool holes) {
    std::vector<float> v(2 * size_t(n));
    for (unsigned i = 0; i < n; ++i) {
        const double t = double(i) / (n - 1);
        v[2 * i] = static_cast<float>(std::pow(10.0, 3.0 * t));
        v[2 * i + 1] = holes && i % 1000 == 500
                           ? 0.0f
                           : static_cast<float>(std::pow(10.0, std::tanh(12.0 * (t - 0.5))));
    }
    return v;
}
std::vector<float> logStep(unsigned n) { return logStep(n, false); }
std::vector<float> logStepWithHoles(unsigned n) { return logStep(n, true); }

const Curve CURVES[] = {
    {"tanh", 0.0f, static_cast<float>(2.0 * PI), -1.3f, 1.3f, tanhStep},
    {"lissajous", -1.2f, 1.2f, -1.2f, 1.2f, lissajous},
};
const unsigned DENSITIES[] = {1000, 2000, 20000, 1000000};

using zvtest::cellFrame;
using zvtest::FrameBox;
using zvtest::ink;
using zvtest::wholeWindowFrame;

// Per pixel column, the vertical extent of the polyline over a horizontal range: `crossed`
// over the column itself, [lo, hi] over the column widened by the line's half width on each
// side (what ink the line may rightly put there).
struct ColumnSpans {
    std::vector<char> crossed;
    std::vector<double> lo, hi;
};

ColumnSpans spans(const std::vector<float>& xy, const Curve& c, const FrameBox& f, int width,
                  double halfWidth) {
    ColumnSpans s;
    s.crossed.assign(width, 0);
    s.lo.assign(width, std::numeric_limits<double>::infinity());
    s.hi.assign(width, -std::numeric_limits<double>::infinity());
    const size_t n = xy.size() / 2;
    auto px = [&](size_t i) {
        return f.left + (f.right - f.left) * (xy[2 * i] - c.xmin) / (c.xmax - c.xmin);
    };
    auto py = [&](size_t i) {
        return f.bottom + (f.top - f.bottom) * (xy[2 * i + 1] - c.ymin) / (c.ymax - c.ymin);
    };
    for (size_t i = 0; i + 1 < n; ++i) {
        double x0 = px(i), y0 = py(i), x1 = px(i + 1), y1 = py(i + 1);
        if (x1 < x0) {
            std::swap(x0, x1);
            std::swap(y0, y1);
        }
        // The segment's y over [a, b], clipped to it.
        auto yAt = [&](double x) {
            return x1 == x0 ? y0 : y0 + (y1 - y0) * (std::clamp(x, x0, x1) - x0) / (x1 - x0);
        };
        const int c0 = std::max(0, int(std::floor(x0 - halfWidth)));
        const int c1 = std::min(width - 1, int(std::floor(x1 + halfWidth)));
        for (int col = c0; col <= c1; ++col) {
            const double a = col - halfWidth, b = col + 1 + halfWidth;
            if (b < x0 || a > x1) continue;
            const double ya = yAt(a), yb = yAt(b);
            s.lo[col] = std::min({s.lo[col], ya, yb});
            s.hi[col] = std::max({s.hi[col], ya, yb});
            if (x1 >= col && x0 <= col + 1) s.crossed[col] = 1;
        }
    }
    return s;
}

// One sample of four is 64: anything the line touched at all.
constexpr int ANY_INK = 40;
// Two samples of four, the least a band a pixel wide leaves in the column it crosses
// most (the samples of a pixel sit at four different heights).
constexpr int SOLID_INK = 100;

// Checks the columns strictly inside the frame (the white border is drawn over its edge
// columns): each one the data crosses has solid ink, and no ink is farther than a pixel from
// where the data may put it. Returns the number of columns checked.
int expectInkFollowsData(const zv::Snapshot& snap, const std::vector<float>& xy,
                         const Curve& c, const FrameBox& f, double halfWidth) {
    const ColumnSpans s = spans(xy, c, f, snap.width, halfWidth);
    const int x0 = int(std::ceil(f.left)) + 2, x1 = int(std::floor(f.right)) - 2;
    const int y0 = int(std::ceil(f.bottom)) + 2, y1 = int(std::floor(f.top)) - 2;
    int checked = 0, unInked = 0, stray = 0;
    for (int x = x0; x < x1; ++x) {
        int most = 0;
        for (int y = y0; y < y1; ++y) {
            const int v = ink(snap, x, y);
            most = std::max(most, v);
            if (v < ANY_INK) continue;
            // Pixel row y spans [y, y + 1]; it must come within a pixel of the data's span.
            const bool near = s.lo[x] <= s.hi[x] && y + 1 >= s.lo[x] - halfWidth - 1.0 &&
                              y <= s.hi[x] + halfWidth + 1.0;
            if (!near && ++stray <= 5)
                ADD_FAILURE() << "ink " << v << " at (" << x << ", " << y << "), data spans "
                              << s.lo[x] << " to " << s.hi[x];
        }
        if (!s.crossed[x]) continue;
        ++checked;
        if (most < SOLID_INK && ++unInked <= 5)
            ADD_FAILURE() << "column " << x << " crossed by the data has ink " << most
                          << " at most, data spans " << s.lo[x] << " to " << s.hi[x];
    }
    EXPECT_EQ(unInked, 0) << "columns crossed but not inked";
    EXPECT_EQ(stray, 0) << "ink pixels farther than 1 px from the data";
    return checked;
}

// Compares two resolved pictures column by column inside a frame: the lowest and highest
// inked row of each column within a pixel of each other, and few pixels whose ink differs
// by more than a sample's worth and a half (edges may round either way).
void expectSamePicture(const zv::Snapshot& a, const zv::Snapshot& b, const FrameBox& f) {
    const int x0 = int(std::ceil(f.left)) + 2, x1 = int(std::floor(f.right)) - 2;
    const int y0 = int(std::ceil(f.bottom)) + 2, y1 = int(std::floor(f.top)) - 2;
    int columnsApart = 0, pixelsApart = 0, inked = 0;
    for (int x = x0; x < x1; ++x) {
        int loA = y1, hiA = -1, loB = y1, hiB = -1;
        for (int y = y0; y < y1; ++y) {
            const int ia = ink(a, x, y), ib = ink(b, x, y);
            if (ia >= ANY_INK) loA = std::min(loA, y), hiA = std::max(hiA, y);
            if (ib >= ANY_INK) loB = std::min(loB, y), hiB = std::max(hiB, y);
            if (ia >= ANY_INK || ib >= ANY_INK) ++inked;
            if (std::abs(ia - ib) > 96) ++pixelsApart;
        }
        if ((hiA < 0) != (hiB < 0) || std::abs(loA - loB) > 1 || std::abs(hiA - hiB) > 1) {
            if (++columnsApart <= 5)
                ADD_FAILURE() << "column " << x << ": ink from " << loA << " to " << hiA
                              << " against " << loB << " to " << hiB;
        }
    }
    EXPECT_EQ(columnsApart, 0);
    EXPECT_LE(pixelsApart, inked / 50) << "of " << inked << " inked pixels";
    EXPECT_GT(inked, 500);
}

class DenseLineGLTest : public zvtest::GLTest {
protected:
    std::shared_ptr<internal::plot_impl> makePlot(const std::vector<float>& xy, const Curve& c) {
        auto p = std::make_shared<internal::plot_impl>(unsigned(xy.size() / 2), zv::ZV_FLOAT32,
                                                       zv::ZV_MARKER_NONE);
        p->setColor(0xFF0000FF);
        p->setAxesLimits(c.xmax, c.xmin, c.ymax, c.ymin);
        zvtest::fillBuffer(p->vbo(), xy.data(), xy.size() * sizeof(float));
        return p;
    }
    void saveOnFailure(const zv::Snapshot& s, const std::string& name) {
        if (HasFailure()) ADD_FAILURE() << "picture written to " << zvtest::savePicture(s, name);
    }
};

// The window is multisampled: the resolved picture is what a user sees. With level of detail
// (the default) the dense monotonic cases are drawn reduced, the others in full.
TEST_F(DenseLineGLTest, EveryCrossedColumnIsInkedNearTheDataWholeWindowAndCell) {
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    EXPECT_GE(samples, 4) << "the ink checks are meant for a multisampled window";
    for (const Curve& c : CURVES) {
        for (unsigned n : DENSITIES) {
            for (bool lod : {true, false}) {
                const std::vector<float> xy = c.points(n);
                auto plot = makePlot(xy, c);
                plot->setLevelOfDetail(lod);
                const std::string name = std::string(c.name) + "_" + std::to_string(n) +
                                         (lod ? "_lod" : "_full");

                SCOPED_TRACE(name + ", whole window");
                window->draw(plot);
                zvtest::expectNoGLError("whole-window draw");
                zv::Snapshot whole = window->snapshot();
                EXPECT_GT(expectInkFollowsData(whole, xy, c, wholeWindowFrame(W, H), 0.5), 550);
                saveOnFailure(whole, "DenseLine_window_" + name);

                SCOPED_TRACE(name + ", cell (1, 0) of a 2 x 2 grid");
                window->grid(2, 2);
                window->draw(1, 0, plot, nullptr);
                window->draw();
                zvtest::expectNoGLError("cell draw");
                zv::Snapshot cell = window->snapshot();
                const internal::CellLayout cl = internal::cellLayout(W, H, 2, 2, 1, 0);
                EXPECT_GT(expectInkFollowsData(cell, xy, c, cellFrame(cl), 0.5), 200);
                saveOnFailure(cell, "DenseLine_cell_" + name);
            }
        }
    }
}

// A flat line a given width thick: the ink's total in a column is the width (a pixel's
// worth of ink per pixel of width), centred on the data.
TEST_F(DenseLineGLTest, LineWidthSetsTheInkedThicknessAroundTheData) {
    const Curve flat{"flat", 0.0f, 1.0f, 0.0f, 1.0f, nullptr};
    const std::vector<float> xy = {0.0f, 0.5f, 1.0f, 0.5f};
    auto plot = makePlot(xy, flat);
    const FrameBox f = wholeWindowFrame(W, H);
    const double yData = 0.5 * (f.bottom + f.top);
    for (float width : {1.0f, 3.0f, 7.5f}) {
        SCOPED_TRACE(width);
        plot->setLineWidth(width);
        EXPECT_EQ(plot->lineWidth(), width);
        window->draw(plot);
        const zv::Snapshot s = window->snapshot();
        for (int x : {200, 400, 600}) {
            double sum = 0.0, moment = 0.0;
            for (int y = int(f.bottom) + 2; y < int(f.top) - 2; ++y) {
                const double v = ink(s, x, y) / 255.0;
                sum += v;
                moment += v * (y + 0.5);
            }
            EXPECT_NEAR(sum, width, 0.3) << "column " << x;
            EXPECT_NEAR(moment / sum, yData, 0.3) << "column " << x;
        }
    }
}

// A line narrower than a pixel would slip between the samples and leave most crossed columns
// blank; it is drawn a pixel wide, reduced or in full, the picture of width 1.
TEST_F(DenseLineGLTest, HairThinLinesInkEveryCrossedColumn) {
    const Curve& c = CURVES[0];
    const std::vector<float> xy = c.points(2000);
    const FrameBox f = wholeWindowFrame(W, H);
    for (bool lod : {true, false}) {
        auto plot = makePlot(xy, c);
        plot->setLevelOfDetail(lod);
        window->draw(plot);
        const zv::Snapshot one = window->snapshot();
        for (float width : {1e-9f, 0.3f}) {
            SCOPED_TRACE(testing::Message() << "width " << width << (lod ? ", reduced" : ""));
            plot->setLineWidth(width);
            EXPECT_EQ(width, plot->lineWidth());
            window->draw(plot);
            const zv::Snapshot thin = window->snapshot();
            EXPECT_GT(expectInkFollowsData(thin, xy, c, f, 0.5), 550);
            expectSamePicture(thin, one, f);
            saveOnFailure(thin, "DenseLine_thin");
        }
    }
}

TEST_F(DenseLineGLTest, BadLineWidthsRaiseAndKeepTheWidth) {
    auto plot = std::make_shared<internal::plot_impl>(2u, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
    plot->setLineWidth(2.5f);
    for (float bad : {0.0f, -1.0f, 1000.5f, std::numeric_limits<float>::infinity(),
                      std::numeric_limits<float>::quiet_NaN()}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(plot->setLineWidth(bad), zv::ArgumentError);
        EXPECT_EQ(plot->lineWidth(), 2.5f);
    }
    for (float good : {0.25f, 1000.0f}) {
        plot->setLineWidth(good);
        EXPECT_EQ(plot->lineWidth(), good);
    }
}

// The reduced line draws what the full line draws; on data not ordered by x the GPU falls
// back to the full line, so the two pictures are the same there too.
TEST_F(DenseLineGLTest, LevelOfDetailDrawsWhatTheFullLineDraws) {
    struct Case {
        const Curve& curve;
        unsigned n;
        bool ordered;  // and reducible: on logarithmic axes, every point has its logarithms
        bool log;
    };
    const Curve logCurve{"log", 1.0f, 1000.0f, 0.05f, 20.0f, logStep};
    const Curve holed{"log_holes", 1.0f, 1000.0f, 0.05f, 20.0f, logStepWithHoles};
    const Case cases[] = {{CURVES[0], 20000, true, false},
                          {CURVES[0], 1000000, true, false},
                          {CURVES[1], 1000000, false, false},
                          {logCurve, 1000000, true, true},
                          {holed, 200000, false, true}};
    const internal::CellLayout cl = internal::cellLayout(W, H, 2, 2, 0, 1);
    for (const Case& k : cases) {
        const std::vector<float> xy = k.curve.points(k.n);
        auto plot = makePlot(xy, k.curve);
        plot->setLogAxes(k.log, k.log);
        const std::string name = std::string(k.curve.name) + "_" + std::to_string(k.n);
        zv::Snapshot pictures[2][2];  // [whole window, cell][full, reduced]
        GLuint primitives[2] = {0, 0};  // of the whole-window draw: which line was drawn
        GLuint query = 0;
        glGenQueries(1, &query);
        for (int lod = 0; lod < 2; ++lod) {
            plot->setLevelOfDetail(lod == 1);
            glBeginQuery(GL_PRIMITIVES_GENERATED, query);
            window->draw(plot);
            glEndQuery(GL_PRIMITIVES_GENERATED);
            glGetQueryObjectuiv(query, GL_QUERY_RESULT, &primitives[lod]);
            pictures[0][lod] = window->snapshot();
            window->grid(2, 2);
            window->draw(0, 1, plot, nullptr);
            window->draw();
            pictures[1][lod] = window->snapshot();
            zvtest::expectNoGLError("draws");
        }
        glDeleteQueries(1, &query);
        ASSERT_NE(plot->lod(), nullptr) << name << ": the reduction was never used";
        // The full line is two triangles a segment; the reduced one a few thousand in all,
        // and the GPU picks the full line for points not ordered by x (or without a
        // logarithm; the segments to those are cut away, hence "a segment" at most).
        EXPECT_GE(primitives[0], (k.log ? 1 : 2) * (k.n - 1)) << name;
        if (k.ordered)
            EXPECT_LT(primitives[1], k.n / 5) << name;
        else
            EXPECT_GE(primitives[1], (k.log ? 1 : 2) * (k.n - 1)) << name;
        SCOPED_TRACE(name + ", whole window");
        expectSamePicture(pictures[0][0], pictures[0][1], wholeWindowFrame(W, H));
        saveOnFailure(pictures[0][1], "DenseLineLod_window_" + name);
        SCOPED_TRACE(name + ", cell (0, 1) of a 2 x 2 grid");
        expectSamePicture(pictures[1][0], pictures[1][1], cellFrame(cl));
        saveOnFailure(pictures[1][1], "DenseLineLod_cell_" + name);
    }
}

// A plot whose points are ordered in one frame and not in the next is drawn right in both,
// the choice made anew on the GPU each frame.
TEST_F(DenseLineGLTest, LevelOfDetailFollowsTheDataFromFrameToFrame) {
    const Curve& c = CURVES[1];
    const unsigned n = 200000;
    std::vector<float> ordered(2 * size_t(n));
    for (unsigned i = 0; i < n; ++i) {
        ordered[2 * i] = c.xmin + 0.1f + 2.0f * float(i) / float(n);
        ordered[2 * i + 1] = 0.8f * std::sin(40.0f * ordered[2 * i]);
    }
    const std::vector<float> shuffled = c.points(n);
    auto plot = makePlot(ordered, c);
    for (int frame = 0; frame < 3; ++frame) {
        const std::vector<float>& xy = frame == 1 ? shuffled : ordered;
        zvtest::fillBuffer(plot->vbo(), xy.data(), xy.size() * sizeof(float));
        SCOPED_TRACE(frame == 1 ? "not ordered" : "ordered");
        window->draw(plot);
        const zv::Snapshot s = window->snapshot();
        expectInkFollowsData(s, xy, c, wholeWindowFrame(W, H), 0.5);
        saveOnFailure(s, "DenseLineLod_frame" + std::to_string(frame));
    }
}

// The markers of a dense line ordered by x are stamped from a bitmap of the pixels they sit
// on: they must make exactly the pixels the markers drawn one by one make, for every shape,
// with points beyond each edge of the frame, whole window and cell. The line under them is
// reduced in one draw and full in the other, so markers are compared where neither line has
// ink (pictures of the lines alone say where). Points not ordered by x fall back to the
// markers drawn one by one, the same picture whole.
TEST_F(DenseLineGLTest, DenseMarkersMakeThePixelsOfMarkersDrawnOneByOne) {
    const unsigned n = 30000;
    const Curve box{"box", 0.0f, 1.0f, 0.0f, 1.0f, nullptr};
    std::vector<float> wave(2 * size_t(n));
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-0.02f, 0.02f);
    for (unsigned i = 0; i < n; ++i) {
        const float x = -0.03f + 1.06f * float(i) / float(n - 1);
        wave[2 * i] = x;
        wave[2 * i + 1] = 0.5f + 0.56f * std::sin(float(2.0 * PI) * 3.0f * x) + noise(random);
    }
    const internal::CellLayout cl = internal::cellLayout(W, H, 2, 2, 1, 1);
    const FrameBox frames[2] = {wholeWindowFrame(W, H), cellFrame(cl)};
    // pictures[where][lod]: where 0 the whole window, 1 cell (1, 1) of a 2 x 2 grid.
    auto draw = [&](const std::shared_ptr<internal::plot_impl>& plot, zv::Snapshot out[2][2],
                    GLuint* wholePrimitives) {
        GLuint query = 0;
        glGenQueries(1, &query);
        for (int lod = 0; lod < 2; ++lod) {
            plot->setLevelOfDetail(lod == 1);
            window->grid(1, 1);
            glBeginQuery(GL_PRIMITIVES_GENERATED, query);
            window->draw(plot);
            glEndQuery(GL_PRIMITIVES_GENERATED);
            if (wholePrimitives) glGetQueryObjectuiv(query, GL_QUERY_RESULT, &wholePrimitives[lod]);
            out[0][lod] = window->snapshot();
            window->grid(2, 2);
            window->draw(1, 1, plot, nullptr);
            window->draw();
            out[1][lod] = window->snapshot();
            zvtest::expectNoGLError("draws");
        }
        glDeleteQueries(1, &query);
        window->grid(1, 1);
    };
    auto makeMarked = [&](const std::vector<float>& xy, const Curve& c, int marker) {
        auto p = std::make_shared<internal::plot_impl>(unsigned(xy.size() / 2), zv::ZV_FLOAT32,
                                                       marker);
        p->setColor(0xFF0000FF);
        p->setAxesLimits(c.xmax, c.xmin, c.ymax, c.ymin);
        zvtest::fillBuffer(p->vbo(), xy.data(), xy.size() * sizeof(float));
        return p;
    };
    zv::Snapshot lines[2][2];
    draw(makeMarked(wave, box, zv::ZV_MARKER_NONE), lines, nullptr);

    for (int marker = zv::ZV_MARKER_POINT; marker <= zv::ZV_MARKER_STAR + 1; ++marker) {
        SCOPED_TRACE("marker " + std::to_string(marker));
        auto plot = makeMarked(wave, box, marker);
        zv::Snapshot pictures[2][2];
        GLuint primitives[2] = {0, 0};
        draw(plot, pictures, primitives);
        // Drawn one by one: two triangles a marker; stamped: a few passes in all.
        EXPECT_GE(primitives[0], 2 * n);
        EXPECT_LT(primitives[1], n / 5) << "the markers were not stamped";
        for (int where = 0; where < 2; ++where) {
            SCOPED_TRACE(where == 0 ? "whole window" : "cell (1, 1) of a 2 x 2 grid");
            const FrameBox& f = frames[where];
            int compared = 0, apart = 0;
            for (int y = int(std::ceil(f.bottom)) + 2; y < int(std::floor(f.top)) - 2; ++y) {
                for (int x = int(std::ceil(f.left)) + 2; x < int(std::floor(f.right)) - 2; ++x) {
                    if (ink(lines[where][0], x, y) > 0 || ink(lines[where][1], x, y) > 0)
                        continue;
                    const int one = ink(pictures[where][0], x, y);
                    const int stamped = ink(pictures[where][1], x, y);
                    compared += one > 0 ? 1 : 0;
                    if (one != stamped && ++apart <= 5)
                        ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << one
                                      << " drawn one by one, " << stamped << " stamped";
                }
            }
            EXPECT_EQ(apart, 0);
            EXPECT_GT(compared, 2000) << "marker pixels away from the line";
            saveOnFailure(pictures[where][1], "DenseMarkers_" + std::to_string(marker) + "_" +
                                                  std::to_string(where));
        }
    }

    SCOPED_TRACE("points not ordered by x");
    const std::vector<float> figure = lissajous(n);
    zv::Snapshot pictures[2][2];
    draw(makeMarked(figure, CURVES[1], zv::ZV_MARKER_CIRCLE), pictures, nullptr);
    for (int where = 0; where < 2; ++where)
        EXPECT_EQ(pictures[where][0].rgba, pictures[where][1].rgba) << "picture " << where;
}

// Markers of many points in no order are stamped per pixel from a layer of their centres:
// the picture must be that of the markers drawn one by one, whole window and cell, for every
// shape, with points beyond each edge of the frame, points that are not numbers and, on
// logarithmic axes, points without a logarithm. Stamped, the draw makes a point a marker
// (the layer of centres) and a few quads, not a marker's two triangles.
TEST_F(DenseLineGLTest, ScatteredMarkersMakeThePixelsOfMarkersDrawnOneByOne) {
    const unsigned n = 4000;  // twice and more the frame's columns; a quarter of its pixels inked
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(-0.05f, 1.05f);
    std::vector<float> cloud(2 * size_t(n)), logCloud(2 * size_t(n));
    for (unsigned i = 0; i < n; ++i) {
        cloud[2 * i] = unit(random);
        cloud[2 * i + 1] = unit(random);
        // Decades -3.3 to 3.3 over limits 1e-3 to 1e3; every 50th point at or below zero.
        logCloud[2 * i] = i % 50 == 7 ? -1.0f : std::pow(10.0f, 6.6f * unit(random) - 3.3f);
        logCloud[2 * i + 1] = i % 50 == 9 ? 0.0f : std::pow(10.0f, 6.6f * unit(random) - 3.3f);
    }
    for (unsigned i = 0; i < n; i += 397) cloud[2 * i + (i & 1)] = std::nanf("");
    struct Case {
        const char* name;
        int marker;
        bool log;
        bool ring = false;  // a third of the way round, 500 points short of full
    };
    const Case cases[] = {
        {"circle, ring", zv::ZV_MARKER_CIRCLE, false, true},
        {"point", zv::ZV_MARKER_POINT, false},     {"circle", zv::ZV_MARKER_CIRCLE, false},
        {"square", zv::ZV_MARKER_SQUARE, false},   {"triangle", zv::ZV_MARKER_TRIANGLE, false},
        {"cross", zv::ZV_MARKER_CROSS, false},     {"plus", zv::ZV_MARKER_PLUS, false},
        {"star", zv::ZV_MARKER_STAR, false},       {"filled square", zv::ZV_MARKER_STAR + 1, false},
        {"circle, log axes", zv::ZV_MARKER_CIRCLE, true},
    };
    GLuint query = 0;
    glGenQueries(1, &query);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const std::vector<float>& xy = k.log ? logCloud : cloud;
        auto plot = std::make_shared<internal::scatter_impl>(n, zv::ZV_FLOAT32, k.marker);
        plot->setColor(0xFF0000FF);
        if (k.log) {
            plot->setAxesLimits(1e3f, 1e-3f, 1e3f, 1e-3f);
            plot->setLogAxes(true, true);
        } else {
            plot->setAxesLimits(1.0f, 0.0f, 1.0f, 0.0f);
        }
        zvtest::fillBuffer(plot->vbo(), xy.data(), xy.size() * sizeof(float));
        if (k.ring) plot->setRing(n / 3, n - 500);
        zv::Snapshot pictures[2][2];  // [where][stamped]
        GLuint primitives[2] = {0, 0};
        for (int lod = 0; lod < 2; ++lod) {
            plot->setLevelOfDetail(lod == 1);
            window->grid(1, 1);
            glBeginQuery(GL_PRIMITIVES_GENERATED, query);
            window->draw(plot);
            glEndQuery(GL_PRIMITIVES_GENERATED);
            glGetQueryObjectuiv(query, GL_QUERY_RESULT, &primitives[lod]);
            pictures[0][lod] = window->snapshot();
            window->grid(2, 2);
            window->draw(1, 1, plot, nullptr);
            window->draw();
            pictures[1][lod] = window->snapshot();
            zvtest::expectNoGLError("draws");
        }
        window->grid(1, 1);
        EXPECT_GE(primitives[0], 3 * n / 2) << "the markers were not drawn one by one";
        EXPECT_LT(primitives[1], n + 200) << "the markers were not stamped";
        for (int where = 0; where < 2; ++where) {
            SCOPED_TRACE(where == 0 ? "whole window" : "cell (1, 1) of a 2 x 2 grid");
            const zv::Snapshot& one = pictures[where][0];
            const zv::Snapshot& stamped = pictures[where][1];
            ASSERT_EQ(one.rgba.size(), stamped.rgba.size());
            int apart = 0, inked = 0;
            for (int y = 0; y < one.height; ++y)
                for (int x = 0; x < one.width; ++x) {
                    inked += ink(one, x, y) > 0 ? 1 : 0;
                    if (ink(one, x, y) != ink(stamped, x, y) && ++apart <= 5)
                        ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << ink(one, x, y)
                                      << " drawn one by one, " << ink(stamped, x, y)
                                      << " stamped";
                }
            EXPECT_EQ(apart, 0);
            EXPECT_EQ(one.rgba, stamped.rgba) << "the pictures differ outside the markers' ink";
            EXPECT_GT(inked, 10000);
            saveOnFailure(stamped, std::string("ScatteredMarkers_") + std::to_string(k.marker) +
                                       (k.log ? "_log_" : "_") + std::to_string(where));
        }
    }
    glDeleteQueries(1, &query);
}

// One pixel column holding more points than a shader invocation may loop over (the software
// rasteriser ends a loop after 65,535 iterations, silently), among columns of a few hundred:
// the highest and lowest points deep in that column's run still ink it, with and without
// markers.
TEST_F(DenseLineGLTest, AColumnOfMorePointsThanAShaderLoopsKeepsItsExtremes) {
    const Curve box{"box", 0.0f, 1.0f, 0.0f, 1.0f, nullptr};
    const FrameBox f = wholeWindowFrame(W, H);
    const double width = f.right - f.left;
    const int column = int(std::floor(0.5 * (f.left + f.right)));
    const double x0 = (column - f.left) / width, x1 = (column + 1 - f.left) / width;
    const unsigned spread = 130000, crammed = 70000;
    std::vector<float> xy;
    xy.reserve(2 * (spread + crammed));
    bool inserted = false;
    for (unsigned i = 0; i < spread; ++i) {
        const double x = double(i) / spread;
        if (!inserted && x >= x0) {
            for (unsigned k = 0; k < crammed; ++k) {
                xy.push_back(static_cast<float>(x0 + (x1 - x0) * (k + 0.5) / crammed));
                xy.push_back(k == 69000 ? 0.9f : (k == 69500 ? 0.1f : 0.5f));
            }
            inserted = true;
        }
        if (x >= x0 && x < x1) continue;
        xy.push_back(static_cast<float>(x));
        xy.push_back(0.5f);
    }
    const double yHigh = f.bottom + 0.9 * (f.top - f.bottom);
    const double yLow = f.bottom + 0.1 * (f.top - f.bottom);
    for (int markers = 0; markers < 2; ++markers) {
        SCOPED_TRACE(markers ? "with markers" : "line");
        auto plot = std::make_shared<internal::plot_impl>(
            unsigned(xy.size() / 2), zv::ZV_FLOAT32,
            markers ? zv::ZV_MARKER_POINT : zv::ZV_MARKER_NONE);
        plot->setColor(0xFF0000FF);
        plot->setAxesLimits(box.xmax, box.xmin, box.ymax, box.ymin);
        zvtest::fillBuffer(plot->vbo(), xy.data(), xy.size() * sizeof(float));
        window->draw(plot);
        zvtest::expectNoGLError("dense column");
        const zv::Snapshot s = window->snapshot();
        int lo = -1, hi = -1;
        for (int y = int(std::ceil(f.bottom)) + 1; y < int(std::floor(f.top)) - 1; ++y) {
            if (ink(s, column, y) < 100) continue;
            if (lo < 0) lo = y;
            hi = y;
        }
        // A marker reaches a few pixels past its point.
        const double slack = markers ? 6.0 : 2.0;
        EXPECT_NEAR(hi, yHigh, slack) << "the highest point of column " << column;
        EXPECT_NEAR(lo, yLow, slack) << "the lowest point of column " << column;
        saveOnFailure(s, std::string("DenseLine_crammed_column_") + (markers ? "markers" : "line"));
    }
}

// Every column of a cell far denser than one invocation may loop over: the columns are
// reduced in runs, so the line is still drawn from a few points a column (not the millions
// of segments of the full line) and looks as the full line does, spikes deep in their
// columns' runs included, up and down.
TEST_F(DenseLineGLTest, ColumnsDenserThanAShaderLoopsAreReducedInRuns) {
    const Curve box{"box", 0.0f, 1.0f, 0.0f, 1.0f, nullptr};
    // A narrow cell, so that the full line to compare with stays cheap.
    const internal::CellLayout cl = internal::cellLayout(W, H, 2, 8, 1, 1);
    const FrameBox f = cellFrame(cl);
    const double width = f.right - f.left;
    const unsigned n = static_cast<unsigned>(70000.0 * width);  // 70,000 a column
    std::vector<float> xy(2 * size_t(n));
    for (unsigned i = 0; i < n; ++i) {
        xy[2 * i] = static_cast<float>((i + 0.5) / n);
        xy[2 * i + 1] = 0.5f;
    }
    for (int k = 0; k < 4; ++k) {
        const double column = std::floor(width * (k + 1) / 5.0);
        const size_t start = size_t(std::ceil(column / width * n));
        xy[2 * (start + 66000) + 1] = (k % 2) ? 0.1f : 0.9f;  // past 65,535 in
    }
    auto plot = makePlot(xy, box);
    window->grid(2, 8);
    zv::Snapshot pictures[2];
    GLuint primitives[2] = {0, 0};
    for (int full = 0; full < 2; ++full) {
        plot->setLevelOfDetail(full == 0);
        GLuint query = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        window->draw(1, 1, plot, nullptr);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &primitives[full]);
        glDeleteQueries(1, &query);
        window->draw();
        zvtest::expectNoGLError("dense cell");
        pictures[full] = window->snapshot();
    }
    EXPECT_LT(primitives[0], n / 100) << "the full line was drawn";
    EXPECT_GT(primitives[1], n / 2);
    int spikes = 0;
    const int top = cl.vy + cl.vheight;
    for (int x = cl.vx; x < cl.vx + cl.vwidth; ++x) {
        int lo[2] = {-1, -1}, hi[2] = {-1, -1};
        for (int p = 0; p < 2; ++p) {
            for (int y = cl.vy; y < top; ++y) {
                if (ink(pictures[p], x, y) < 100) continue;
                if (lo[p] < 0) lo[p] = y;
                hi[p] = y;
            }
        }
        EXPECT_NEAR(lo[0], lo[1], 1) << "lowest ink of column " << x;
        EXPECT_NEAR(hi[0], hi[1], 1) << "highest ink of column " << x;
        if (hi[1] - lo[1] > 20) ++spikes;
    }
    EXPECT_GE(spikes, 4);
    saveOnFailure(pictures[0], "DenseLine_columns_in_runs");
}

}  // namespace
