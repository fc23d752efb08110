// An image's colour bar: its layout and labels (pure), then the bar's rows against the
// colour map's table, its ticks and labels, and the image beside it, in a whole window and
// in a grid cell, read back from real contexts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "colormap/cmap_tables.hpp"
#include "image/color_bar_layout.hpp"
#include "image/image_impl.hpp"
#include "support/gl_test.hpp"
#include "support/image_util.hpp"
#include "window/window_impl.hpp"
#include "zarvo.h"

namespace {

using internal::image_impl;
using zvtest::RGBA;
using zvtest::Snapshot;
using zvtest::rowColor;


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

class ColorBarGLTest : public zvtest::GLTest {
protected:
    // A 2 x 2 float image of 250 K everywhere, ranged 250 to 320 K.
    std::shared_ptr<image_impl> kelvin() {
        auto img = std::make_shared<image_impl>(2, 2, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32);
        const float px[4] = {250, 250, 250, 250};
        glBindBuffer(GL_COPY_WRITE_BUFFER, img->pbo());
        glBufferSubData(GL_COPY_WRITE_BUFFER, 0, sizeof(px), px);
        glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
        img->setValueRange(250.0f, 320.0f);
        return img;
    }
    // Checks the bar of layout l, offset by (ox, oy) in the window, against the map's table.
    void expectBar(const Snapshot& s, const internal::ColorBarLayout& l, int ox, int oy,
                   const float (*table)[4], int rows) {
        const int x = ox + static_cast<int>(0.5f * (l.barX0 + l.barX1));
        const float height = l.barY1 - l.barY0;
        for (float f : {0.02f, 0.2f, 0.41f, 0.5f, 0.77f, 0.98f}) {
            const float y = l.barY0 + f * height;
            // The pixel whose centre is at height y + 0.5 shows the value there.
            const int py = static_cast<int>(y);
            const float v = (static_cast<float>(py) + 0.5f - l.barY0) / height;
            const int row = static_cast<int>((rows - 1) * v);
            const RGBA got = s.at(x, oy + py);
            EXPECT_TRUE(zvtest::near(rowColor(table, row), got, 3) ||
                        zvtest::near(rowColor(table, std::max(row - 1, 0)), got, 3) ||
                        zvtest::near(rowColor(table, std::min(row + 1, rows - 1)), got, 3))
                << "at " << f << " of the bar: want row " << row << " " << rowColor(table, row)
                << " got " << got;
        }
        // Below and above the bar: no map colour, only background.
        EXPECT_TRUE(zvtest::isBlack(s.at(x, oy + static_cast<int>(l.barY0) - 4)));
        EXPECT_TRUE(zvtest::isBlack(s.at(x, oy + static_cast<int>(l.barY1) + 4)));
    }
    // White label pixels right of tick k, within half a label's height of it.
    static int labelPixels(const Snapshot& s, const internal::ColorBarLayout& l, int ox, int oy,
                           int k) {
        const int x0 = ox + static_cast<int>(l.labelX), y = oy + static_cast<int>(l.tickY[k]);
        return s.count(x0, y - 9, x0 + 60, y + 9, zvtest::isWhite);
    }
};

TEST_F(ColorBarGLTest, BarShowsTheMapFromMinToMaxBesideTheImage) {
    window->setColorMap(zv::ZV_CMAP_HEAT);
    auto img = kelvin();
    img->showColorBar(true);
    window->draw(img);
    zvtest::expectNoGLError("image with a colour bar");
    Snapshot s = grab();
    const internal::ColorBarLayout l = internal::colorBarLayout(W, H);
    expectBar(s, l, 0, 0, internal::cmap_heat, 64);
    for (int k = 0; k < internal::COLOR_BAR_TICKS; ++k) {
        EXPECT_GT(labelPixels(s, l, 0, 0, k), 15) << "label " << k;
        // The tick: white right of the bar.
        EXPECT_TRUE(zvtest::isWhite(s.at(static_cast<int>(l.barX1) + 2,
                                         static_cast<int>(std::floor(l.tickY[k])))) ||
                    zvtest::isWhite(s.at(static_cast<int>(l.barX1) + 2,
                                         static_cast<int>(std::floor(l.tickY[k])) - 1)))
            << "tick " << k;
    }
    // The image fills only what is left: nothing of it in the strip between image and bar.
    // Through the blue map its 250 K (the first row) is white.
    window->setColorMap(zv::ZV_CMAP_BLUE);
    window->draw(img);
    s = grab();
    EXPECT_TRUE(zvtest::isWhite(s.at(l.imageWidth - 3, H / 2)));
    EXPECT_TRUE(zvtest::isBlack(s.at(l.imageWidth + 3, H / 2)));
    // Without the flag the image spans the window again.
    img->showColorBar(false);
    window->draw(img);
    s = grab();
    EXPECT_TRUE(zvtest::isWhite(s.at(W - 3, H / 2)));
}

TEST_F(ColorBarGLTest, ARefusedDrawLeavesTheViewportAsItWas) {
    auto img = kelvin();
    img->showColorBar(true);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, img->pbo());
    ASSERT_NE(nullptr, glMapBufferRange(GL_PIXEL_UNPACK_BUFFER, 0, 4, GL_MAP_WRITE_BIT));
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    EXPECT_THROW(window->draw(img), zv::Error);
    GLint vp[4] = {-1, -1, -1, -1};
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(0, vp[0]);
    EXPECT_EQ(0, vp[1]);
    EXPECT_EQ(W, vp[2]);
    EXPECT_EQ(H, vp[3]);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, img->pbo());
    glUnmapBuffer(GL_PIXEL_UNPACK_BUFFER);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
}

