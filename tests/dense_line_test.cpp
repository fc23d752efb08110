// Dense lines, read back from the resolved picture of a 4x-multisampled window: every pixel
// column the data crosses has ink, and all ink lies within a pixel of the data, at every
// density, for a steep monotonic curve and a self-crossing figure, whole window and cell.
// Also the line width: thickness drawn and bad widths refused.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "chart/chart_layout.hpp"
#include "plot/plot_impl.hpp"
#include "support/chart_util.hpp"
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

const Curve CURVES[] = {
    {"tanh", 0.0f, static_cast<float>(2.0 * PI), -1.3f, 1.3f, tanhStep},
    {"lissajous", -1.2f, 1.2f, -1.2f, 1.2f, lissajous},
};
const unsigned DENSITIES[] = {1000, 2000, 20000, 1000000};

// Where the chart's frame lands in the window, in pixels from the bottom-left corner.
struct FrameBox {
    double left, bottom, right, top;
};

FrameBox wholeWindowFrame(int w, int h) {
    const internal::ChartLayout l = internal::chartLayout(w, h);
    return {l.frameLeft, l.frameBottom, l.frameRight, l.frameTop};
}

// A cell's chart is laid out for the cell and drawn into its inset area.
FrameBox cellFrame(const internal::CellLayout& c) {
    const internal::ChartLayout l = internal::chartLayout(c.width, c.height);
    const double kx = double(c.vwidth) / c.width, ky = double(c.vheight) / c.height;
    return {c.vx + l.frameLeft * kx, c.vy + l.frameBottom * ky, c.vx + l.frameRight * kx,
            c.vy + l.frameTop * ky};
}

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

// Red ink of the plot at window pixel (x, y from the bottom), 0 to 255: red above green
// counts the red line but not the white frame.
int ink(const zv::Snapshot& s, int x, int y) {
    const unsigned char* p = &s.rgba[(size_t(s.height - 1 - y) * s.width + x) * 4];
    return std::max(0, int(p[0]) - int(p[1]));
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
        if (!HasFailure()) return;
        zvtest::Snapshot t;
        t.width = s.width;
        t.height = s.height;
        t.rgba.resize(s.rgba.size());
        for (int y = 0; y < s.height; ++y)  // the test support writes rows bottom-up
            std::copy_n(&s.rgba[size_t(s.height - 1 - y) * s.width * 4], s.width * 4,
                        &t.rgba[size_t(y) * s.width * 4]);
        ADD_FAILURE() << "picture written to " << t.save(name);
    }
};

// The window is multisampled: the resolved picture is what a user sees.
TEST_F(DenseLineGLTest, EveryCrossedColumnIsInkedNearTheDataWholeWindowAndCell) {
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    EXPECT_GE(samples, 4) << "the ink checks are meant for a multisampled window";
    for (const Curve& c : CURVES) {
        for (unsigned n : DENSITIES) {
            const std::vector<float> xy = c.points(n);
            auto plot = makePlot(xy, c);
            const std::string name = std::string(c.name) + "_" + std::to_string(n);

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

}  // namespace
