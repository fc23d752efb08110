// Objects of one kind in a share group draw with one linked program: a new object builds no
// program of its own, the program goes with the last object using it, and objects drawn one
// after another with the shared program each keep their own values (bin count, marker shape,
// grayscale or colour), in either order.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gl/context.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shared_program.hpp"
#include "histogram/hist_impl.hpp"
#include "image/image_impl.hpp"
#include "plot/plot_impl.hpp"
#include "support/chart_util.hpp"
#include "support/frame_ink.hpp"
#include "support/gl_test.hpp"
#include "support/image_util.hpp"
#include "window/window_impl.hpp"

namespace {

using zvtest::FrameBox;
using zvtest::ink;

class SharedProgramGLTest : public zvtest::GLTest {
protected:
    std::shared_ptr<internal::hist_impl> histogram(const std::vector<float>& bins) {
        auto h = std::make_shared<internal::hist_impl>(unsigned(bins.size()), zv::ZV_FLOAT32);
        h->setBarColor(1.0f, 0.0f, 0.0f);
        h->setAxesLimits(1.0f, 0.0f, 1.0f, 0.0f);
        zvtest::fillBuffer(h->vbo(), bins.data(), bins.size() * sizeof(float));
        return h;
    }
    // One marker at the middle of the frame.
    std::shared_ptr<internal::scatter_impl> marker(int type) {
        auto p = std::make_shared<internal::scatter_impl>(1, zv::ZV_FLOAT32, type);
        p->setColor(1.0f, 0.0f, 0.0f);
        p->setAxesLimits(1.0f, 0.0f, 1.0f, 0.0f);
        const float point[2] = {0.5f, 0.5f};
        zvtest::fillBuffer(p->vbo(), point, sizeof point);
        return p;
    }
};

TEST_F(SharedProgramGLTest, ObjectsOfAKindBuildNoProgramOfTheirOwn) {
    // The group's chart font (the group keeps it, with its text program) is made before
    // counting.
    internal::getChartFont();
    const size_t programs = internal::groupProgramCount();
    const long objects = internal::liveGLObjects();
    {
        auto first = histogram({1.0f, 0.0f});
        const size_t withFirst = internal::groupProgramCount();
        const long firstObjects = internal::liveGLObjects() - objects;
        EXPECT_GT(withFirst, programs);  // bars, frame, ticks
        auto second = histogram({0.0f, 1.0f});
        auto third = histogram({0.5f, 0.5f});
        EXPECT_EQ(internal::groupProgramCount(), withFirst);
        // Later histograms add their buffers only.
        const long laterObjects = internal::liveGLObjects() - objects - firstObjects;
        EXPECT_EQ(laterObjects, 2 * (firstObjects - long(withFirst - programs)));

        // Another share group builds its own.
        auto other = std::make_shared<internal::window_impl>(
            64, 64, "other group", std::weak_ptr<internal::window_impl>(), true);
        internal::MakeContextCurrent(other.get());
        internal::getChartFont();
        const size_t otherPrograms = internal::groupProgramCount();
        {
            auto there = histogram({1.0f});
            EXPECT_EQ(internal::groupProgramCount(), otherPrograms + (withFirst - programs));
        }
        EXPECT_EQ(internal::groupProgramCount(), otherPrograms);
        other.reset();
        internal::MakeContextCurrent(window.get());
        EXPECT_EQ(internal::groupProgramCount(), withFirst);
    }
    // The programs went with the last histogram.
    EXPECT_EQ(internal::groupProgramCount(), programs);
    EXPECT_EQ(internal::liveGLObjects(), objects);
}

// Pairs drawn one after the other in one frame, so each follows the other's values in the
// shared program: in the second frame too, where the first of a pair follows the second.
TEST_F(SharedProgramGLTest, ObjectsSharingAProgramDrawWithTheirOwnValues) {
    auto fourBins = histogram({0.0f, 0.0f, 0.0f, 1.0f});  // only the last quarter
    auto twoBins = histogram({1.0f, 0.0f});                // only the first half
    auto disc = marker(zv::ZV_MARKER_POINT);
    auto ring = marker(zv::ZV_MARKER_CIRCLE);
    const std::vector<uint8_t> white = {255, 255, 255, 255};
    const std::vector<uint8_t> red = {255, 0, 0, 255, 255, 0, 0, 255,
                                      255, 0, 0, 255, 255, 0, 0, 255};
    auto gray = zvtest::makeImage(2, 2, zv::ZV_GRAYSCALE, zv::ZV_UINT8, white);
    auto rgba = zvtest::makeImage(2, 2, zv::ZV_RGBA, zv::ZV_UINT8, red);

    const int rows = 3, columns = 2;
    const std::shared_ptr<internal::AbstractRenderable> cells[3][2] = {
        {fourBins, twoBins}, {disc, ring}, {gray, rgba}};
    zv::Snapshot s;
    for (int frame = 0; frame < 2; ++frame) {
        window->grid(rows, columns);
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < columns; ++column)
                window->draw(column, row, cells[row][column], nullptr);
        window->draw();
        s = window->snapshot();
    }
    zvtest::expectNoGLError("shared program draws");
    const auto frameOf = [&](int column, int row) {
        return zvtest::cellFrame(internal::cellLayout(W, H, rows, columns, column, row));
    };
    const auto at = [](const FrameBox& f, double u, double v) {
        return std::pair<int, int>(int(f.left + u * (f.right - f.left)),
                                   int(f.bottom + v * (f.top - f.bottom)));
    };
    const auto inkAt = [&](std::pair<int, int> p) { return ink(s, p.first, p.second); };

    // Bin counts: a wrong count would move the bars by quarters.
    const FrameBox four = frameOf(0, 0), two = frameOf(1, 0);
    EXPECT_GT(inkAt(at(four, 0.9, 0.5)), 200);
    EXPECT_EQ(inkAt(at(four, 0.4, 0.5)), 0);
    EXPECT_GT(inkAt(at(two, 0.4, 0.5)), 200);
    EXPECT_EQ(inkAt(at(two, 0.75, 0.5)), 0);

    // Marker shapes: the disc is inked at its centre, the ring is not (but around it).
    const FrameBox d = frameOf(0, 1), r = frameOf(1, 1);
    EXPECT_GT(inkAt(at(d, 0.5, 0.5)), 200);
    EXPECT_EQ(inkAt(at(r, 0.5, 0.5)), 0);
    const std::pair<int, int> rc = at(r, 0.5, 0.5);
    int ringInk = 0;
    for (int dx = -5; dx <= 5; ++dx) ringInk += ink(s, rc.first + dx, rc.second);
    EXPECT_GT(ringInk, 200);

    // Grayscale through the grey ramp (white), colour as it is (red).
    const auto centre = [&](int column) {
        const internal::CellLayout c = internal::cellLayout(W, H, rows, columns, column, 2);
        const int x = c.vx + c.vwidth / 2, y = c.vy + c.vheight / 2;
        const unsigned char* p = &s.rgba[(size_t(s.height - 1 - y) * s.width + x) * 4];
        return std::vector<int>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(centre(0), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(centre(1), (std::vector<int>{255, 0, 0}));
}

}  // namespace
