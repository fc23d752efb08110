// An image's colour bar laid out with no GPU: the strip at the right, its ticks from the
// minimum to the maximum, labels that name their values, and the title's line.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "image/color_bar_layout.hpp"

TEST(ColorBarLayout, StripAtTheRightWithTicksFromMinToMax) {
    const internal::ColorBarLayout l = internal::colorBarLayout(800, 600);
    ASSERT_TRUE(l.shown);
    EXPECT_EQ(800 - internal::COLOR_BAR_STRIP, l.imageWidth);
    EXPECT_GT(l.barX0, l.imageWidth);
    EXPECT_LT(l.labelX + 6 * 8, 800);  // room for "320.00"
    EXPECT_FLOAT_EQ(l.barY0, l.tickY[0]);
    EXPECT_FLOAT_EQ(l.barY1, l.tickY[internal::COLOR_BAR_TICKS - 1]);
    for (int k = 1; k < internal::COLOR_BAR_TICKS; ++k) EXPECT_GT(l.tickY[k], l.tickY[k - 1]);
    // Too small for a strip and an image beside it: no bar.
    EXPECT_FALSE(internal::colorBarLayout(199, 600).shown);
    EXPECT_FALSE(internal::colorBarLayout(800, 59).shown);
}

TEST(ColorBarLayout, LabelsInTwoDecimalsFromMinUp) {
    EXPECT_EQ((std::vector<std::string>{"250.00", "267.50", "285.00", "302.50", "320.00"}),
              internal::colorBarLabels(250.0f, 320.0f));
    EXPECT_EQ((std::vector<std::string>{"0.00", "63.75", "127.50", "191.25", "255.00"}),
              internal::colorBarLabels(0.0f, 255.0f));
    EXPECT_EQ((std::vector<std::string>{"1.00", "0.50", "0.00", "-0.50", "-1.00"}),
              internal::colorBarLabels(1.0f, -1.0f));
}

// Where two decimals would name the ticks wrongly or alike, the bar's labels take the
// format the chart frame's even ticks take: each label reads within a quarter of the step
// of its value and no two read the same.
TEST(ColorBarLayout, LabelsNameTheirValuesTrulyWhereTwoDecimalsCannot) {
    const struct {
        float min, max;
        std::vector<std::string> want;
    } cases[] = {
        {0.0f, 1e-5f, {"0e+00", "2e-06", "5e-06", "7e-06", "1e-05"}},
        {1000.0f, 1000.01f, {"1000.000", "1000.003", "1000.005", "1000.008", "1000.010"}},
        {0.0f, 4e7f, {"0e+00", "1e+07", "2e+07", "3e+07", "4e+07"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min << " .. " << c.max);
        const std::vector<std::string> got = internal::colorBarLabels(c.min, c.max);
        EXPECT_EQ(c.want, got);
        const double step = (static_cast<double>(c.max) - c.min) / 4;
        for (int k = 0; k < internal::COLOR_BAR_TICKS; ++k) {
            EXPECT_NEAR(internal::colorBarTickValue(c.min, c.max, k), std::stod(got[k]),
                        0.25 * step);
            if (k > 0) {
                EXPECT_NE(got[k - 1], got[k]);
            }
        }
    }
}

// A title takes a line above the bar: the bar is that much shorter, the title's box (ascent
// 11, descent 4 pixels) stays inside the area and clear of the top label's, and it ends
// inside the strip when it fits there, else starts at the strip's left edge.
TEST(ColorBarLayout, TitleOnALineOfItsOwnAboveTheBar) {
    const internal::ColorBarLayout plain = internal::colorBarLayout(800, 600);
    EXPECT_FALSE(plain.titled);
    for (float width : {0.0f, 40.0f, 95.0f, 300.0f}) {
        SCOPED_TRACE(width);
        const internal::ColorBarLayout l = internal::colorBarLayout(800, 600, width);
        ASSERT_TRUE(l.titled);
        EXPECT_FLOAT_EQ(plain.barY1 - internal::COLOR_BAR_TITLE_LINE, l.barY1);
        EXPECT_FLOAT_EQ(l.barY1, l.tickY[internal::COLOR_BAR_TICKS - 1]);
        EXPECT_LE(l.titleY + 11.0f, 600.0f - 2.0f) << "inside the area's top";
        const float topLabel = l.labelY[internal::COLOR_BAR_TICKS - 1] + 11.0f;
        EXPECT_GE(l.titleY - 4.0f, topLabel + 3.0f) << "clear of the top label";
        EXPECT_GE(l.titleX, static_cast<float>(l.imageWidth)) << "inside the strip";
        if (width <= internal::COLOR_BAR_STRIP - 4) {
            EXPECT_LE(l.titleX + width, 800.0f) << "ends inside the area";
        } else {
            EXPECT_FLOAT_EQ(l.imageWidth + 2.0f, l.titleX);
        }
    }
    EXPECT_FLOAT_EQ(plain.barX0, internal::colorBarLayout(800, 600, 40.0f).titleX);
}
