// An image's colour bar read back from real contexts: the bar's rows against the colour map's
// table, its ticks and labels, and the image beside it, in a whole window and in a grid cell.
// (Its layout, with no GPU: color_bar_layout_test.cpp.)
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
