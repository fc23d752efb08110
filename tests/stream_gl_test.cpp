// Data as it arrives: plots drawing a count of their points, rings, layouts of x and y, and
// 16-bit elements. Each is judged against the same points written the plain way (x and y
// interleaved as 32-bit floats, oldest first, exactly the points drawn): the pictures must
// be the same, dense ones reduced on the GPU included, and the fit must find the same range.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "gl/gl_objects.hpp"
#include "gl/limits.hpp"
#include "histogram/hist_impl.hpp"
#include "image/image_impl.hpp"
#include "plot/line_lod.hpp"
#include "plot/plot_impl.hpp"
#include "support/chart_util.hpp"
#include "support/frame_ink.hpp"
#include "support/gl_test.hpp"
#include "window/window_impl.hpp"
#include "zarvo/exception.h"
#include "zarvo/plot.h"

namespace {

using internal::plot_impl;
using zv::DataLayout;

size_t elementSize(zv::ZVType t) {
    switch (t) {
        case zv::ZV_UINT8: return 1;
        case zv::ZV_INT16:
        case zv::ZV_UINT16: return 2;
        default: return 4;
    }
}

void put(std::vector<unsigned char>& b, size_t at, zv::ZVType t, double v) {
    const auto store = [&](auto value) { std::memcpy(&b[at], &value, sizeof value); };
    switch (t) {
        case zv::ZV_UINT8: store(static_cast<uint8_t>(v)); break;
        case zv::ZV_INT16: store(static_cast<int16_t>(v)); break;
        case zv::ZV_UINT16: store(static_cast<uint16_t>(v)); break;
        case zv::ZV_INT32: store(static_cast<int32_t>(v)); break;
        case zv::ZV_UINT32: store(static_cast<uint32_t>(v)); break;
        default: store(static_cast<float>(v)); break;
    }
}

// Writes point i (x[i], y[i]) at place (start + i) mod capacity of the plot's buffers, where
// its layout puts it; an implicit x is not written (the caller's x must match it).
void writePoints(const plot_impl& p, zv::ZVType type, const std::vector<double>& x,
                 const std::vector<double>& y, unsigned start = 0) {
    const DataLayout l = p.layout();
    const size_t e = elementSize(type);
    const unsigned cap = p.numPoints();
    std::vector<unsigned char> yb(p.size()), xb(l.kind == zv::ZV_LAYOUT_SEPARATE ? p.xSize() : 0);
    for (size_t i = 0; i < y.size(); ++i) {
        const size_t at = (start + i) % cap;
        switch (l.kind) {
            case zv::ZV_LAYOUT_INTERLEAVED:
                put(yb, 2 * at * e, type, x[i]);
                put(yb, (2 * at + 1) * e, type, y[i]);
                break;
            case zv::ZV_LAYOUT_SEPARATE:
                put(xb, at * e, type, x[i]);
                put(yb, at * e, type, y[i]);
                break;
            case zv::ZV_LAYOUT_STRIDED:
                put(yb, at * l.stride + l.xOffset, type, x[i]);
                put(yb, at * l.stride + l.yOffset, type, y[i]);
                break;
            case zv::ZV_LAYOUT_IMPLICIT_X: put(yb, at * e, type, y[i]); break;
        }
    }
    if (!yb.empty()) zvtest::fillBuffer(p.vbo(), yb.data(), yb.size());
    if (!xb.empty()) zvtest::fillBuffer(p.xVbo(), xb.data(), xb.size());
}

struct Limits {
    float xmin, xmax, ymin, ymax;
};

// Pixels whose channels differ by more than a rounding's worth.
int pixelsApart(const zv::Snapshot& a, const zv::Snapshot& b) {
    int apart = 0;
    for (size_t i = 0; i + 3 < a.rgba.size() && i + 3 < b.rgba.size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            if (std::abs(int(a.rgba[i + c]) - int(b.rgba[i + c])) > 8) {
                ++apart;
                break;
            }
        }
    }
    return apart + static_cast<int>(a.rgba.size() != b.rgba.size()) * 1000000;
}

