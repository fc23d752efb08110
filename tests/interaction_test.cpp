// The mouse's maths, without a GPU: limits from cursor positions, the cell under the
// cursor, the frame's place in the window, what makes a double click, the read-out's text.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/chart_layout.hpp"
#include "window/interaction.hpp"
#include "window/window_impl.hpp"

namespace {

using internal::AxisSpan;

// A pan keeps what was under the cursor under it, on linear, reversed and logarithmic axes;
// the extent (in decades on a logarithmic axis) does not change.
TEST(MouseMaths, PanMovesTheValueUnderTheCursorWithIt) {
    struct Case {
        AxisSpan span;
        double from, to;
        double min, max;  // expected
    };
    const Case cases[] = {
        {{0.0, 10.0, false}, 0.5, 0.6, -1.0, 9.0},     // dragged a tenth right: data moves right
        {{0.0, 10.0, false}, 0.3, 0.1, 2.0, 12.0},
        {{10.0, 0.0, false}, 0.5, 0.6, 11.0, 1.0},     // reversed: min's edge still at fraction 0
        {{-3.0, -1.0, false}, 0.0, 1.0, -5.0, -3.0},
        {{1.0, 1000.0, true}, 0.5, 0.5 + 1.0 / 3.0, 0.1, 100.0},  // one decade
        {{1.0, 1000.0, false}, 0.5, 0.5, 1.0, 1000.0},            // no move, no change
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.span.min << ".." << c.span.max << " from "
                                        << c.from << " to " << c.to);
        const AxisSpan p = internal::panSpan(c.span, c.from, c.to);
        EXPECT_NEAR(c.min, p.min, 1e-9 * std::fabs(c.span.max - c.span.min) + 1e-12);
        EXPECT_NEAR(c.max, p.max, 1e-9 * std::fabs(c.span.max - c.span.min) + 1e-12);
        EXPECT_EQ(c.span.log, p.log);
        EXPECT_NEAR(internal::spanValueAt(c.span, c.from), internal::spanValueAt(p, c.to),
                    1e-9 * (std::fabs(c.span.min) + std::fabs(c.span.max)));
    }
}

// A zoom keeps the value under the cursor in place and scales the extent by the factor.
TEST(MouseMaths, ZoomKeepsTheValueUnderTheCursor) {
    struct Case {
        AxisSpan span;
        double about, factor;
        double min, max;
    };
    const Case cases[] = {
        {{0.0, 10.0, false}, 0.5, 0.5, 2.5, 7.5},
        {{0.0, 10.0, false}, 0.0, 0.5, 0.0, 5.0},   // about the minimum's edge
        {{0.0, 10.0, false}, 1.0, 2.0, -10.0, 10.0},
        {{10.0, 0.0, false}, 0.25, 0.5, 8.75, 3.75},  // reversed
        {{1.0, 1e4, true}, 0.5, 0.5, 10.0, 1000.0},  // four decades to two, about 100
        {{2.0, 4.0, false}, 1.5, 0.5, 3.5, 4.5},    // the cursor outside the frame
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.span.min << ".." << c.span.max << " about "
                                        << c.about << " by " << c.factor);
        const AxisSpan z = internal::zoomSpan(c.span, c.about, c.factor);
        EXPECT_NEAR(c.min, z.min, 1e-9 * std::fabs(c.min) + 1e-12);
        EXPECT_NEAR(c.max, z.max, 1e-9 * std::fabs(c.max) + 1e-12);
        EXPECT_NEAR(internal::spanValueAt(c.span, c.about), internal::spanValueAt(z, c.about),
                    1e-9 * (std::fabs(c.span.min) + std::fabs(c.span.max)));
    }
    // The wheel: one step away from the user shows 1/1.25 of the range, one towards 1.25
    // times it, and steps compose.
    EXPECT_DOUBLE_EQ(0.8, internal::wheelFactor(1.0));
    EXPECT_DOUBLE_EQ(1.25, internal::wheelFactor(-1.0));
    EXPECT_DOUBLE_EQ(0.64, internal::wheelFactor(2.0));
}

