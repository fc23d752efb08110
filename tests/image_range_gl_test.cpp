// Images with a value range on the GPU: the mapping of integer and float element values onto
// the colour map's rows, clamping, NaN holes and the checks of the public setter. (The
// arithmetic alone, with no GPU: image_layout_test.cpp.)
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "colormap/cmap_tables.hpp"
#include "image/image.hpp"
#include "image/image_impl.hpp"
#include "image/image_layout.hpp"
#include "support/gl_test.hpp"
#include "support/image_util.hpp"
#include "zarvo.h"

namespace {

using internal::image_impl;
using zvtest::RGBA;
using zvtest::Snapshot;
using zvtest::makeImage;
using zvtest::rowColor;
using zvtest::to8;

class ImageRangeGLTest : public zvtest::GLTest {
protected:
    // Draws the image into an RGBA framebuffer object of w x h (first texel row on top) and
    // reads it back, alpha included; the default framebuffer may have no alpha to read.
    Snapshot drawOffscreen(const std::shared_ptr<image_impl>& img, int w, int h) {
        GLuint fbo = 0, rb = 0;
        glGenFramebuffers(1, &fbo);
        glGenRenderbuffers(1, &rb);
        glBindRenderbuffer(GL_RENDERBUFFER, rb);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, rb);
        glViewport(0, 0, w, h);
        glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        img->render(zvtest::drawContext(*window, 0, 0, w, h));
        zvtest::expectNoGLError("the offscreen image draw");
        Snapshot s;
        s.width = w;
        s.height = h;
        s.rgba.resize(static_cast<size_t>(w) * h * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, s.rgba.data());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &fbo);
        glDeleteRenderbuffers(1, &rb);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        if (::testing::Test::HasFailure()) s.save(std::string("range_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        return s;
    }
    // Texel i of a one-row image of n texels drawn over 10 * n pixels.
    static RGBA texel(const Snapshot& s, int i) { return s.at(10 * i + 5, 5); }
};

TEST_F(ImageRangeGLTest, IntegerAndFloatValuesMapLinearlyAndClampAtBothEnds) {
    const auto* map = internal::cmap_default;
    // Rows for positions on the map: int(255 * f).
    const RGBA first = rowColor(map, 0), middle = rowColor(map, 127), last = rowColor(map, 255);
    const RGBA quarter = rowColor(map, 63);
    struct Case {
        const char* name;
        std::shared_ptr<image_impl> img;
        float min, max;
        std::vector<RGBA> expected;
    };
    std::vector<Case> cases;
    cases.push_back({"uint8", makeImage<uint8_t>(6, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8,
                                                 {10, 50, 60, 70, 90, 200}),
                     50, 90, {first, first, quarter, middle, last, last}});
    cases.push_back({"float kelvin",
                     makeImage<float>(6, 1, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32,
                                      {200.0f, 250.0f, 267.5f, 285.0f, 320.0f, 1e9f}),
                     250, 320, {first, first, quarter, middle, last, last}});
    cases.push_back({"float reversed",
                     makeImage<float>(3, 1, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32, {-2.0f, 0.0f, 1.0f}),
                     1, -1, {last, middle, first}});
    for (const Case& c : cases) {
        c.img->setValueRange(c.min, c.max);
        const int n = static_cast<int>(c.expected.size());
        Snapshot s = drawOffscreen(c.img, 10 * n, 10);
        for (int i = 0; i < n; ++i)
            EXPECT_TRUE(zvtest::near(c.expected[i], texel(s, i), 2))
                << c.name << " texel " << i << ": want " << c.expected[i] << " got "
                << texel(s, i);
    }
}

// Ranges at the edges of the floats: the whole float range, its upper half, a range of a few
// units in the last place and one far below 1; each end lands on the map's end.
TEST_F(ImageRangeGLTest, RangesAtTheEdgesOfTheFloatsMapTheirEnds) {
    const auto* map = internal::cmap_default;
    const RGBA first = rowColor(map, 0), middle = rowColor(map, 127), last = rowColor(map, 255);
    const float one = 1.0f, fourUlps = std::nextafter(std::nextafter(std::nextafter(
                                           std::nextafter(one, 2.0f), 2.0f), 2.0f), 2.0f);
    const float twoUlps = std::nextafter(std::nextafter(one, 2.0f), 2.0f);
    struct Case {
        float min, max;
        std::vector<float> pixels;
        std::vector<RGBA> expected;
    } cases[] = {
        {-FLT_MAX, FLT_MAX, {-FLT_MAX, 0.0f, FLT_MAX, -1e30f}, {first, middle, last, middle}},
        {FLT_MAX / 2, FLT_MAX, {FLT_MAX / 2, 0.75f * FLT_MAX, FLT_MAX, 0.0f},
         {first, middle, last, first}},
        {FLT_MAX, -FLT_MAX, {-FLT_MAX, FLT_MAX, 0.0f, 1.0f}, {last, first, middle, middle}},
        {one, fourUlps, {one, twoUlps, fourUlps, 2.0f}, {first, middle, last, last}},
        {0.0f, 1e-32f, {0.0f, 5e-33f, 1e-32f, -1.0f}, {first, middle, last, first}},
    };
    for (const Case& c : cases) {
        auto img = makeImage<float>(4, 1, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32, c.pixels);
        img->setValueRange(c.min, c.max);
        Snapshot s = drawOffscreen(img, 40, 10);
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(zvtest::near(c.expected[i], texel(s, i), 2))
                << c.min << " .. " << c.max << " texel " << i << " (" << c.pixels[i]
                << "): want " << c.expected[i] << " got " << texel(s, i);
    }
}

// Negative values of signed integer images keep their sign: they map through a range like
// any other, in grey and colour images; INT8 -128 reads as -127.
TEST_F(ImageRangeGLTest, SignedIntegerPixelsMapBelowZero) {
    const auto* map = internal::cmap_default;
    const RGBA first = rowColor(map, 0), quarter = rowColor(map, 63), middle = rowColor(map, 127),
               last = rowColor(map, 255);
    const std::vector<RGBA> expected = {first, quarter, middle, last, first};
    struct Case {
        const char* name;
        std::shared_ptr<image_impl> img;
    } cases[] = {
        {"int8", makeImage<int8_t>(5, 1, zv::ZV_GRAYSCALE, zv::ZV_INT8, {-100, -50, 0, 100, -128})},
        {"int32", makeImage<int32_t>(5, 1, zv::ZV_GRAYSCALE, zv::ZV_INT32,
                                     {-100, -50, 0, 100, INT32_MIN})},
    };
    for (const Case& c : cases) {
        c.img->setValueRange(-100.0f, 100.0f);
        Snapshot s = drawOffscreen(c.img, 50, 10);
        for (int i = 0; i < 5; ++i)
            EXPECT_TRUE(zvtest::near(expected[i], texel(s, i), 2))
                << c.name << " texel " << i << ": want " << expected[i] << " got " << texel(s, i);
    }
    // In colour, each channel on its own: red -100, green -50, blue 100.
    window->setColorMap(zv::ZV_CMAP_HEAT);
    const auto* heat = internal::cmap_heat;
    const RGBA want{to8(heat[0][0]), to8(heat[15][1]), to8(heat[63][2]), 255};
    auto bytes = makeImage<int8_t>(1, 1, zv::ZV_RGB, zv::ZV_INT8, {-100, -50, 100});
    auto ints = makeImage<int32_t>(1, 1, zv::ZV_RGBA, zv::ZV_INT32, {-100, -50, 100, 0});
    for (const auto& img : {bytes, ints}) {
        img->setValueRange(-100.0f, 100.0f);
        const RGBA got = drawOffscreen(img, 10, 10).at(5, 5);
        EXPECT_TRUE(zvtest::near(want, got, 2)) << "want " << want << " got " << got;
    }
}

TEST_F(ImageRangeGLTest, ColourChannelsEachMapThroughTheRange) {
    window->setColorMap(zv::ZV_CMAP_HEAT);
    const auto* map = internal::cmap_heat;
    auto img = makeImage<float>(1, 1, zv::ZV_RGB, zv::ZV_FLOAT32, {250.0f, 285.0f, 400.0f});
    img->setValueRange(250.0f, 320.0f);
    Snapshot s = drawOffscreen(img, 10, 10);
    // Red reads row 0's red, green row 31's green (63 x 0.5), blue the last row's blue.
    const RGBA want{to8(map[0][0]), to8(map[31][1]), to8(map[63][2]), 255};
    EXPECT_TRUE(zvtest::near(want, s.at(5, 5), 2)) << "want " << want << " got " << s.at(5, 5);
}

TEST_F(ImageRangeGLTest, NaNPixelsAreTransparentBlackHolesWithOrWithoutARange) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const RGBA hole{0, 0, 0, 0};
    for (bool ranged : {false, true}) {
        auto grey = makeImage<float>(3, 1, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32, {0.5f, nan, 1.0f});
        // In a colour image one NaN channel is enough.
        auto rgb = makeImage<float>(2, 1, zv::ZV_RGB, zv::ZV_FLOAT32,
                                    {1.0f, 1.0f, 1.0f, 1.0f, nan, 1.0f});
        if (ranged) {
            grey->setValueRange(0.0f, 1.0f);
            rgb->setValueRange(0.0f, 1.0f);
        }
        Snapshot g = drawOffscreen(grey, 30, 10);
        EXPECT_TRUE(zvtest::near(hole, texel(g, 1), 1)) << "ranged " << ranged << " " << texel(g, 1);
        EXPECT_TRUE(zvtest::near(RGBA{255, 255, 255, 255}, texel(g, 2), 1)) << texel(g, 2);
        EXPECT_EQ(255, texel(g, 0).a);
        Snapshot c = drawOffscreen(rgb, 20, 10);
        EXPECT_TRUE(zvtest::near(RGBA{255, 255, 255, 255}, texel(c, 0), 1)) << texel(c, 0);
        EXPECT_TRUE(zvtest::near(hole, texel(c, 1), 1)) << "ranged " << ranged << " " << texel(c, 1);
    }
}