int redPixels(const zv::Snapshot& s) {
    int n = 0;
    for (size_t i = 0; i + 3 < s.rgba.size(); i += 4) n += s.rgba[i] > 100 && s.rgba[i + 1] < 60;
    return n;
}

class StreamGLTest : public zvtest::GLTest {
protected:
    static void style(plot_impl& p, const Limits& l) {
        p.setColor(0xFF0000FF);
        p.setLineWidth(2.0f);
        p.setAxesLimits(l.xmax, l.xmin, l.ymax, l.ymin);
    }
    // The reference: the points drawn, oldest first, interleaved 32-bit floats.
    std::shared_ptr<plot_impl> reference(const std::vector<double>& x, const std::vector<double>& y,
                                         const Limits& l, int marker, bool scatter = false) {
        const unsigned n = unsigned(y.size());
        std::shared_ptr<plot_impl> p =
            scatter ? std::make_shared<internal::scatter_impl>(n, zv::ZV_FLOAT32, marker)
                    : std::make_shared<plot_impl>(n, zv::ZV_FLOAT32, marker);
        style(*p, l);
        writePoints(*p, zv::ZV_FLOAT32, x, y);
        return p;
    }
    zv::Snapshot picture(const std::shared_ptr<plot_impl>& p) {
        window->draw(p);
        zvtest::expectNoGLError("draw");
        return window->snapshot();
    }
    // Primitives the last draw of `p` generated: two triangles a segment of the full line,
    // a few thousand in all for a line reduced per pixel column.
    GLuint primitivesOf(const std::shared_ptr<plot_impl>& p, zv::Snapshot* s = nullptr) {
        GLuint query = 0, n = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        window->draw(p);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &n);
        glDeleteQueries(1, &query);
        if (s) *s = window->snapshot();
        return n;
    }
    void expectSame(const zv::Snapshot& got, const zv::Snapshot& want, const std::string& name) {
        const int apart = pixelsApart(got, want);
        EXPECT_LE(apart, 4) << name;
        EXPECT_GT(redPixels(want), 100) << name << ": the reference shows too little to compare";
        if (apart > 4) ADD_FAILURE() << "picture written to " << zvtest::savePicture(got, name);
    }
};

struct LayoutCase {
    const char* name;
    zv::ZVType type;
    DataLayout layout;
    bool negative;  // y from -125 to 125 rather than from 0 to 250
};

const LayoutCase LAYOUTS[] = {
    {"float_separate", zv::ZV_FLOAT32, DataLayout::separate(), true},
    {"float_records", zv::ZV_FLOAT32, DataLayout::strided(16, 4, 12), true},
    {"float_y_before_x", zv::ZV_FLOAT32, DataLayout::strided(8, 4, 0), false},
    {"float_implicit", zv::ZV_FLOAT32, DataLayout::implicitX(3.0f, 0.0f), true},
    {"int16_interleaved", zv::ZV_INT16, DataLayout::interleaved(), true},
    {"int16_separate", zv::ZV_INT16, DataLayout::separate(), true},
    {"int16_records", zv::ZV_INT16, DataLayout::strided(6, 0, 4), true},
    {"int16_implicit", zv::ZV_INT16, DataLayout::implicitX(3.0f, 0.0f), true},
    {"uint16_interleaved", zv::ZV_UINT16, DataLayout::interleaved(), false},
    {"uint16_records", zv::ZV_UINT16, DataLayout::strided(8, 6, 2), false},
    {"uint16_implicit", zv::ZV_UINT16, DataLayout::implicitX(3.0f, 0.0f), false},
    {"uint8_records", zv::ZV_UINT8, DataLayout::strided(3, 0, 2), false},
    {"uint8_separate", zv::ZV_UINT8, DataLayout::separate(), false},
    {"int32_records", zv::ZV_INT32, DataLayout::strided(12, 8, 0), true},
    {"uint32_separate", zv::ZV_UINT32, DataLayout::separate(), false},
};

