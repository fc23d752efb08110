// Images: the pixel path from the caller's buffer through the colour map to the screen, the
// quad shared per window, and the public handle. (The aspect-ratio layout, with no GPU:
// image_layout_test.cpp.)
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "colormap/cmap_tables.hpp"
#include "gl/gl_objects.hpp"
#include "glfw/window.hpp"
#include "image/image.hpp"
#include "image/image_impl.hpp"
#include "support/gl_test.hpp"
#include "support/image_util.hpp"
#include "window/window.hpp"
#include "zarvo.h"

namespace {

using internal::image_impl;
using internal::window_impl;
using zvtest::RGBA;
using zvtest::Snapshot;
using zvtest::makeImage;
using zvtest::rowColor;
using zvtest::to8;

std::shared_ptr<window_impl> makeWindow(int w, int h, std::shared_ptr<window_impl> parent = {}) {
    return std::make_shared<window_impl>(w, h, "image test", parent, true);
}

// The row a channel of 8-bit value v reads in a map of `rows` rows.
int rowOf(int rows, int v) { return static_cast<int>((rows - 1) * (v / 255.0f)); }

// Centre of texel (i, j) of a cols x rows image filling a w x h framebuffer, row 0 on top.
int texelX(int i, int cols, int w) { return (2 * i + 1) * w / (2 * cols); }
int texelY(int j, int rows, int h) { return h - 1 - (2 * j + 1) * h / (2 * rows); }

// Pixels of each quadrant of the area that are neither of the two colours, leaving out a
// band of `band` pixels along the dividing lines and the edges (multisampled edges).
int nonFlatPixels(const Snapshot& s, int x0, int y0, int w, int h, RGBA a, RGBA b, int band) {
    auto flat = [&](const RGBA& c) { return zvtest::near(c, a, 3) || zvtest::near(c, b, 3); };
    int n = 0;
    const int mx = x0 + w / 2, my = y0 + h / 2;
    for (int y = y0 + band; y < y0 + h - band; ++y)
        for (int x = x0 + band; x < x0 + w - band; ++x)
            if (std::abs(x - mx) > band && std::abs(y - my) > band && !flat(s.at(x, y))) ++n;
    return n;
}

class ImageGLTest : public zvtest::GLTest {
protected:
    // Draws r over the whole fixture window and reads the frame back.
    Snapshot drawWhole(const std::shared_ptr<image_impl>& img, bool keep = false) {
        img->keepAspectRatio(keep);
        window->draw(img);
        zvtest::expectNoGLError("the image draw");
        return grab();
    }
};

TEST_F(ImageGLTest, GreyValueReadsTheTruncatedRowOfTheSelectedMap) {
    struct Case {
        zv::ColorMap map;
        const float (*table)[4];
        int rows;
        uint8_t value;
    } cases[] = {
        // 255 x 128/255 is exactly 128 in single precision: row 128, grey 128/255.
        {zv::ZV_CMAP_DEFAULT, internal::cmap_default, 256, 128},
        {zv::ZV_CMAP_DEFAULT, internal::cmap_default, 256, 127},
        {zv::ZV_CMAP_HEAT, internal::cmap_heat, 64, 255},  // the last row: white
        {zv::ZV_CMAP_HEAT, internal::cmap_heat, 64, 128},  // 31.6 reads row 31, not 32
        {zv::ZV_CMAP_COLORS, internal::cmap_colors, 259, 255},  // the odd last row
        {zv::ZV_CMAP_SPECTRUM, internal::cmap_spectrum, 257, 0},
    };
    for (const Case& c : cases) {
        window->setColorMap(c.map);
        auto img = makeImage<uint8_t>(1, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8, {c.value});
        Snapshot s = drawWhole(img);
        const RGBA want = rowColor(c.table, rowOf(c.rows, c.value));
        const int points[3][2] = {{W / 2, H / 2}, {0, 0}, {W - 1, H - 1}};
        for (const auto& p : points)
            EXPECT_TRUE(zvtest::near(want, s.at(p[0], p[1]), 2))
                << "map " << c.map << " value " << int(c.value) << " at " << p[0] << ","
                << p[1] << ": want " << want << " got " << s.at(p[0], p[1]);
    }
}

TEST_F(ImageGLTest, FirstRowOnTopAndEachChannelReadsItsOwnRow) {
    // 3 x 2 RGB bytes: 9-byte rows, packed without padding.
    const std::vector<uint8_t> px = {255, 0, 0,   0,   128, 0,   60,  200, 255,
                                     0,   0, 255, 200, 60,  128, 128, 255, 60};
    auto img = makeImage(3, 2, zv::ZV_RGB, zv::ZV_UINT8, px);
    EXPECT_EQ(18u, img->size());
    window->setColorMap(zv::ZV_CMAP_HEAT);
    Snapshot s = drawWhole(img);
    const auto& heat = internal::cmap_heat;
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i) {
            const uint8_t* p = &px[(j * 3 + i) * 3];
            RGBA want{to8(heat[rowOf(64, p[0])][0]), to8(heat[rowOf(64, p[1])][1]),
                      to8(heat[rowOf(64, p[2])][2]), 255};
            RGBA got = s.at(texelX(i, 3, W), texelY(j, 2, H));
            EXPECT_TRUE(zvtest::near(want, got, 2))
                << "texel " << i << "," << j << ": want " << want << " got " << got;
        }
}