// Limits the frame cannot show are refused, so the mouse leaves that axis as it was.
// A zoom box shows what lay between its edges, whichever way it was dragged; a reversed
// axis stays reversed and a logarithmic one is cut in decades.
TEST(MouseMaths, BoxShowsWhatLayBetweenItsEdges) {
    struct Case {
        AxisSpan span;
        double t0, t1;
        double min, max;
    } cases[] = {
        {{0.0, 10.0, false}, 0.2, 0.6, 2.0, 6.0},
        {{0.0, 10.0, false}, 0.6, 0.2, 2.0, 6.0},
        {{10.0, 0.0, false}, 0.2, 0.6, 8.0, 4.0},
        {{1.0, 1e4, true}, 0.25, 0.75, 10.0, 1e3},
    };
    for (const Case& c : cases) {
        const AxisSpan b = internal::boxSpan(c.span, c.t0, c.t1);
        EXPECT_NEAR(c.min, b.min, 1e-9 * std::abs(c.min) + 1e-12) << c.t0 << " " << c.t1;
        EXPECT_NEAR(c.max, b.max, 1e-9 * std::abs(c.max) + 1e-12) << c.t0 << " " << c.t1;
        EXPECT_EQ(c.span.log, b.log);
    }
}

TEST(MouseMaths, UnusableLimitsAreRefused) {
    struct Case {
        AxisSpan span;
        bool usable;
    };
    const Case cases[] = {
        {{0.0, 1.0, false}, true},
        {{1.0, 0.0, false}, true},
        {{-1e30, 1e30, false}, true},
        {{0.0, 1e39, false}, false},                 // past the largest float
        {{-INFINITY, 0.0, false}, false},
        {{NAN, 1.0, false}, false},
        {{1.0, 1.0 + 1e-9, false}, false},           // one value in single precision
        {{1e6, 1e6 + 0.25, false}, false},           // a few units in the last place
        {{1e6, 1e6 + 4.0, false}, true},
        {{0.0, 10.0, true}, false},                  // zero on a logarithmic axis
        {{1e-50, 10.0, true}, false},                // below the smallest float
        {{1e-30, 10.0, true}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.usable, internal::spanUsable(c.span))
            << c.span.min << ".." << c.span.max << (c.span.log ? " log" : "");
    }
}

TEST(MouseMaths, ModifiersChooseTheAxesTheWheelZooms) {
    struct Case {
        int mods;
        bool x, y;
    };
    const Case cases[] = {
        {0, true, true},
        {1, true, false},   // Shift: x only
        {2, false, true},   // Ctrl: y only
        {3, true, true},    // both: both
        {4, true, true},    // Alt changes nothing
        {5, true, false},
    };
    for (const Case& c : cases) {
        const internal::ZoomAxes a = internal::wheelAxes(c.mods);
        EXPECT_EQ(c.x, a.x) << "mods " << c.mods;
        EXPECT_EQ(c.y, a.y) << "mods " << c.mods;
    }
}

// The cell under the cursor is the one the window drew there: its cell layout contains the
// point; the pixels left over by the division (right and top) belong to no cell.
TEST(MouseMaths, CellUnderTheCursorIsTheCellDrawnThere) {
    struct Case {
        int w, h, rows, columns;
        double x, y;  // from the top-left corner
        bool inCell;
        int column, row;
    };
    const Case cases[] = {
        {800, 600, 2, 3, 0.0, 0.0, true, 0, 0},
        {800, 600, 2, 3, 265.9, 299.9, true, 0, 0},
        {800, 600, 2, 3, 266.0, 300.0, true, 1, 1},
        {800, 600, 2, 3, 797.9, 599.0, true, 2, 1},
        {800, 600, 2, 3, 798.5, 10.0, false, 0, 0},  // the two columns right of every cell
        {801, 601, 2, 2, 10.0, 0.5, false, 0, 0},    // the top row left over
        {801, 601, 2, 2, 10.0, 1.5, true, 0, 0},
        {800, 600, 2, 3, -0.5, 10.0, false, 0, 0},
        {800, 600, 2, 3, 10.0, 600.5, false, 0, 0},
        {2, 2, 3, 3, 1.0, 1.0, false, 0, 0},         // cells of no pixels
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " grid " << c.rows << "x"
                                        << c.columns << " at " << c.x << "," << c.y);
        int column = -1, row = -1;
        ASSERT_EQ(c.inCell,
                  internal::cellUnder(c.w, c.h, c.rows, c.columns, c.x, c.y, column, row));
        if (!c.inCell) continue;
        EXPECT_EQ(c.column, column);
        EXPECT_EQ(c.row, row);
        const internal::CellLayout cell =
            internal::cellLayout(c.w, c.h, c.rows, c.columns, column, row);
        // The centre of the pixel the cursor is on, from the bottom-left corner.
        const internal::WindowPoint p = internal::windowPoint(c.h, c.x, c.y);
        EXPECT_DOUBLE_EQ(std::floor(c.x) + 0.5, p.x);
        EXPECT_DOUBLE_EQ(c.h - std::floor(c.y) - 0.5, p.y);
        EXPECT_GE(p.x, cell.x);
        EXPECT_LT(p.x, cell.x + cell.width);
        EXPECT_GE(p.y, cell.y);
        EXPECT_LT(p.y, cell.y + cell.height);
    }
}