// A zigzag of integers: x = 3 i, y swinging over 0..250 (or -125..125).
void zigzag(unsigned n, bool negative, std::vector<double>& x, std::vector<double>& y) {
    x.resize(n);
    y.resize(n);
    for (unsigned i = 0; i < n; ++i) {
        x[i] = 3.0 * i;
        y[i] = double((i * 37) % 251) - (negative ? 125.0 : 0.0);
    }
}

}  // namespace

// Every layout and element type draws, line and markers, what the same points interleaved
// as floats draw.
TEST_F(StreamGLTest, EveryLayoutAndTypeDrawsWhatInterleavedFloatsDraw) {
    for (const LayoutCase& k : LAYOUTS) {
        SCOPED_TRACE(k.name);
        std::vector<double> x, y;
        zigzag(60, k.negative, x, y);
        const Limits l{-5.0f, 185.0f, k.negative ? -140.0f : -15.0f, k.negative ? 140.0f : 265.0f};
        auto p = std::make_shared<plot_impl>(60, k.type, zv::ZV_MARKER_CIRCLE, k.layout);
        style(*p, l);
        writePoints(*p, k.type, x, y);
        expectSame(picture(p), picture(reference(x, y, l, zv::ZV_MARKER_CIRCLE)),
                   std::string("StreamLayout_") + k.name);
    }
}

// Buffers come in the size and number the layout needs.
TEST_F(StreamGLTest, BuffersFollowTheLayout) {
    struct Case {
        zv::ZVType type;
        DataLayout layout;
        size_t bytes, xBytes;
        bool ownX;
    };
    const Case cases[] = {{zv::ZV_INT16, DataLayout(), 400, 400, false},
                          {zv::ZV_UINT16, DataLayout::separate(), 200, 200, true},
                          {zv::ZV_FLOAT32, DataLayout::strided(20, 4, 8), 2000, 2000, false},
                          {zv::ZV_INT16, DataLayout::implicitX(), 200, 0, false}};
    for (const Case& c : cases) {
        plot_impl p(100, c.type, zv::ZV_MARKER_NONE, c.layout);
        EXPECT_EQ(c.bytes, p.size());
        EXPECT_EQ(c.bytes, size_t(zvtest::arrayBufferInfo(p.vbo()).bytes));
        EXPECT_EQ(c.xBytes, p.xSize());
        if (c.ownX) {
            EXPECT_NE(p.vbo(), p.xVbo());
            EXPECT_EQ(c.xBytes, size_t(zvtest::arrayBufferInfo(p.xVbo()).bytes));
        } else if (c.xBytes) {
            EXPECT_EQ(p.vbo(), p.xVbo());
        } else {
            EXPECT_EQ(0u, p.xVbo());
        }
    }
}

// Layouts a plot cannot read are refused before anything is made, with advice.
TEST_F(StreamGLTest, LayoutsThatCannotBeReadRaise) {
    const long before = internal::liveGLObjects();
    struct Case {
        const char* name;
        zv::ZVType type;
        DataLayout layout;
    };
    DataLayout unknown;
    unknown.kind = static_cast<zv::DataLayoutKind>(7);
    const Case cases[] = {
        {"zero stride", zv::ZV_FLOAT32, DataLayout::strided(0, 0, 0)},
        {"stride not a multiple", zv::ZV_FLOAT32, DataLayout::strided(10, 0, 4)},
        {"offset not a multiple", zv::ZV_INT16, DataLayout::strided(8, 1, 4)},
        {"y past its record", zv::ZV_FLOAT32, DataLayout::strided(8, 0, 8)},
        {"x past its record", zv::ZV_UINT16, DataLayout::strided(4, 3, 0)},
        {"record too wide", zv::ZV_FLOAT32, DataLayout::strided(4096, 0, 4)},
        {"step not finite", zv::ZV_FLOAT32, DataLayout::implicitX(NAN, 0.0f)},
        {"start not finite", zv::ZV_FLOAT32, DataLayout::implicitX(1.0f, INFINITY)},
        {"unknown kind", zv::ZV_FLOAT32, unknown},
    };
    for (const Case& c : cases) {
        try {
            zv::Plot p(10, c.type, zv::ZV_PLOT_LINE, zv::ZV_MARKER_NONE, c.layout);
            ADD_FAILURE() << c.name << ": no exception";
        } catch (const zv::ArgumentError& e) {
            EXPECT_EQ(5, e.argIndex()) << c.name;
            EXPECT_STREQ("Plot::Plot", e.functionName()) << c.name;
            EXPECT_GT(std::strlen(e.expectedCondition()), 20u) << c.name;
        }
    }
    EXPECT_EQ(before, internal::liveGLObjects());
}