TEST_F(ImageGLTest, AlphaIsNotShownAndFloatRGBAIs256Bytes) {
    std::vector<float> px;
    for (int k = 0; k < 16; ++k) px.insert(px.end(), {1.0f, 0.5f, 0.0f, (k % 4) / 3.0f});
    auto img = makeImage(4, 4, zv::ZV_RGBA, zv::ZV_FLOAT32, px);
    EXPECT_EQ(256u, img->size());
    Snapshot s = drawWhole(img);
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
            RGBA got = s.at(texelX(i, 4, W), texelY(j, 4, H));
            EXPECT_TRUE(zvtest::near(RGBA{255, 127, 0, 255}, got, 2))
                << "texel " << i << "," << j << " got " << got;
        }
}

TEST_F(ImageGLTest, OutOfRangePixelsShowTheFirstAndLastRows) {
    window->setColorMap(zv::ZV_CMAP_COLORS);
    const RGBA first = rowColor(internal::cmap_colors, 0);
    const RGBA last = rowColor(internal::cmap_colors, internal::CMAP_COLORS_ROWS - 1);
    std::vector<std::shared_ptr<image_impl>> images = {
        makeImage<int8_t>(2, 1, zv::ZV_GRAYSCALE, zv::ZV_INT8, {-100, 127}),
        makeImage<int32_t>(2, 1, zv::ZV_GRAYSCALE, zv::ZV_INT32, {INT_MIN, INT_MAX}),
        makeImage<uint32_t>(2, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT32, {0, UINT_MAX}),
        makeImage<float>(2, 1, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32, {-1.5f, 2.0f}),
        // Every channel on its own: red low, green and blue high.
        makeImage<float>(1, 1, zv::ZV_RGB, zv::ZV_FLOAT32, {-3.0f, 7.0f, 1e30f}),
    };
    for (size_t k = 0; k < images.size(); ++k) {
        Snapshot s = drawWhole(images[k]);
        if (k + 1 < images.size()) {
            EXPECT_TRUE(zvtest::near(first, s.at(W / 4, H / 2), 2))
                << "image " << k << " low pixel " << s.at(W / 4, H / 2);
            EXPECT_TRUE(zvtest::near(last, s.at(3 * W / 4, H / 2), 2))
                << "image " << k << " high pixel " << s.at(3 * W / 4, H / 2);
        } else {
            EXPECT_TRUE(zvtest::near(RGBA{first.r, last.g, last.b, 255}, s.at(W / 2, H / 2), 2))
                << s.at(W / 2, H / 2);
        }
    }
}

