// Images with no GPU: the scale that keeps the aspect ratio, byte sizes past 32 bits, the
// texture format each element type gets, and where an element value lands on the colour map
// with and without a value range.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "image/image_impl.hpp"
#include "image/image_layout.hpp"

TEST(ImageScale, KeepsTheLongerSideAndFollowsTheAspectRatio) {
    struct Case {
        unsigned W, H;
        int w, h;
        bool keep;
        float sx, sy;
    } cases[] = {
        {640, 480, 800, 800, true, 1.0f, 0.75f},   // landscape spans the width
        {640, 480, 800, 800, false, 1.0f, 1.0f},   // without the flag it fills
        {480, 640, 800, 400, true, 0.375f, 1.0f},  // portrait spans the height
        {200, 100, 1000, 100, true, 1.0f, 5.0f},   // reaches past the area, clipped
        {50, 50, 400, 300, true, 0.75f, 1.0f},     // square follows the height
        {50, 50, 300, 400, true, 4.0f / 3.0f, 1.0f},  // reaches past the sides
        {0, 10, 400, 300, true, 1.0f, 1.0f},  // empty image or area: no scale
        {10, 10, 0, 300, true, 1.0f, 1.0f},
    };
    for (const Case& c : cases) {
        internal::ImageScale s = internal::imageScale(c.W, c.H, c.w, c.h, c.keep);
        EXPECT_NEAR(c.sx, s.sx, 1e-5f) << c.W << "x" << c.H << " in " << c.w << "x" << c.h;
        EXPECT_NEAR(c.sy, s.sy, 1e-5f) << c.W << "x" << c.H << " in " << c.w << "x" << c.h;
    }
}

TEST(ImageScale, ByteSizeDoesNotWrapAt32Bits) {
    EXPECT_EQ(18u, internal::imageByteSize(3, 2, 3, 1));
    EXPECT_EQ(256u, internal::imageByteSize(4, 4, 4, 4));
    EXPECT_EQ(uint64_t(1) << 36, internal::imageByteSize(65536, 65536, 4, 4));
}

TEST(ImageFormatTest, FloatDataGetsAFloatTextureAndIntegerDataASignKeepingFormat) {
    EXPECT_EQ(internal::imageInternalFormat(GL_RED, GL_FLOAT), static_cast<GLenum>(GL_R32F));
    EXPECT_EQ(internal::imageInternalFormat(GL_RGB, GL_FLOAT), static_cast<GLenum>(GL_RGB32F));
    EXPECT_EQ(internal::imageInternalFormat(GL_RGBA, GL_FLOAT), static_cast<GLenum>(GL_RGBA32F));
    EXPECT_EQ(internal::imageInternalFormat(GL_RED, GL_UNSIGNED_BYTE), static_cast<GLenum>(GL_RED));
    EXPECT_EQ(internal::imageInternalFormat(GL_RGBA, GL_UNSIGNED_INT), static_cast<GLenum>(GL_RGBA));
    // Signed data keeps its sign: an unsized format would clamp negative values to 0.
    EXPECT_EQ(internal::imageInternalFormat(GL_RED, GL_BYTE), static_cast<GLenum>(GL_R8_SNORM));
    EXPECT_EQ(internal::imageInternalFormat(GL_RGB, GL_BYTE), static_cast<GLenum>(GL_RGB8_SNORM));
    EXPECT_EQ(internal::imageInternalFormat(GL_RGBA, GL_INT), static_cast<GLenum>(GL_RGBA32F));
}

TEST(ImageValueMap, TakesTheRangeInElementUnitsOntoTheMap) {
    struct Case {
        GLenum type;
        bool hasRange;
        double min, max;
        double element;  // an element value, in its own units
        double expected;  // where it lands on the map, 0 first row, 1 last
    } cases[] = {
        {GL_FLOAT, false, 0, 0, 0.25, 0.25},           // no range: the value itself
        {GL_UNSIGNED_BYTE, false, 0, 0, 51, 0.2},      // no range: OpenGL's k / 255
        {GL_UNSIGNED_BYTE, true, 50, 90, 70, 0.5},
        {GL_UNSIGNED_BYTE, true, 50, 90, 10, -1.0},    // below: clamped by the shader
        {GL_FLOAT, true, 250, 320, 285, 0.5},          // kelvin
        {GL_FLOAT, true, 250, 320, 320, 1.0},
        {GL_FLOAT, true, 1, -1, 1, 0.0},               // reversed
        {GL_INT, true, -1000, 1000, 0, 0.5},
        {GL_UNSIGNED_INT, true, 0, 4294967295.0, 4294967295.0, 1.0},
        {GL_BYTE, true, -100, 100, -50, 0.25},
        // The whole float range, its upper half, and the narrowest range taken.
        {GL_FLOAT, true, -FLT_MAX, FLT_MAX, FLT_MAX, 1.0},
        {GL_FLOAT, true, -FLT_MAX, FLT_MAX, 0, 0.5},
        {GL_FLOAT, true, FLT_MAX / 2, FLT_MAX, 0.75 * FLT_MAX, 0.5},
        {GL_FLOAT, true, 0, internal::MIN_VALUE_SPAN, internal::MIN_VALUE_SPAN, 1.0},
        {GL_FLOAT, true, 1e-30, 3e-30, 2e-30, 0.5},
    };
    for (const Case& c : cases) {
        const internal::ImageValueMap m = internal::imageValueMap(c.type, c.hasRange, c.min, c.max);
        const double normalised = c.element / internal::imageElementUnit(c.type);
        const std::string what = "type " + std::to_string(c.type) + " range " +
                                 std::to_string(c.min) + ".." + std::to_string(c.max);
        // The shader's steps in single precision: every factor a normal float, so that no
        // GPU flushes one to zero, and no product overflows.
        EXPECT_TRUE(std::isnormal(m.scale)) << what << ": scale " << m.scale;
        EXPECT_TRUE(std::isnormal(m.prescale)) << what << ": prescale " << m.prescale;
        EXPECT_TRUE(std::isfinite(m.offset)) << what;
        const float texel = static_cast<float>(normalised);
        EXPECT_NEAR(c.expected, texel * m.prescale * m.scale + m.offset, 1e-5) << what;
    }
    // Without a range the shader's arithmetic is the identity, so pictures are unchanged.
    const internal::ImageValueMap none = internal::imageValueMap(GL_UNSIGNED_BYTE, false, 0, 0);
    EXPECT_EQ(1.0f, none.scale);
    EXPECT_EQ(0.0f, none.offset);
}