// Counts and ring starts past the capacity are refused with advice and change nothing.
TEST_F(StreamGLTest, CountsAndStartsPastTheCapacityRaise) {
    zv::Plot p(10, zv::ZV_FLOAT32);
    EXPECT_EQ(10u, p.count());
    EXPECT_EQ(10u, p.capacity());
    p.setRing(3, 7);
    const auto expectRaise = [&](const char* what, int arg, const char* fn, auto&& call) {
        try {
            call();
            ADD_FAILURE() << what << ": no exception";
        } catch (const zv::ArgumentError& e) {
            EXPECT_EQ(arg, e.argIndex()) << what;
            EXPECT_STREQ(fn, e.functionName()) << what;
            EXPECT_NE(std::string(e.expectedCondition()).find("10"), std::string::npos) << e.expectedCondition();
        }
        EXPECT_EQ(3u, p.start()) << what;
        EXPECT_EQ(7u, p.count()) << what;
    };
    expectRaise("count", 1, "Plot::setCount", [&] { p.setCount(11); });
    expectRaise("start", 1, "Plot::setRing", [&] { p.setRing(10, 5); });
    expectRaise("ring count", 2, "Plot::setRing", [&] { p.setRing(0, 11); });
    p.setCount(10);
    EXPECT_EQ(3u, p.start());
    EXPECT_EQ(10u, p.count());
    zv::Plot empty(0, zv::ZV_FLOAT32);
    empty.setRing(0, 0);
    EXPECT_THROW(empty.setRing(1, 0), zv::ArgumentError);
}

// The count changes from one frame to the next; whatever lies past it (here points far off
// and NaN) is never drawn.
TEST_F(StreamGLTest, CountChangesFromFrameToFrame) {
    const unsigned cap = 50;
    std::vector<double> x, y;
    zigzag(cap, false, x, y);
    const Limits l{-5.0f, 155.0f, -15.0f, 265.0f};
    for (bool scatter : {false, true}) {
        const int marker = scatter ? zv::ZV_MARKER_SQUARE : zv::ZV_MARKER_NONE;
        std::shared_ptr<plot_impl> p =
            scatter ? std::make_shared<internal::scatter_impl>(cap, zv::ZV_FLOAT32, marker)
                    : std::make_shared<plot_impl>(cap, zv::ZV_FLOAT32, marker);
        style(*p, l);
        for (unsigned count : {50u, 20u, 0u, 1u, 2u, 35u}) {
            SCOPED_TRACE(std::to_string(count) + (scatter ? " markers" : " line"));
            std::vector<double> gx = x, gy = y;
            for (unsigned i = count; i < cap; ++i) {
                gx[i] = i % 2 ? 1e6 : NAN;
                gy[i] = -1e6;
            }
            writePoints(*p, zv::ZV_FLOAT32, gx, gy);
            p->setCount(count);
            const std::vector<double> rx(x.begin(), x.begin() + count),
                ry(y.begin(), y.begin() + count);
            const zv::Snapshot got = picture(p);
            const zv::Snapshot w = picture(reference(rx, ry, l, marker, scatter));
            EXPECT_LE(pixelsApart(got, w), 4);
            if (count >= 2 || (scatter && count >= 1)) {
                EXPECT_GT(redPixels(w), 20);
            }
        }
    }
}