TEST_F(ImageGLTest, OversizedImagesRaiseBeforeCreatingAnything) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const unsigned m = static_cast<unsigned>(maxSize);
    const long before = internal::liveGLObjects();
    struct Case {
        unsigned w, h;
        zv::ColorMode mode;
        zv::ZVType type;
        int arg;
    } cases[] = {
        {m + 1, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8, 1},
        {1, m + 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8, 2},
        {UINT_MAX, UINT_MAX, zv::ZV_RGBA, zv::ZV_FLOAT32, 1},
        // Within the texture size but 2^32 bytes or more: too large for size().
        {m, ((1u << 28) + m - 1) / m, zv::ZV_RGBA, zv::ZV_FLOAT32, 2},
    };
    for (const Case& c : cases) {
        if (c.h > m) continue;  // a texture size too small to reach 4 GiB within it
        try {
            image_impl img(c.w, c.h, c.mode, c.type);
            ADD_FAILURE() << c.w << "x" << c.h << " was accepted";
        } catch (const zv::DimensionError& e) {
            EXPECT_EQ(c.arg, e.argIndex()) << c.w << "x" << c.h;
            EXPECT_EQ(zv::ZV_ERR_DIMENSION, e.err());
        }
    }
    EXPECT_EQ(before, internal::liveGLObjects());
}

TEST_F(ImageGLTest, EmptyImagesAreAcceptedAndDrawNothing) {
    for (auto dims : {std::make_pair(0u, 0u), std::make_pair(0u, 5u), std::make_pair(7u, 0u)}) {
        auto img = std::make_shared<image_impl>(dims.first, dims.second, zv::ZV_RGB, zv::ZV_UINT8);
        EXPECT_EQ(0u, img->size());
        Snapshot s = drawWhole(img, true);
        EXPECT_EQ(W * H, s.count(0, 0, W, H, zvtest::isBlack)) << dims.first << "x" << dims.second;
    }
}

TEST_F(ImageGLTest, NearestFilteringHoldsWithAnotherSamplerBoundAndThatSamplerStays) {
    auto board = makeImage<uint8_t>(2, 2, zv::ZV_GRAYSCALE, zv::ZV_UINT8, {0, 255, 255, 0});
    // What text leaves behind: a linear, repeating sampler on unit 0.
    internal::GLSampler linear = internal::GLSampler::create();
    glSamplerParameteri(linear.get(), GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glSamplerParameteri(linear.get(), GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glSamplerParameteri(linear.get(), GL_TEXTURE_WRAP_S, GL_REPEAT);
    glSamplerParameteri(linear.get(), GL_TEXTURE_WRAP_T, GL_REPEAT);
    glActiveTexture(GL_TEXTURE0);
    glBindSampler(0, linear.get());
    Snapshot s = drawWhole(board);
    EXPECT_EQ(0, nonFlatPixels(s, 0, 0, W, H, {0, 0, 0, 255}, {255, 255, 255, 255}, 2));
    EXPECT_TRUE(zvtest::isBlack(s.at(W / 4, 3 * H / 4)));  // top left is the first texel
    EXPECT_TRUE(zvtest::isWhite(s.at(3 * W / 4, 3 * H / 4)));
    GLint bound = 0;
    glGetIntegerv(GL_SAMPLER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLint>(linear.get()), bound);
    glBindSampler(0, 0);
}

TEST_F(ImageGLTest, DrawLeavesBindingsAsFound) {
    auto img = makeImage<uint8_t>(1, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8, {9});
    drawWhole(img);
    GLint v = -1;
    for (GLenum q : {GL_PIXEL_UNPACK_BUFFER_BINDING, GL_VERTEX_ARRAY_BINDING, GL_TEXTURE_BINDING_2D,
                     GL_CURRENT_PROGRAM, GL_UNIFORM_BUFFER_BINDING, GL_ARRAY_BUFFER_BINDING}) {
        glGetIntegerv(q, &v);
        EXPECT_EQ(0, v) << "binding 0x" << std::hex << q;
    }
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &v);
    EXPECT_EQ(4, v);
}

// An application that forgets glUnmapBuffer is told so, instead of being shown the last
// picture; once it unmaps, the same image draws what it wrote.
TEST_F(ImageGLTest, DrawingWhileThePixelBufferIsMappedRaisesAndChangesNothing) {
    auto img = makeImage<uint8_t>(1, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8, {0});
    Snapshot s = drawWhole(img);
    ASSERT_TRUE(zvtest::isBlack(s.at(W / 2, H / 2)));
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, img->pbo());
    auto* p = static_cast<uint8_t*>(glMapBufferRange(GL_PIXEL_UNPACK_BUFFER, 0, 1,
                                                     GL_MAP_WRITE_BIT));
    ASSERT_NE(nullptr, p);
    *p = 255;
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    try {
        window->draw(img);
        ADD_FAILURE() << "a mapped buffer was drawn";
    } catch (const zv::ArgumentError&) {
        ADD_FAILURE() << "not an argument error";
    } catch (const zv::Error& e) {
        EXPECT_EQ(zv::ZV_ERR_GL, e.err());
        EXPECT_NE(std::string(e.what()).find("still mapped"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("glUnmapBuffer"), std::string::npos) << e.what();
    }
    zvtest::expectNoGLError("the refused draw");
    GLint bound = -1;
    glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &bound);
    EXPECT_EQ(0, bound);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, img->pbo());
    EXPECT_EQ(GLboolean(GL_TRUE), glUnmapBuffer(GL_PIXEL_UNPACK_BUFFER));
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    s = drawWhole(img);
    EXPECT_TRUE(zvtest::isWhite(s.at(W / 2, H / 2))) << s.at(W / 2, H / 2);
}

