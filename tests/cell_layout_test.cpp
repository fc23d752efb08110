// Where a grid's cells go, with no GPU: each cell's area, the viewport inset in it and its
// caption's place, for the grids of the examples.
#include <gtest/gtest.h>

#include <vector>

#include "window/cell_layout.hpp"

TEST(CellLayout, MatchesTheGridExamples) {
    struct Case {
        int fbw, fbh, rows, cols, col, row;
        int x, y, w, h, vx, vy, vw, vh;
        float capX, capY;
    } cases[] = {
        {800, 600, 2, 3, 1, 0, 266, 300, 266, 300, 271, 306, 256, 264, 266.0f / 3, 276.0f},
        {1024, 768, 2, 2, 0, 1, 0, 0, 512, 384, 10, 7, 492, 338, 512.0f / 3, 384 * 0.92f},
        {800, 600, 1, 1, 0, 0, 0, 0, 800, 600, 16, 12, 768, 528, 800.0f / 3, 552.0f},
    };
    for (const Case& c : cases) {
        internal::CellLayout l = internal::cellLayout(c.fbw, c.fbh, c.rows, c.cols, c.col, c.row);
        EXPECT_EQ(std::vector<int>({c.x, c.y, c.w, c.h, c.vx, c.vy, c.vw, c.vh}),
                  std::vector<int>({l.x, l.y, l.width, l.height, l.vx, l.vy, l.vwidth, l.vheight}));
        EXPECT_FLOAT_EQ(c.capX, l.captionX);
        EXPECT_FLOAT_EQ(c.capY, l.captionY);
    }
}