// A ring draws from its oldest point through its newest: the segment from the buffer's last
// place to its first is drawn, none from the newest back to the oldest, at every start of
// rings of a few sizes, full and one short, with x stored or made from the index.
TEST_F(StreamGLTest, RingsDrawFromTheOldestThroughTheNewestAtEveryStart) {
    const Limits l{-5.0f, 75.0f, -15.0f, 115.0f};
    for (const DataLayout& layout : {DataLayout(), DataLayout::implicitX(10.0f, 0.0f)}) {
        const zv::ZVType type =
            layout.kind == zv::ZV_LAYOUT_IMPLICIT_X ? zv::ZV_INT16 : zv::ZV_FLOAT32;
        for (unsigned cap : {2u, 3u, 5u, 8u}) {
            auto p = std::make_shared<plot_impl>(cap, type, zv::ZV_MARKER_NONE, layout);
            style(*p, l);
            for (unsigned count : {cap, cap - 1}) {
                if (count < 2) continue;
                // Oldest first: a staircase rising to the right, whose newest point lies far
                // from its oldest, so a segment closing the ring would show.
                std::vector<double> x(count), y(count);
                for (unsigned i = 0; i < count; ++i) {
                    x[i] = 10.0 * i;
                    y[i] = i % 2 ? 100.0 : std::floor(100.0 * i / count);
                }
                const zv::Snapshot want = picture(reference(x, y, l, zv::ZV_MARKER_NONE));
                for (unsigned start = 0; start < cap; ++start) {
                    const std::string name = "StreamRing_" + std::to_string(int(layout.kind)) +
                                             "_" + std::to_string(cap) + "_" +
                                             std::to_string(count) + "_" + std::to_string(start);
                    SCOPED_TRACE(name);
                    writePoints(*p, type, x, y, start);
                    p->setRing(start, count);
                    expectSame(picture(p), want, name);
                }
            }
        }
    }
}

// The fit takes the points drawn and nothing else, in every layout and through pieces of
// data longer than a buffer texture covers; auto-fit follows the ring.
TEST_F(StreamGLTest, FitTakesThePointsDrawn) {
    struct Reset {
        ~Reset() { internal::limitTextureBufferTexelsForTests(0); }
    } reset;
    const unsigned cap = 300;
    for (GLint texels : {0, 64}) {
        internal::limitTextureBufferTexelsForTests(texels);
        for (const LayoutCase& k : LAYOUTS) {
            SCOPED_TRACE(std::string(k.name) + (texels ? " in pieces" : ""));
            auto p = std::make_shared<plot_impl>(cap, k.type, zv::ZV_MARKER_NONE, k.layout);
            // Place q holds the point of index (q - start) mod cap: x = 3 index, y = 20 but
            // for the two extremes, at the oldest and the newest point drawn.
            const unsigned start = 250, count = 100;
            std::vector<double> x(cap), y(cap, 20.0);
            const bool implicit = k.layout.kind == zv::ZV_LAYOUT_IMPLICIT_X;
            for (unsigned i = 0; i < cap; ++i) x[i] = implicit ? 3.0 * i : 100.0 + (i % 7);
            // Points not drawn hold values that would widen the range.
            for (unsigned i = count; i < cap; ++i) y[i] = k.negative ? -120.0 : 250.0;
            y[0] = k.negative ? -50.0 : 5.0;
            y[count - 1] = 90.0;
            writePoints(*p, k.type, x, y, start);
            p->setRing(start, count);
            p->fitAxesToData();
            const double lo = y[0], hi = 90.0;
            EXPECT_NEAR(lo - 0.05 * (hi - lo), p->ymin(), 1e-3);
            EXPECT_NEAR(hi + 0.05 * (hi - lo), p->ymax(), 1e-3);
            const double xlo = implicit ? 0.0 : 100.0;
            const double xhi = implicit ? 3.0 * (count - 1) : 106.0;
            EXPECT_NEAR(xlo - 0.05 * (xhi - xlo), p->xmin(), 1e-3);
            EXPECT_NEAR(xhi + 0.05 * (xhi - xlo), p->xmax(), 1e-3);
        }
    }
    zvtest::expectNoGLError("fits");

    // Auto-fit: the limits follow the count, two draws late.
    auto p = std::make_shared<plot_impl>(cap, zv::ZV_INT16, zv::ZV_MARKER_NONE,
                                         DataLayout::implicitX(1.0f, 0.0f));
    std::vector<double> x(cap), y(cap);
    for (unsigned i = 0; i < cap; ++i) y[i] = i;
    writePoints(*p, zv::ZV_INT16, x, y);
    p->setAutoFit(true);
    p->setCount(101);
    for (int frame = 0; frame < 3; ++frame) window->draw(p);
    EXPECT_NEAR(105.0f, p->ymax(), 1e-3);
    EXPECT_NEAR(105.0f, p->xmax(), 1e-3);
}