TEST_F(ImageGLTest, KeepAspectRatioPlacesTheImageCentred) {
    struct Case {
        int winW, winH;
        unsigned imgW, imgH;
        bool keep;
        std::vector<int> bounds;  // of the white image: minx, miny, maxx, maxy
    } cases[] = {
        {800, 800, 640, 480, true, {0, 100, 799, 699}},
        {800, 800, 640, 480, false, {0, 0, 799, 799}},
        {400, 300, 60, 60, true, {50, 0, 349, 299}},
        {800, 400, 480, 640, true, {250, 0, 549, 399}},
    };
    for (const Case& c : cases) {
        auto win = makeWindow(c.winW, c.winH);
        int fw = 0, fh = 0;
        win->get()->getFrameBufferSize(&fw, &fh);
        ASSERT_EQ(c.winW, fw);
        ASSERT_EQ(c.winH, fh);
        auto img = makeImage(c.imgW, c.imgH, zv::ZV_GRAYSCALE, zv::ZV_UINT8,
                             std::vector<uint8_t>(size_t(c.imgW) * c.imgH, 255));
        img->keepAspectRatio(c.keep);
        win->draw(img);
        zvtest::expectNoGLError("the keep-aspect draw");
        Snapshot s = zvtest::readBack(0, 0, fw, fh);
        std::vector<int> b = s.bounds(zvtest::isWhite);
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(c.bounds[k], b[k], 1) << c.imgW << "x" << c.imgH << " in " << c.winW
                                               << "x" << c.winH << " keep " << c.keep;
        // Solid inside: nothing but the image between its edges.
        EXPECT_EQ((b[2] - b[0] - 1) * (b[3] - b[1] - 1),
                  s.count(b[0] + 1, b[1] + 1, b[2], b[3], zvtest::isWhite));
    }
}

TEST_F(ImageGLTest, OneQuadVertexArrayPerWindowAndOneSetOfBuffersPerGroup) {
    auto a = makeImage<uint8_t>(1, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8, {255});
    auto b = makeImage<uint8_t>(1, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8, {255});
    auto child = makeWindow(200, 200, window);
    EXPECT_EQ(0u, window->group()->resources.count(internal::GROUP_IMAGE_QUAD));
    EXPECT_FALSE(internal::hasImageQuadVAO(window->id()));
    EXPECT_FALSE(internal::hasImageQuadVAO(child->id()));

    drawWhole(a);
    ASSERT_TRUE(internal::hasImageQuadVAO(window->id()));
    EXPECT_FALSE(internal::hasImageQuadVAO(child->id()));
    const GLuint vaoFirst = internal::imageQuadVAO(window->id());
    const auto quad = window->group()->resources.at(internal::GROUP_IMAGE_QUAD);
    const long objects = internal::liveGLObjects();

    child->draw(a);  // the same image in a second window of the group
    zvtest::expectNoGLError("the draw in the second window");
    EXPECT_TRUE(zvtest::isWhite(zvtest::readBack(100, 100, 1, 1).at(100, 100)));
    EXPECT_TRUE(internal::hasImageQuadVAO(child->id()));
    const int childId = child->id();
    drawWhole(b);  // a second image in the first window
    EXPECT_EQ(vaoFirst, internal::imageQuadVAO(window->id()));
    EXPECT_EQ(quad, window->group()->resources.at(internal::GROUP_IMAGE_QUAD));
    EXPECT_EQ(objects, internal::liveGLObjects()) << "no buffers made for the second window";
    // The second window's vertex array goes with it; nothing is kept for its id.
    child.reset();
    EXPECT_FALSE(internal::hasImageQuadVAO(childId));
    EXPECT_TRUE(internal::hasImageQuadVAO(window->id()));
}

