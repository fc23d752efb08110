// Charts of several series with no GPU: where the legend's box and entries go, and the
// colour cycle the series take.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "chart/legend_layout.hpp"

TEST(LegendLayout, BoxSitsInTheChosenCornerInsideTheFrame) {
    const internal::PixelRect frame{100, 50, 700, 550};
    const internal::LegendMetrics m;
    const float w = 2 * m.padding + m.swatchWidth + m.gap + 80;  // 104
    const float h = 2 * m.padding + 3 * m.rowHeight;              // 72
    struct Case {
        zv::LegendCorner corner;
        float x0, y0;
    } cases[] = {
        {zv::ZV_LEGEND_TOP_RIGHT, 700 - 8 - w, 550 - 8 - h},
        {zv::ZV_LEGEND_TOP_LEFT, 108, 550 - 8 - h},
        {zv::ZV_LEGEND_BOTTOM_LEFT, 108, 58},
        {zv::ZV_LEGEND_BOTTOM_RIGHT, 700 - 8 - w, 58},
    };
    for (const Case& c : cases) {
        const internal::PixelRect b = internal::legendBox(frame, c.corner, 3, 80.0f);
        EXPECT_FLOAT_EQ(c.x0, b.x0) << "corner " << c.corner;
        EXPECT_FLOAT_EQ(c.y0, b.y0) << "corner " << c.corner;
        EXPECT_FLOAT_EQ(w, b.x1 - b.x0);
        EXPECT_FLOAT_EQ(h, b.y1 - b.y0);
    }
    const internal::PixelRect none = internal::legendBox(frame, zv::ZV_LEGEND_TOP_RIGHT, 0, 80);
    EXPECT_EQ(none.x0, none.x1);
    EXPECT_EQ(none.y0, none.y1);
}

TEST(LegendLayout, EntriesRunDownFromTheTopInRows) {
    const internal::PixelRect box{10, 100, 130, 172};
    const internal::LegendMetrics m;
    for (size_t k = 0; k < 3; ++k) {
        const internal::LegendEntry e = internal::legendEntry(box, k);
        const float cy = 172 - m.padding - m.rowHeight * (k + 0.5f);
        EXPECT_FLOAT_EQ(cy, e.markerY);
        EXPECT_FLOAT_EQ(cy, 0.5f * (e.line.y0 + e.line.y1));
        EXPECT_FLOAT_EQ(16.0f, e.line.x0);
        EXPECT_FLOAT_EQ(40.0f, e.line.x1);
        EXPECT_FLOAT_EQ(28.0f, e.markerX);
        EXPECT_FLOAT_EQ(46.0f, e.textX);  // swatch, then the gap
        EXPECT_LT(e.textY, cy);          // the baseline below the row's middle
        EXPECT_GT(e.textY, cy - m.rowHeight / 2);
    }
}

TEST(ColourCycle, EightDistinctOpaqueColoursThenAgain) {
    std::set<zv::Color> seen;
    for (size_t k = 0; k < internal::SERIES_CYCLE_LENGTH; ++k) {
        const zv::Color c = internal::seriesCycleColor(k);
        EXPECT_EQ(0xFFu, c & 0xFF) << k;
        // Each shows on the black background: some channel well above black.
        EXPECT_GT(std::max({c >> 24, (c >> 16) & 0xFF, (c >> 8) & 0xFF}), 0x90u) << k;
        seen.insert(c);
    }
    EXPECT_EQ(8u, seen.size());
    EXPECT_GE(internal::SERIES_CYCLE_LENGTH, 8u);
    EXPECT_EQ(internal::seriesCycleColor(0), internal::seriesCycleColor(8));
}