// Dense lines are reduced on the GPU in every layout, along the ring's order and over the
// count alone: the buffer's own order (not sorted by x at a ring's seam, garbage past the
// count) must not stop the reduction, and the picture is that of the plain reduced line.
TEST_F(StreamGLTest, LevelOfDetailFollowsLayoutCountAndRing) {
    const unsigned cap = 30000, count = 24000;
    const Limits l{-500.0f, 24500.0f, -100.0f, 2100.0f};
    std::vector<double> x(count), y(count);
    for (unsigned i = 0; i < count; ++i) {
        x[i] = i;
        y[i] = std::round(1000.0 + 900.0 * std::sin(i / 700.0) * std::cos(i / 53.0));
    }
    zv::Snapshot want;
    auto ref = reference(x, y, l, zv::ZV_MARKER_NONE);
    ASSERT_LT(primitivesOf(ref, &want), count / 3) << "the reference is not reduced";
    struct Case {
        const char* name;
        zv::ZVType type;
        DataLayout layout;
        unsigned start;
        int marker;
    };
    const Case cases[] = {
        {"float_separate_ring", zv::ZV_FLOAT32, DataLayout::separate(), 20000, zv::ZV_MARKER_NONE},
        {"int16_records_ring", zv::ZV_INT16, DataLayout::strided(8, 2, 6), 29999, zv::ZV_MARKER_NONE},
        {"uint16_implicit_count", zv::ZV_UINT16, DataLayout::implicitX(), 0, zv::ZV_MARKER_NONE},
        {"float_interleaved_ring_markers", zv::ZV_FLOAT32, DataLayout(), 7000, zv::ZV_MARKER_POINT},
    };
    std::mt19937 random(7);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        auto p = std::make_shared<plot_impl>(cap, k.type, k.marker, k.layout);
        style(*p, l);
        // The places not drawn hold points in no order at all.
        std::vector<double> gx(cap), gy(cap);
        for (unsigned i = 0; i < cap; ++i) {
            gx[i] = i < count ? x[i] : double(random() % 20000);
            gy[i] = i < count ? y[i] : double(random() % 2000);
        }
        writePoints(*p, k.type, gx, gy, k.start);
        p->setRing(k.start, count);
        zv::Snapshot got;
        if (k.marker == zv::ZV_MARKER_NONE) {
            EXPECT_LT(primitivesOf(p, &got), count / 3) << "not reduced";
            expectSame(got, want, std::string("StreamLod_") + k.name);
        } else {
            // Markers: against the plain plot with the same markers, both reduced.
            auto withMarkers = reference(x, y, l, k.marker);
            const zv::Snapshot w = picture(withMarkers);
            got = picture(p);
            expectSame(got, w, std::string("StreamLod_") + k.name);
        }
        ASSERT_NE(p->lod(), nullptr);
    }
}

