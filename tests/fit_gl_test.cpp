// Limits from the data: the GPU reduction behind fitAxesToData() and setAutoFit(), on
// plots and histograms of every element type, with NaN, infinities, negative, reversed and
// single-point data, and a stream that drifts while the limits follow it. (The margins laid
// around the bounds, with no GPU: fit_limits_test.cpp.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "histogram/hist_impl.hpp"
#include "multichart/multichart_impl.hpp"
#include "plot/plot_impl.hpp"
#include "gl/context.hpp"
#include "gl/limits.hpp"
#include "range/data_range.hpp"
#include "support/gl_test.hpp"
#include "window/window.hpp"
#include "zarvo.h"

namespace {

using internal::fitLimits;
using internal::hist_impl;
using internal::plot_impl;

const float NaN = std::numeric_limits<float>::quiet_NaN();
const float INF = std::numeric_limits<float>::infinity();
const float BIG = std::numeric_limits<float>::max();

template <typename T>
void upload(GLuint buffer, const std::vector<T>& values) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(values.size() * sizeof(T)),
                    values.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

struct Limits {
    float xmin, xmax, ymin, ymax;
};
Limits limitsOf(const internal::AbstractChart2D& c) {
    return {c.xmin(), c.xmax(), c.ymin(), c.ymax()};
}
void expectLimits(const Limits& want, const Limits& got) {
    EXPECT_FLOAT_EQ(want.xmin, got.xmin);
    EXPECT_FLOAT_EQ(want.xmax, got.xmax);
    EXPECT_FLOAT_EQ(want.ymin, got.ymin);
    EXPECT_FLOAT_EQ(want.ymax, got.ymax);
}
Limits fitted(float xmin, float xmax, float ymin, float ymax) {
    internal::FittedLimits f = fitLimits({xmin, ymin, xmax, ymax});
    return {f.xmin, f.xmax, f.ymin, f.ymax};
}

class FitGLTest : public zvtest::GLTest {};

// The bounding range of the finite points, whatever their order and sign; points with a
// NaN or infinite coordinate are left out; nothing finite leaves the limits alone.
TEST_F(FitGLTest, PlotFitsTheFinitePoints) {
    struct Case {
        const char* name;
        std::vector<float> xy;
        bool fits;
        Limits bounds;  // xmin, xmax, ymin, ymax of the finite points
    } cases[] = {
        {"ordered", {0, 1, 1, 4, 2, 9, 3, 16}, true, {0, 3, 1, 16}},
        {"reversed", {3, 16, 2, 9, 1, 4, 0, 1}, true, {0, 3, 1, 16}},
        {"negative", {-5, -1, -2, -8, -3, -0.5f}, true, {-5, -2, -8, -0.5f}},
        {"with NaN and infinities",
         {NaN, 100, 1, 2, 50, NaN, 2, -3, INF, 7, -INF, 0, 4, 1},
         true,
         {1, 4, -3, 2}},
        {"single point", {2, 0}, true, {2, 2, 0, 0}},
        {"all NaN", {NaN, NaN, NaN, 1, 1, NaN}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const unsigned n = static_cast<unsigned>(c.xy.size() / 2);
        plot_impl plot(n, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
        upload(plot.vbo(), c.xy);
        plot.setAxesLimits(9, 8, 7, 6);
        plot.fitAxesToData();
        if (c.fits)
            expectLimits(fitted(c.bounds.xmin, c.bounds.xmax, c.bounds.ymin, c.bounds.ymax),
                         limitsOf(plot));
        else
            expectLimits({8, 9, 6, 7}, limitsOf(plot));
        zvtest::expectNoGLError("fit");
    }
}

// Integer element types go through their own samplers; a long buffer spreads over every
// slice of the first pass, with its extremes in the first and the last element.
TEST_F(FitGLTest, IntegerTypesAndEverySlice) {
    plot_impl ints(3, zv::ZV_INT32, zv::ZV_MARKER_NONE);
    upload<int32_t>(ints.vbo(), {-7, 40, 12, -3, 5, 5});
    ints.fitAxesToData();
    expectLimits(fitted(-7, 12, -3, 40), limitsOf(ints));

    plot_impl bytes(2, zv::ZV_UINT8, zv::ZV_MARKER_NONE);
    upload<uint8_t>(bytes.vbo(), {200, 3, 10, 255});
    bytes.fitAxesToData();
    expectLimits(fitted(10, 200, 3, 255), limitsOf(bytes));

    const unsigned n = 100003;  // not a multiple of the slice count
    std::vector<float> xy(2 * n);
    for (unsigned i = 0; i < n; ++i) {
        xy[2 * i] = static_cast<float>(i);
        xy[2 * i + 1] = std::sin(0.001f * static_cast<float>(i));
    }
    xy[1] = -2.0f;          // lowest y in the first element
    xy[2 * n - 1] = 3.0f;   // highest y in the last
    plot_impl big(n, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
    upload(big.vbo(), xy);
    big.fitAxesToData();
    expectLimits(fitted(0, static_cast<float>(n - 1), -2, 3), limitsOf(big));
    zvtest::expectNoGLError("fits");
}

// Long data, where one invocation of the first pass would have to loop over more elements
// than a driver lets a shader loop (the software rasteriser stops after 65,535 iterations,
// silently): the peaks at the end of a slice of more than that, and in the last element,
// still count.
TEST_F(FitGLTest, SlicesLongerThanADriverLetsAShaderLoop) {
    const unsigned n = 64u * 70000u;  // 64 slices of 70,000 before slices were held short
    std::vector<float> v(n, 10.0f);
    v[69999] = 200.0f;   // end of the first 70,000
    v[n - 2] = -50.0f;   // near the end
    hist_impl h(n, zv::ZV_FLOAT32);
    upload(h.vbo(), v);
    h.fitAxesToData();
    EXPECT_FLOAT_EQ(210.0f, h.ymax());  // the tallest bar plus 5%

    const unsigned m = 64u * 66000u + 7u;
    std::vector<float> xy(2 * m, 0.0f);
    for (unsigned i = 0; i < m; ++i) xy[2 * i] = static_cast<float>(i % 1000);
    xy[2 * 65999 + 1] = 5.0f;    // end of the first slice of 66,000
    xy[2 * (m - 1)] = 4000.0f;   // x of the last point
    xy[2 * (m - 1) + 1] = -3.0f;
    plot_impl p(m, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
    upload(p.vbo(), xy);
    p.fitAxesToData();
    expectLimits(fitted(0, 4000, -3, 5), limitsOf(p));
    zvtest::expectNoGLError("long slices");
}

// Data longer than a buffer texture covers (GL_MAX_TEXTURE_BUFFER_SIZE) is read in pieces.
// The limit is held low here so that both sides of it stay small: at the limit, one past it,
// and over several pieces, with the peak in the last element and at a piece's edge.
TEST_F(FitGLTest, DataLongerThanABufferTextureCovers) {
    struct Reset {
        ~Reset() { internal::limitTextureBufferTexelsForTests(0); }
    } reset;
    const GLint limit = 4096;
    internal::limitTextureBufferTexelsForTests(limit);
    for (unsigned n : {4096u, 4097u, 3u * 4096u + 5u}) {
        for (unsigned peak : {n - 1, 4095u, 4096u}) {
            if (peak >= n) continue;
            SCOPED_TRACE(std::to_string(n) + " bins, peak at " + std::to_string(peak));
            std::vector<uint32_t> bins(n, 10);
            bins[peak] = 200;
            hist_impl h(n, zv::ZV_UINT32);
            upload(h.vbo(), bins);
            h.fitAxesToData();
            EXPECT_FLOAT_EQ(210.0f, h.ymax());  // the tallest bar plus 5%

            // Values as points (index, value): x counts from the data's first element.
            std::vector<float> xy(2 * n);
            for (unsigned i = 0; i < n; ++i) {
                xy[2 * i] = static_cast<float>(i);
                xy[2 * i + 1] = i == peak ? 7.0f : 1.0f;
            }
            plot_impl p(n, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
            upload(p.vbo(), xy);
            p.fitAxesToData();
            expectLimits(fitted(0, static_cast<float>(n - 1), 1, 7), limitsOf(p));
        }
    }
    zvtest::expectNoGLError("pieces");
}

// The driver's own limit, once: a histogram of bytes one past GL_MAX_TEXTURE_BUFFER_SIZE
// (2^27 on the software rasteriser: 128 MiB), whose last bin is the tallest.
TEST_F(FitGLTest, OnePastTheDriversBufferTextureLimit) {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_BUFFER_SIZE, &limit);
    if (limit <= 0 || limit > (1 << 28)) GTEST_SKIP() << "limit too large to try: " << limit;
    const unsigned n = static_cast<unsigned>(limit) + 1u;
    std::vector<uint8_t> bins(n, 10);
    bins[n - 1] = 200;
    hist_impl h(n, zv::ZV_UINT8);
    upload(h.vbo(), bins);
    h.fitAxesToData();
    EXPECT_FLOAT_EQ(210.0f, h.ymax());  // the tallest bar plus 5%
    zvtest::expectNoGLError("past the limit");
}

// The application's bindings around a fit, outside a draw and in an auto-fit plot's first
// draw (which makes the reduction's buffers and textures): copy buffers, transform feedback
// binding point 0 with its range, a buffer texture on another active unit, and its own
// transform feedback active but paused, which stays so and captures nothing of ours.
TEST_F(FitGLTest, FitLeavesTheApplicationsBindingsAndTransformFeedback) {
    if (!GLEW_VERSION_4_0 && !GLEW_ARB_transform_feedback2)
        GTEST_SKIP() << "no transform feedback objects";
    GLuint buffers[4];
    glGenBuffers(4, buffers);
    for (GLuint b : buffers) {
        glBindBuffer(GL_ARRAY_BUFFER, b);
        glBufferData(GL_ARRAY_BUFFER, 1024, nullptr, GL_STATIC_DRAW);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    GLuint texture = 0, feedback = 0;
    glGenTextures(1, &texture);
    glGenTransformFeedbacks(1, &feedback);
    for (int drawn = 0; drawn < 2; ++drawn) {
        SCOPED_TRACE(drawn ? "auto-fit draw" : "fit");
        // The application's own capture, begun with a program of its own and paused.
        glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, feedback);
        glBindBufferRange(GL_TRANSFORM_FEEDBACK_BUFFER, 0, buffers[2], 256, 512);
        GLuint vs = glCreateShader(GL_VERTEX_SHADER);
        const char* src = "#version 330 core\nout float v;\nvoid main() { v = 1.0; "
                          "gl_Position = vec4(0.0); }\n";
        glShaderSource(vs, 1, &src, nullptr);
        glCompileShader(vs);
        GLuint program = glCreateProgram();
        glAttachShader(program, vs);
        const char* varyings[] = {"v"};
        glTransformFeedbackVaryings(program, 1, varyings, GL_INTERLEAVED_ATTRIBS);
        glLinkProgram(program);
        glUseProgram(program);
        glBeginTransformFeedback(GL_POINTS);
        glPauseTransformFeedback();
        glUseProgram(0);
        glBindBuffer(GL_COPY_READ_BUFFER, buffers[0]);
        glBindBuffer(GL_COPY_WRITE_BUFFER, buffers[1]);
        glActiveTexture(GL_TEXTURE3);
        glBindTexture(GL_TEXTURE_BUFFER, texture);
        glTexBuffer(GL_TEXTURE_BUFFER, GL_R32F, buffers[3]);
        ASSERT_EQ(GLenum(GL_NO_ERROR), glGetError());

        auto plot = std::make_shared<plot_impl>(3, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
        upload<float>(plot->vbo(), {-3, 1, 5, 2, 0, 4});
        if (drawn) {
            std::shared_ptr<internal::AbstractRenderable> r = plot;
            plot->setAutoFit(true);
            for (int frame = 0; frame < 3; ++frame) window->draw(r);
        } else {
            plot->fitAxesToData();
        }
        expectLimits(fitted(-3, 5, 1, 4), limitsOf(*plot));

        GLint v = 0;
        GLint64 start = 0, size = 0;
        glGetIntegerv(GL_COPY_READ_BUFFER_BINDING, &v);
        EXPECT_EQ(GLint(buffers[0]), v);
        glGetIntegerv(GL_COPY_WRITE_BUFFER_BINDING, &v);
        EXPECT_EQ(GLint(buffers[1]), v);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &v);
        EXPECT_EQ(GL_TEXTURE3, v);
        glGetIntegerv(GL_TEXTURE_BINDING_BUFFER, &v);
        EXPECT_EQ(GLint(texture), v);
        glGetIntegerv(GL_TRANSFORM_FEEDBACK_BINDING, &v);
        EXPECT_EQ(GLint(feedback), v);
        glGetIntegeri_v(GL_TRANSFORM_FEEDBACK_BUFFER_BINDING, 0, &v);
        EXPECT_EQ(GLint(buffers[2]), v);
        glGetInteger64i_v(GL_TRANSFORM_FEEDBACK_BUFFER_START, 0, &start);
        glGetInteger64i_v(GL_TRANSFORM_FEEDBACK_BUFFER_SIZE, 0, &size);
        EXPECT_EQ(256, start);
        EXPECT_EQ(512, size);
        GLboolean active = GL_FALSE, paused = GL_FALSE;
        glGetBooleanv(GL_TRANSFORM_FEEDBACK_BUFFER_ACTIVE, &active);
        glGetBooleanv(GL_TRANSFORM_FEEDBACK_BUFFER_PAUSED, &paused);
        EXPECT_TRUE(active);
        EXPECT_TRUE(paused);
        EXPECT_FALSE(glIsEnabled(GL_RASTERIZER_DISCARD));
        zvtest::expectNoGLError("fit beside the application's transform feedback");

        glUseProgram(program);
        glResumeTransformFeedback();
        glEndTransformFeedback();
        glUseProgram(0);
        glDeleteProgram(program);
        glDeleteShader(vs);
        glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, 0);
        glActiveTexture(GL_TEXTURE0);
        zvtest::expectNoGLError("application's transform feedback ended");
    }
    glDeleteTransformFeedbacks(1, &feedback);
    glDeleteTextures(1, &texture);
    glDeleteBuffers(4, buffers);
}

// A histogram's y runs from 0 to 5% above its largest finite frequency, so the tallest bar
// shows whole; x stays.
TEST_F(FitGLTest, HistogramFitsYToTheLargestFrequency) {
    hist_impl h(6, zv::ZV_FLOAT32);
    h.setAxesLimits(5, -5, 1, 0.5f);
    upload<float>(h.vbo(), {3, NaN, 17.5f, INF, 2, 0});
    h.fitAxesToData();
    expectLimits({-5, 5, 0, 18.375f}, limitsOf(h));

    hist_impl counts(3, zv::ZV_UINT32);
    counts.setAxesLimits(1, 0, 2, 0);
    upload<uint32_t>(counts.vbo(), {4, 90, 12});
    counts.fitAxesToData();
    EXPECT_FLOAT_EQ(94.5f, counts.ymax());

    upload<uint32_t>(counts.vbo(), {0, 0, 0});  // nothing to stand on: limits stay
    counts.fitAxesToData();
    EXPECT_FLOAT_EQ(94.5f, counts.ymax());
    zvtest::expectNoGLError("histogram fits");
}

// With auto-fit on, the limits of each frame are those of the data written two frames
// earlier: the reduction's result is read only when long done, so no frame waits for it.
// Turning it off keeps the limits; a plot drawn in a grid cell follows as well.
TEST_F(FitGLTest, AutoFitFollowsADriftingStreamTwoFramesLate) {
    auto plot = std::make_shared<plot_impl>(4, zv::ZV_FLOAT32, zv::ZV_MARKER_CIRCLE);
    std::shared_ptr<internal::AbstractRenderable> r = plot;
    plot->setAxesLimits(1, 0, 1, 0);
    plot->setAutoFit(true);
    const auto frameData = [](int f) {
        const float o = static_cast<float>(f);
        return std::vector<float>{o, o, o + 1, o + 2, o + 2, o - 1, o + 3, o + 4};
    };
    for (int f = 0; f < 8; ++f) {
        SCOPED_TRACE(f);
        upload(plot->vbo(), frameData(f));
        window->draw(r);
        if (f < 2) {
            expectLimits({0, 1, 0, 1}, limitsOf(*plot));  // nothing read yet
        } else {
            const float o = static_cast<float>(f - 2);
            expectLimits(fitted(o, o + 3, o - 1, o + 4), limitsOf(*plot));
        }
    }
    plot->setAutoFit(false);
    const Limits kept = limitsOf(*plot);
    upload(plot->vbo(), frameData(50));
    window->draw(r);
    window->draw(r);
    expectLimits(kept, limitsOf(*plot));

    // The drawn picture follows too: the markers of the last frame lie inside the frame.
    plot->setAutoFit(true);
    window->grid(1, 2);
    for (int f = 0; f < 4; ++f) {
        upload(plot->vbo(), frameData(100 + f));
        window->draw(1, 0, r, nullptr);
        window->draw();
    }
    expectLimits(fitted(101, 104, 100, 105), limitsOf(*plot));  // frame 101's data
    zvtest::expectNoGLError("auto-fit");
}

// A chart fits over all its series from their buffers, once or following them; a series
// drawn alone with its own auto-fit keeps its own limits meanwhile.
TEST_F(FitGLTest, ChartFitsOverAllItsSeries) {
    auto chart = std::make_shared<internal::multichart_impl>();
    auto a = std::make_shared<plot_impl>(2, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
    auto b = std::make_shared<internal::scatter_impl>(3, zv::ZV_INT32, zv::ZV_MARKER_CIRCLE);
    auto h = std::make_shared<hist_impl>(3, zv::ZV_UINT32);
    upload<float>(a->vbo(), {0, 5, 4, NaN});
    upload<int32_t>(b->vbo(), {-6, 10, 2, 30, 1, 12});
    upload<uint32_t>(h->vbo(), {7, 40, 1});
    chart->add(a, "a");
    chart->add(b, "b");
    chart->setAxesLimits(1, 0, 1, 0);
    chart->fitAxesToData();
    expectLimits(fitted(-6, 2, 5, 30), limitsOf(*chart));
    chart->add(h, "h");
    chart->fitAxesToData();
    const float xmin = fitted(-6, 2, 0, 0).xmin, xmax = fitted(-6, 2, 0, 0).xmax;
    expectLimits({xmin, xmax, 0, 42}, limitsOf(*chart));  // bars from 0, 5% over the tallest
    EXPECT_FLOAT_EQ(1.0f, a->xmax());  // the series keep their own limits
    a->setAxesLimits(1, 0, 1, 0);

    // Following: two frames late, whichever data moved; the plot drawn alone as well
    // follows its own data on its own ring.
    std::shared_ptr<internal::AbstractRenderable> r = chart, alone = a;
    chart->setAutoFit(true);
    a->setAutoFit(true);
    window->grid(1, 2);
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE(f);
        const float o = static_cast<float>(100 * f);
        upload<float>(a->vbo(), {o, 5, o + 4, 6});
        window->draw(0, 0, r, nullptr);
        window->draw(1, 0, alone, nullptr);
        window->draw();
        if (f >= 2) {
            const float p = static_cast<float>(100 * (f - 2));
            expectLimits(fitted(p, p + 4, 5, 6), limitsOf(*a));
            const Limits both = fitted(-6, p + 4, 0, 0);
            expectLimits({both.xmin, both.xmax, 0, 42}, limitsOf(*chart));
        }
    }
    zvtest::expectNoGLError("chart fits");
}

// A plot, a histogram and a chart on logarithmic axes fit to their data, once and
// following it, as on linear ones (the linear margin would reach below zero there).
TEST_F(FitGLTest, LogAxesFitAndFollowTheData) {
    const auto p10 = [](double e) { return static_cast<float>(std::pow(10.0, e)); };
    auto plot = std::make_shared<plot_impl>(3, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
    upload<float>(plot->vbo(), {1, 1000, 100, 10, 1e4f, 1});
    plot->setAxesLimits(100, 10, 100, 10);
    plot->setLogAxes(true, true);
    plot->fitAxesToData();
    expectLimits({p10(-0.2), p10(4.2), p10(-0.15), p10(3.15)}, limitsOf(*plot));

    // Following, two frames late.
    std::shared_ptr<internal::AbstractRenderable> r = plot;
    plot->setAxesLimits(100, 10, 100, 10);
    plot->setAutoFit(true);
    for (int f = 0; f < 3; ++f) window->draw(r);
    expectLimits({p10(-0.2), p10(4.2), p10(-0.15), p10(3.15)}, limitsOf(*plot));

    // Bars on a log y axis stand on ymin; the tallest gets room above.
    hist_impl h(3, zv::ZV_FLOAT32);
    upload<float>(h.vbo(), {5, 1000, 20});
    h.setAxesLimits(3, 0, 10, 1);
    h.setLogAxes(false, true);
    h.fitAxesToData();
    expectLimits({0, 3, 1, p10(3.15)}, limitsOf(h));

    auto chart = std::make_shared<internal::multichart_impl>();
    chart->add(plot, "plot");
    chart->setAxesLimits(100, 10, 100, 10);
    chart->setLogAxes(true, false);
    chart->fitAxesToData();
    expectLimits({p10(-0.2), p10(4.2), fitted(0, 0, 1, 1000).ymin, fitted(0, 0, 1, 1000).ymax},
                 limitsOf(*chart));
    zvtest::expectNoGLError("log fits");
}

// An amber marker drawn at data far outside the initial limits shows up once fitted.
TEST_F(FitGLTest, FittedDataIsDrawnInsideTheFrame) {
    auto plot = std::make_shared<plot_impl>(2, zv::ZV_FLOAT32, zv::ZV_MARKER_CIRCLE);
    std::shared_ptr<internal::AbstractRenderable> r = plot;
    upload<float>(plot->vbo(), {1000, -500, 1010, -490});
    plot->setAxesLimits(1, 0, 1, 0);
    const auto amber = [](const zvtest::RGBA& c) { return c.r > 150 && c.g > 60 && c.b < 80; };
    window->draw(r);
    EXPECT_EQ(0, grab().count(0, 0, W, H, amber)) << "data outside the limits was drawn";
    plot->fitAxesToData();
    window->draw(r);
    zvtest::Snapshot s = grab();
    EXPECT_GT(s.count(0, 0, W / 2, H / 2, amber), 20) << "first point, bottom left";
    EXPECT_GT(s.count(W / 2, H / 2, W, H, amber), 20) << "second point, top right";
}

// Points at the largest floats fit to finite limits on an axis that still shows them: ticks
// labelled with finite, distinct values and the markers in the frame's corners.
TEST_F(FitGLTest, DataAtTheLargestFloatsIsFittedAndShown) {
    const auto amber = [](const zvtest::RGBA& c) { return c.r > 150 && c.g > 60 && c.b < 80; };
    for (const float lo : {-BIG, 0.0f}) {
        SCOPED_TRACE(testing::Message() << lo << " .. FLT_MAX");
        auto plot = std::make_shared<plot_impl>(2, zv::ZV_FLOAT32, zv::ZV_MARKER_CIRCLE);
        std::shared_ptr<internal::AbstractRenderable> r = plot;
        upload<float>(plot->vbo(), {lo, lo, BIG, BIG});
        plot->fitAxesToData();
        const Limits l = limitsOf(*plot);
        for (const float v : {l.xmin, l.xmax, l.ymin, l.ymax}) ASSERT_TRUE(std::isfinite(v)) << v;
        EXPECT_FALSE(internal::axisCollapses(l.xmax, l.xmin));
        EXPECT_FALSE(internal::axisCollapses(l.ymax, l.ymin));
        for (const internal::AxisTicks* t : {&plot->xTicks(), &plot->yTicks()}) {
            ASSERT_EQ(9u, t->labels.size());
            for (size_t k = 0; k < t->labels.size(); ++k) {
                EXPECT_TRUE(std::isfinite(std::stod(t->labels[k]))) << t->labels[k];
                if (k > 0) {
                    EXPECT_NE(t->labels[k - 1], t->labels[k]);
                }
            }
        }
        window->draw(r);
        const zvtest::Snapshot s = grab();
        EXPECT_GT(s.count(W / 2, H / 2, W, H, amber), 10) << "the point at FLT_MAX, top right";
        EXPECT_GT(s.count(0, 0, W / 2, H / 2, amber), 10) << "the lower point, bottom left";
    }
}

// Through the public handles, with a window of another share group current: the fit runs
// in a window of the plot's group and the other window stays current.
TEST(PublicFitGLTest, FitsWhileAnotherGroupIsCurrent) {
    zv::Window home(64, 64, "home", nullptr, true);
    zv::Plot plot(2, zv::ZV_FLOAT32);
    zv::Histogram histogram(2, zv::ZV_FLOAT32);
    upload<float>(plot.vbo(), {-1, 5, 3, 6});
    upload<float>(histogram.vbo(), {2, 8});
    zv::Window other(64, 64, "other", nullptr, true);
    plot.fitAxesToData();
    histogram.fitAxesToData();
    EXPECT_FLOAT_EQ(-1.2f, plot.xmin());
    EXPECT_FLOAT_EQ(3.2f, plot.xmax());
    EXPECT_FLOAT_EQ(8.4f, histogram.ymax());
    EXPECT_EQ(other.get()->impl().get(), internal::currentWindow());
    EXPECT_FALSE(plot.autoFit());
    plot.setAutoFit(true);
    EXPECT_TRUE(plot.autoFit());
    home.makeCurrent();
    zv::Chart chart;
    chart.add(plot);
    other.makeCurrent();
    chart.fitAxesToData();
    EXPECT_FLOAT_EQ(-1.2f, chart.xmin());
    EXPECT_FLOAT_EQ(3.2f, chart.xmax());
    EXPECT_EQ(other.get()->impl().get(), internal::currentWindow());
    EXPECT_FALSE(chart.autoFit());
    chart.setAutoFit(true);
    EXPECT_TRUE(chart.autoFit());
    zvtest::expectNoGLError("public fits");
}

}  // namespace