// The frame found for the mouse is the one the chart clips its data to: over the whole
// window and in a grid cell's inset area, which scales the layout.
TEST(MouseMaths, FrameInWindowIsWhereTheDataIsClipped) {
    struct Case {
        int areaW, areaH;
        int viewport[4];
    };
    const Case cases[] = {
        {320, 240, {0, 0, 320, 240}},
        {400, 300, {408, 306, 384, 264}},  // cell (1, 0) of a 2 x 2 grid on 800 x 600
        {160, 120, {3, 2, 154, 106}},
    };
    for (const Case& c : cases) {
        const internal::ChartLayout layout = internal::chartLayout(c.areaW, c.areaH);
        ASSERT_TRUE(layout.hasDataArea);
        const internal::PixelFrame f = internal::frameInWindow(layout, c.viewport);
        const internal::PixelBox box = internal::frameScissor(layout, c.viewport);
        // The scissor box is the frame rounded outward to whole pixels.
        EXPECT_NEAR(box.x, f.left, 1.0);
        EXPECT_NEAR(box.y, f.bottom, 1.0);
        EXPECT_NEAR(box.x + box.width, f.left + f.width, 1.0);
        EXPECT_NEAR(box.y + box.height, f.bottom + f.height, 1.0);
        EXPECT_LE(box.x, f.left);
        EXPECT_GE(box.x + box.width, f.left + f.width);
    }
}

TEST(MouseMaths, DoubleClickNeedsTwoPressesCloseInTimeAndPlace) {
    EXPECT_TRUE(internal::isDoubleClick(0.0, 0.0, 0.0));
    EXPECT_TRUE(internal::isDoubleClick(0.39, 4.0, -4.0));
    EXPECT_FALSE(internal::isDoubleClick(0.41, 0.0, 0.0));
    EXPECT_FALSE(internal::isDoubleClick(0.1, 4.5, 0.0));
    EXPECT_FALSE(internal::isDoubleClick(0.1, 0.0, -4.5));
    EXPECT_FALSE(internal::isDoubleClick(-0.1, 0.0, 0.0));  // a clock that went back
}

// Each coordinate to the decimals that resolve a pixel's step, in powers of ten for huge
// and tiny magnitudes, and within the buffer however small it is.
TEST(ReadoutText, WritesEachCoordinateToThePrecisionOfAPixel) {
    struct Case {
        double x, xStep, y, yStep;
        const char* want;
    };
    const Case cases[] = {
        {3.14159, 0.02, 31.6228, 0.3, "x 3.14  y 31.6"},
        {-0.00421, 0.0001, 250.0, 2.0, "x -0.0042  y 250"},
        {12345678.0, 1000.0, 1e-7, 1e-9, "x 1.2346e+07  y 1.00e-07"},
        {0.0, 0.5, 2.0, 0.0, "x 0.0  y 2.000000"},
    };
    for (const Case& k : cases) {
        char text[64];
        internal::formatReadout(k.x, k.xStep, k.y, k.yStep, text, sizeof text);
        EXPECT_STREQ(k.want, text);
    }
    char tiny[6];
    internal::formatReadout(1.0, 0.1, 2.0, 0.1, tiny, sizeof tiny);
    EXPECT_STREQ("x 1.0", tiny);
}

}  // namespace