TEST_F(ImageRangeGLTest, ARangeChangedBetweenDrawsTakesEffect) {
    auto img = makeImage<uint8_t>(1, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8, {100});
    const auto* map = internal::cmap_default;
    EXPECT_TRUE(zvtest::near(rowColor(map, 100), drawOffscreen(img, 10, 10).at(5, 5), 2));
    img->setValueRange(0.0f, 200.0f);
    EXPECT_TRUE(zvtest::near(rowColor(map, 127), drawOffscreen(img, 10, 10).at(5, 5), 2));
    img->setValueRange(100.0f, 101.0f);
    EXPECT_TRUE(zvtest::near(rowColor(map, 0), drawOffscreen(img, 10, 10).at(5, 5), 2));
}

TEST_F(ImageRangeGLTest, PublicSetterChecksItsArgumentsAndKeepsTheRangeInForce) {
    zv::Image img(2, 2, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    EXPECT_EQ(0.0f, img.valueMin());
    EXPECT_EQ(255.0f, img.valueMax());
    EXPECT_EQ(1.0f, zv::Image(1, 1, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32).valueMax());
    img.setValueRange(10.0f, 20.0f);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Bad {
        float min, max;
        int arg;
    } bad[] = {{5.0f, 5.0f, 2}, {nan, 1.0f, 1}, {0.0f, inf, 2}, {-inf, 0.0f, 1},
               // Ranges of denormal width, which a GPU may read as no width at all.
               {0.0f, 1e-40f, 2}, {FLT_MIN, 0.0f, 2}, {1e-34f, 3e-34f, 2}};
    for (const Bad& b : bad) {
        try {
            img.setValueRange(b.min, b.max);
            ADD_FAILURE() << b.min << ", " << b.max << " was accepted";
        } catch (const zv::ArgumentError& e) {
            EXPECT_EQ(b.arg, e.argIndex());
            EXPECT_NE(nullptr, std::strstr(e.expectedCondition(), "pass")) << e.expectedCondition();
        }
        EXPECT_EQ(10.0f, img.valueMin());
        EXPECT_EQ(20.0f, img.valueMax());
    }
}

}  // namespace