TEST_F(ColorBarGLTest, LabelsFollowTheRangeAndACellGetsItsOwnBar) {
    zv::Window win(800, 600, "cells", nullptr, true);
    zv::Image img(2, 2, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    win.setColorMap(zv::ZV_CMAP_DEFAULT);
    win.grid(1, 2);
    win.draw(1, 0, img, nullptr, true, true);
    const internal::CellLayout cell = internal::cellLayout(800, 600, 1, 2, 1, 0);
    Snapshot s = zvtest::readBack(0, 0, 800, 600);
    const internal::ColorBarLayout l = internal::colorBarLayout(cell.vwidth, cell.vheight);
    ASSERT_TRUE(l.shown);
    expectBar(s, l, cell.vx, cell.vy, internal::cmap_default, 256);
    for (int k = 0; k < internal::COLOR_BAR_TICKS; ++k)
        EXPECT_GT(labelPixels(s, l, cell.vx, cell.vy, k), 15) << "label " << k;
    // The default range of bytes, then a set one: label strings change with the range.
    EXPECT_EQ(0.0f, img.valueMin());
    EXPECT_EQ(255.0f, img.valueMax());
    const int wide = labelPixels(s, l, cell.vx, cell.vy, 4);  // "255.00"
    img.setValueRange(0.0f, 1.0f);
    win.draw();
    win.draw(1, 0, img, nullptr, true, true);
    s = zvtest::readBack(0, 0, 800, 600);
    const int narrow = labelPixels(s, l, cell.vx, cell.vy, 4);  // "1.00"
    EXPECT_LT(narrow, wide);
    EXPECT_GT(narrow, 10);
    win.draw();
}

// Through the public handle: the title is written above the bar, and taken away again.
TEST_F(ColorBarGLTest, TitleIsWrittenAboveTheBar) {
    zv::Window win(800, 600, "titled", nullptr, true);
    zv::Image img(2, 2, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    win.setColorMap(zv::ZV_CMAP_DEFAULT);
    // Left of the tick labels, above where the untitled bar ends.
    const internal::ColorBarLayout plain = internal::colorBarLayout(800, 600);
    const auto titleInk = [&] {
        win.draw(img, true, true);
        const Snapshot s = zvtest::readBack(0, 0, 800, 600);
        return s.count(plain.imageWidth, static_cast<int>(plain.barY1) + 2,
                       static_cast<int>(plain.barX1), 600, zvtest::isWhite);
    };
    EXPECT_EQ(0, titleInk()) << "no title yet";
    img.setColorBarTitle("T [K]");
    EXPECT_GT(titleInk(), 20);
    // The bar is shorter by the title's line.
    const Snapshot s = zvtest::readBack(0, 0, 800, 600);
    expectBar(s, internal::colorBarLayout(800, 600, 40.0f), 0, 0, internal::cmap_default, 256);
    img.setColorBarTitle(nullptr);
    EXPECT_EQ(0, titleInk());
    zvtest::expectNoGLError("titled colour bar");
}

}  // namespace