TEST_F(ImageGLTest, QuadBuffersGoWithTheGroupsLastWindow) {
    const long before = internal::liveGLObjects();
    {
        auto other = makeWindow(100, 100);  // a new share group
        auto img = makeImage<uint8_t>(1, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8, {255});
        const long withImage = internal::liveGLObjects();
        other->draw(img);
        zvtest::expectNoGLError("the draw in the other group");
        EXPECT_EQ(withImage + 3, internal::liveGLObjects()) << "three quad buffers per group";
    }
    EXPECT_EQ(before, internal::liveGLObjects());
    internal::MakeContextCurrent(window.get());
}

// The public handles, through zv::Window.
class ImageWindowGLTest : public ImageGLTest {};

TEST_F(ImageWindowGLTest, CopiesShareThePixelBufferAndOutliveEachOther) {
    zv::Window win(400, 300, "copies", nullptr, true);
    zv::Image a(2, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    EXPECT_EQ(2u, a.width());
    EXPECT_EQ(1u, a.height());
    EXPECT_EQ(zv::ZV_GRAYSCALE, a.pixelFormat());
    EXPECT_EQ(zv::ZV_UINT8, a.channelType());
    EXPECT_EQ(2u, a.size());
    {
        zv::Image b(a);
        zv::Image c(1, 1, zv::ZV_RGB, zv::ZV_FLOAT32);
        EXPECT_EQ(a.pbo(), b.pbo());
        EXPECT_NE(a.pbo(), c.pbo());
        c = b;
        EXPECT_EQ(a.pbo(), c.pbo());
        EXPECT_EQ(zv::ZV_UINT8, c.channelType());
        const uint8_t px[2] = {0, 255};
        zvtest::fillPixels(b.pbo(), px, 2);
    }
    win.draw(a, false);
    zvtest::expectNoGLError("the draw after the copies went");
    Snapshot s = zvtest::readBack(0, 0, 400, 300);
    EXPECT_TRUE(zvtest::isBlack(s.at(100, 150))) << s.at(100, 150);
    EXPECT_TRUE(zvtest::isWhite(s.at(300, 150))) << s.at(300, 150);
}

TEST_F(ImageWindowGLTest, SetColorMapSwitchesThePictureAndUnknownMapsKeepIt) {
    zv::Window win(200, 200, "maps", nullptr, true);
    zv::Image img(1, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    const uint8_t v = 128;
    zvtest::fillPixels(img.pbo(), &v, 1);
    auto centre = [&] {
        win.draw(img);
        return zvtest::readBack(100, 100, 1, 1).at(100, 100);
    };
    const RGBA grey = rowColor(internal::cmap_default, rowOf(256, v));
    const RGBA heat = rowColor(internal::cmap_heat, rowOf(64, v));
    EXPECT_TRUE(zvtest::near(grey, centre(), 2));
    win.setColorMap(zv::ZV_CMAP_HEAT);
    EXPECT_TRUE(zvtest::near(heat, centre(), 2));
    for (int bad : {7, -1}) {
        win.setColorMap(static_cast<zv::ColorMap>(bad));
        RGBA got = centre();
        EXPECT_TRUE(zvtest::near(heat, got, 2)) << "after map " << bad << ": " << got;
    }
    win.setColorMap(zv::ZV_CMAP_DEFAULT);
    EXPECT_TRUE(zvtest::near(grey, centre(), 2));
    zvtest::expectNoGLError("the map switches");
}

TEST_F(ImageWindowGLTest, AspectFlagStaysWithTheImageAcrossWindows) {
    zv::Window a(800, 800, "a", nullptr, true);
    zv::Window b(400, 400, "b", &a, true);
    zv::Image img(640, 480, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    std::vector<uint8_t> white(640 * 480, 255);
    zvtest::fillPixels(img.pbo(), white.data(), white.size());

    a.draw(img, false);
    EXPECT_EQ(std::vector<int>({0, 0, 799, 799}),
              zvtest::readBack(0, 0, 800, 800).bounds(zvtest::isWhite));
    b.grid(1, 1);
    b.draw(0, 0, img, nullptr, true);
    zvtest::expectNoGLError("the cell draw");
    // Without going through a public draw, the window core draws with the image's own flag.
    EXPECT_TRUE(img.get()->impl()->keepsAspectRatio());
    a.get()->impl()->draw(img.get()->impl());
    zvtest::expectNoGLError("the core draw");
    std::vector<int> bounds = zvtest::readBack(0, 0, 800, 800).bounds(zvtest::isWhite);
    EXPECT_NEAR(100, bounds[1], 1);
    EXPECT_NEAR(699, bounds[3], 1);
}

// One image drawn alternately in two windows of a group, each with its own map: each window
// shows its own map, also when it selects the map the other window drew with last.
TEST_F(ImageWindowGLTest, WindowsOfAGroupEachDrawThroughTheirOwnMap) {
    zv::Window a(200, 200, "a", nullptr, true);
    zv::Window b(200, 200, "b", &a, true);
    zv::Image img(1, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    const uint8_t v = 128;
    zvtest::fillPixels(img.pbo(), &v, 1);
    const RGBA grey = rowColor(internal::cmap_default, rowOf(256, v));
    const RGBA heat = rowColor(internal::cmap_heat, rowOf(64, v));
    auto centre = [&](zv::Window& w) {
        w.draw(img);
        zvtest::expectNoGLError("the draw");
        return zvtest::readBack(100, 100, 1, 1).at(100, 100);
    };
    b.setColorMap(zv::ZV_CMAP_HEAT);
    EXPECT_TRUE(zvtest::near(grey, centre(a), 2));
    EXPECT_TRUE(zvtest::near(heat, centre(b), 2));
    a.setColorMap(zv::ZV_CMAP_HEAT);
    RGBA got = centre(a);
    EXPECT_TRUE(zvtest::near(heat, got, 2)) << got;
}

TEST_F(ImageWindowGLTest, CellDrawFillsTheInsetArea) {
    zv::Window win(800, 600, "cells", nullptr, true);
    zv::Image img(4, 4, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    std::vector<uint8_t> white(16, 255);
    zvtest::fillPixels(img.pbo(), white.data(), white.size());
    win.grid(2, 2);
    win.draw(1, 0, img, nullptr, false);
    zvtest::expectNoGLError("the cell draw");
    internal::CellLayout c = internal::cellLayout(800, 600, 2, 2, 1, 0);
    Snapshot s = zvtest::readBack(0, 0, 800, 600);
    EXPECT_EQ(std::vector<int>({c.vx, c.vy, c.vx + c.vwidth - 1, c.vy + c.vheight - 1}),
              s.bounds(zvtest::isWhite));
    EXPECT_EQ(c.vwidth * c.vheight, s.count(0, 0, 800, 600, zvtest::isWhite));
    win.draw();
}

// Keeping the aspect ratio in a cell keeps it in the inset area the image is drawn into, not
// in the whole cell: a square image is a square.
TEST_F(ImageWindowGLTest, KeepAspectRatioInACellKeepsItInTheInsetArea) {
    struct Case {
        unsigned imgW, imgH;
        int expectW, expectH;  // of the drawn image, in the 768 x 704 inset area of the cell
    } cases[] = {
        {256, 256, 704, 704},  // square: follows the area's height
        {512, 256, 768, 384},  // landscape: spans the width
    };
    zv::Window win(800, 800, "aspect cell", nullptr, true);
    win.grid(1, 1);
    const internal::CellLayout c = internal::cellLayout(800, 800, 1, 1, 0, 0);
    ASSERT_EQ(768, c.vwidth);
    ASSERT_EQ(704, c.vheight);
    for (const Case& k : cases) {
        zv::Image img(k.imgW, k.imgH, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
        std::vector<uint8_t> white(size_t(k.imgW) * k.imgH, 255);
        zvtest::fillPixels(img.pbo(), white.data(), white.size());
        win.draw(0, 0, img, nullptr, true);
        zvtest::expectNoGLError("the keep-aspect cell draw");
        const Snapshot s = zvtest::readBack(0, 0, 800, 800);
        const int x0 = c.vx + (c.vwidth - k.expectW) / 2;
        const int y0 = c.vy + (c.vheight - k.expectH) / 2;
        const std::vector<int> want = {x0, y0, x0 + k.expectW - 1, y0 + k.expectH - 1};
        const std::vector<int> got = s.bounds(zvtest::isWhite);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(want[i], got[i], 1) << k.imgW << "x" << k.imgH << " bound " << i;
        win.draw();
    }
}

// Cells with captions: each image inside its cell's inset area under its red caption, and a
// 2 x 2 checkerboard drawn after text still shows four flat squares (text leaves a linear
// sampler on unit 0).
TEST_F(ImageWindowGLTest, CellsWithCaptionsKeepNearestFiltering) {
    zv::Window win(800, 600, "captions", nullptr, true);
    zv::Font font;
    font.loadFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 24);
    win.setFont(&font);
    zv::Image white(4, 4, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    std::vector<uint8_t> px(16, 255);
    zvtest::fillPixels(white.pbo(), px.data(), px.size());
    zv::Image board(2, 2, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    const uint8_t checks[4] = {255, 0, 0, 255};
    zvtest::fillPixels(board.pbo(), checks, 4);

    win.grid(1, 2);
    win.draw(0, 0, white, "White", false);
    win.draw(1, 0, board, "Board", false);
    zvtest::expectNoGLError("the cell draws");
    Snapshot s = zvtest::readBack(0, 0, 800, 600);
    for (int col = 0; col < 2; ++col) {
        internal::CellLayout c = internal::cellLayout(800, 600, 1, 2, col, 0);
        const int top = c.vy + c.vheight;
        // Nothing white outside the inset area; the white image covers all of it.
        int whiteInCell = s.count(c.x, c.y, c.x + c.width, c.y + c.height, zvtest::isWhite);
        int whiteInInset = s.count(c.vx, c.vy, c.vx + c.vwidth, top, zvtest::isWhite);
        EXPECT_EQ(whiteInInset, whiteInCell) << "cell " << col << ": white outside the image";
        if (col == 0)
            EXPECT_EQ(c.vwidth * c.vheight, whiteInInset);
        else
            EXPECT_EQ(0, nonFlatPixels(s, c.vx, c.vy, c.vwidth, c.vheight, {0, 0, 0, 255},
                                       {255, 255, 255, 255}, 2))
                << "the checkerboard is filtered";
        // The caption: red, above the image, inside the cell.
        int redAbove = s.count(c.x, top, c.x + c.width, c.y + c.height, zvtest::isRed);
        int redAll = s.count(c.x, c.y, c.x + c.width, c.y + c.height, zvtest::isRed);
        EXPECT_GT(redAbove, 30) << "cell " << col;
        EXPECT_EQ(redAll, redAbove) << "cell " << col << ": caption over the image";
    }
    // Top left of the board is its first texel, white; bottom left black.
    internal::CellLayout c = internal::cellLayout(800, 600, 1, 2, 1, 0);
    EXPECT_TRUE(zvtest::isWhite(s.at(c.vx + c.vwidth / 4, c.vy + 3 * c.vheight / 4)));
    EXPECT_TRUE(zvtest::isBlack(s.at(c.vx + c.vwidth / 4, c.vy + c.vheight / 4)));
    win.draw();
}

}  // namespace