// A ring told of its new points with advanceRing sums again only their blocks, and draws,
// frame after frame, what the same points written whole into a new plot draw (its blocks
// all summed afresh): new points that cross the
// buffer's wrap and start and end inside blocks, a frame whose new point falls back in x
// (the full line then, as for the points written whole), the ring still filling up. A
// change it is not told of (setRing) sums every block again.
TEST_F(StreamGLTest, AdvancedRingDrawsWhatItsPointsDrawAndSumsOnlyTheNewBlocks) {
    const unsigned cap = 30000, fresh = 1037;
    const unsigned blocks = (cap + internal::LineLod::BLOCK - 1) / internal::LineLod::BLOCK;
    auto p = std::make_shared<plot_impl>(cap, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
    std::vector<double> x, y;  // every point written, oldest first
    const auto sample = [](double t) {
        return std::round(1000.0 + 900.0 * std::sin(t / 700.0) * std::cos(t / 53.0));
    };
    // Writes n points after the newest, at their places, alone.
    const auto append = [&](unsigned n, double step) {
        for (unsigned k = 0; k < n; ++k) {
            const double t = x.empty() ? 0.0 : x.back() + step;
            const unsigned place = static_cast<unsigned>(x.size() % cap);
            const float xy[2] = {static_cast<float>(t), static_cast<float>(sample(t))};
            glBindBuffer(GL_ARRAY_BUFFER, p->vbo());
            glBufferSubData(GL_ARRAY_BUFFER, GLintptr(place) * 8, 8, xy);
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            x.push_back(t);
            y.push_back(sample(t));
        }
    };
    // The points drawn, oldest first, written whole into a plain plot, under the same limits.
    const auto expectAsWritten = [&](const char* name, bool ordered) {
        SCOPED_TRACE(name);
        const unsigned n = p->count();
        ASSERT_EQ(n, std::min<size_t>(x.size(), cap));
        const std::vector<double> wx(x.end() - n, x.end()), wy(y.end() - n, y.end());
        const Limits l{float(wx.front()) - 100.0f, float(x.back()) + 100.0f, -100.0f, 2100.0f};
        style(*p, l);
        zv::Snapshot got, want;
        const GLuint drawn = primitivesOf(p, &got);
        ASSERT_NE(p->lod(), nullptr);
        EXPECT_TRUE(p->lod()->lastUsedBlocks());
        if (ordered) {
            EXPECT_LT(drawn, n / 3) << "not reduced";
        }
        auto ref = reference(wx, wy, l, zv::ZV_MARKER_NONE);
        want = picture(ref);
        expectSame(got, want, std::string("AdvancedRing_") + name);
    };

    append(cap - 3000, 1.0);  // filling up: start 0, not yet wrapped
    p->setCount(cap - 3000);
    expectAsWritten("first draw", true);
    EXPECT_EQ(blocks, p->lod()->lastBlocksSummed());
    for (int frame = 0; frame < 4; ++frame) {
        append(fresh, 1.0);
        p->advanceRing(fresh);
        expectAsWritten("advanced", true);
        // The new points span at most this many blocks, wherever they start.
        EXPECT_LE(p->lod()->lastBlocksSummed(), fresh / internal::LineLod::BLOCK + 2);
        EXPECT_GE(p->lod()->lastBlocksSummed(), 1u);
    }
    EXPECT_EQ(cap, p->count());
    EXPECT_NE(0u, p->start()) << "the ring wrapped";
    p->advanceRing(0);  // nothing new: every summary kept
    expectAsWritten("nothing new", true);
    EXPECT_EQ(0u, p->lod()->lastBlocksSummed());
    append(1, -5.0);  // back in x: the line is no longer ordered
    append(fresh - 1, 1.0);
    p->advanceRing(fresh);
    expectAsWritten("out of order", false);
    EXPECT_LE(p->lod()->lastBlocksSummed(), fresh / internal::LineLod::BLOCK + 2);

    p->setRing(p->start(), p->count());
    expectAsWritten("told nothing", false);
    EXPECT_EQ(blocks, p->lod()->lastBlocksSummed());
    EXPECT_THROW(p->advanceRing(cap + 1), zv::ArgumentError);
    EXPECT_EQ(cap, p->count());
}

// Histograms of 16-bit frequencies draw what the same frequencies as floats draw, sparse
// and denser than the frame's columns.
TEST_F(StreamGLTest, HistogramsOf16BitFrequencies) {
    for (unsigned bins : {40u, 3000u}) {
        for (zv::ZVType type : {zv::ZV_INT16, zv::ZV_UINT16}) {
            SCOPED_TRACE(std::to_string(bins) + (type == zv::ZV_INT16 ? " int16" : " uint16"));
            std::vector<double> v(bins);
            for (unsigned i = 0; i < bins; ++i) v[i] = double((i * 7919) % 30000);
            const auto make = [&](zv::ZVType t) {
                auto h = std::make_shared<internal::hist_impl>(bins, t);
                h->setBarColor(1.0f, 0.0f, 0.0f);
                h->setAxesLimits(float(bins), 0.0f, 32000.0f, 0.0f);
                std::vector<unsigned char> b(bins * elementSize(t));
                for (unsigned i = 0; i < bins; ++i) put(b, i * elementSize(t), t, v[i]);
                zvtest::fillBuffer(h->vbo(), b.data(), b.size());
                return h;
            };
            auto h = make(type);
            window->draw(h);
            const zv::Snapshot got = window->snapshot();
            window->draw(make(zv::ZV_FLOAT32));
            const zv::Snapshot want = window->snapshot();
            EXPECT_LE(pixelsApart(got, want), 4);
            EXPECT_GT(redPixels(want), 1000);
            h->fitAxesToData();
            // The fit leaves 5% headroom above the tallest bar.
            EXPECT_FLOAT_EQ(1.05f * float(*std::max_element(v.begin(), v.end())), h->ymax());
        }
    }
}

// Images of 16-bit channels are normalised as bytes are (k / 65535 unsigned, k / 32767
// signed), all 16 bits kept: the picture of the floats k / 65535 (k / 32767), with and
// without a value range in the element's own units.
TEST_F(StreamGLTest, ImagesOf16BitChannelsAreNormalised) {
    const unsigned w = 64, h = 32;
    for (zv::ZVType type : {zv::ZV_UINT16, zv::ZV_INT16}) {
        for (zv::ColorMode mode : {zv::ZV_GRAYSCALE, zv::ZV_RGB}) {
            for (bool range : {false, true}) {
                SCOPED_TRACE(std::to_string(int(type)) + " " + std::to_string(int(mode)) +
                             (range ? " with a range" : ""));
                const double unit = type == zv::ZV_UINT16 ? 65535.0 : 32767.0;
                const unsigned n = w * h * unsigned(mode);
                std::vector<double> v(n);
                for (unsigned i = 0; i < n; ++i) {
                    // Steps of 3 units: 8 bits could not tell them apart.
                    const double k = double((i * 3) % 1000) + (range ? 20000.0 : 0.0);
                    v[i] = type == zv::ZV_INT16 && i % 2 ? -k : k;
                }
                auto img = std::make_shared<internal::image_impl>(w, h, mode, type);
                auto ref = std::make_shared<internal::image_impl>(w, h, mode, zv::ZV_FLOAT32);
                EXPECT_EQ(float(unit), img->valueMax());
                std::vector<unsigned char> a(n * 2), b(n * 4);
                for (unsigned i = 0; i < n; ++i) {
                    put(a, i * 2, type, v[i]);
                    put(b, i * 4, zv::ZV_FLOAT32, v[i] / unit);
                }
                zvtest::fillBuffer(img->pbo(), a.data(), a.size());
                zvtest::fillBuffer(ref->pbo(), b.data(), b.size());
                if (range) {
                    img->setValueRange(20000.0f, 21000.0f);
                    ref->setValueRange(float(20000.0 / unit), float(21000.0 / unit));
                }
                window->draw(img);
                const zv::Snapshot got = window->snapshot();
                window->draw(ref);
                const zv::Snapshot want = window->snapshot();
                EXPECT_LE(pixelsApart(got, want), 4);
            }
        }
    }
    zvtest::expectNoGLError("16-bit images");
}
