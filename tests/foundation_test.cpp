// Public types, exceptions, conversions and the numeric helpers: no GPU needed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "common/common.hpp"
#include "zarvo/exception.h"

using namespace zv;
using internal::GLenumToZVType;
using internal::ZVModeToGLColor;
using internal::ZVTypeToGLenum;

TEST(PublicTypes, EnumerationValuesAreFixed) {
    EXPECT_EQ(0, ZV_INT8);
    EXPECT_EQ(1, ZV_UINT8);
    EXPECT_EQ(2, ZV_INT32);
    EXPECT_EQ(3, ZV_UINT32);
    EXPECT_EQ(4, ZV_FLOAT32);
    EXPECT_EQ(5, ZV_INT16);
    EXPECT_EQ(6, ZV_UINT16);
    EXPECT_EQ(1, ZV_GRAYSCALE);
    EXPECT_EQ(3, ZV_RGB);
    EXPECT_EQ(4, ZV_RGBA);
    EXPECT_EQ(6, ZV_CMAP_BLUE);
    EXPECT_EQ(5, ZV_CMAP_HEAT);
    EXPECT_EQ(1, ZV_PLOT_SCATTER);
    EXPECT_EQ(7, ZV_MARKER_STAR);
    EXPECT_EQ(1001, ZV_ERR_DIMENSION);
    EXPECT_EQ(1002, ZV_ERR_TYPE);
    EXPECT_EQ(1003, ZV_ERR_ARGUMENT);
    EXPECT_EQ(2001, ZV_ERR_GL);
    EXPECT_EQ(3001, ZV_ERR_FONT);
    EXPECT_EQ(4u, sizeof(Color));
}

TEST(Conversions, ZVTypeToGLenumIncludingOutOfRange) {
    struct Case { int in; GLenum out; } cases[] = {
        {0, GL_BYTE}, {1, GL_UNSIGNED_BYTE}, {2, GL_INT}, {3, GL_UNSIGNED_INT},
        {4, GL_FLOAT}, {5, GL_SHORT}, {6, GL_UNSIGNED_SHORT}, {7, GL_FLOAT}, {-1, GL_FLOAT},
        {9, GL_FLOAT}};
    for (const Case& c : cases) EXPECT_EQ(c.out, ZVTypeToGLenum(static_cast<ZVType>(c.in))) << c.in;
}

TEST(Conversions, GLenumToZVTypeAndRoundTrip) {
    EXPECT_EQ(ZV_INT16, GLenumToZVType(GL_SHORT));
    EXPECT_EQ(ZV_UINT16, GLenumToZVType(GL_UNSIGNED_SHORT));
    EXPECT_EQ(ZV_FLOAT32, GLenumToZVType(GL_HALF_FLOAT));
    EXPECT_EQ(ZV_FLOAT32, GLenumToZVType(0x1234));
    for (int t = 0; t <= 6; ++t)
        EXPECT_EQ(t, GLenumToZVType(ZVTypeToGLenum(static_cast<ZVType>(t))));
}

TEST(Conversions, ColorModes) {
    EXPECT_EQ(static_cast<GLenum>(GL_RED), ZVModeToGLColor(ZV_GRAYSCALE));
    EXPECT_EQ(static_cast<GLenum>(GL_RGB), ZVModeToGLColor(ZV_RGB));
    EXPECT_EQ(static_cast<GLenum>(GL_RGBA), ZVModeToGLColor(ZV_RGBA));
    EXPECT_EQ(static_cast<GLenum>(GL_RGBA), ZVModeToGLColor(static_cast<ColorMode>(2)));
}

TEST(Exceptions, TreeCodesAndFields) {
    try {
        throw TypeError("Plot::Plot", 42, 1, ZV_INT8);
    } catch (const Error& e) {
        EXPECT_STREQ("Invalid data type", e.what());
        EXPECT_STREQ("Plot::Plot", e.functionName());
        EXPECT_EQ(42, e.line());
        EXPECT_EQ(ZV_ERR_TYPE, e.err());
        const auto* t = dynamic_cast<const TypeError*>(&e);
        ASSERT_NE(nullptr, t);
        EXPECT_EQ(1, t->argIndex());
        EXPECT_STRNE("", t->typeName());
    }
    ArgumentError a("f", 1, 2, "size must be at least 1");
    EXPECT_STREQ("Invalid argument", a.what());
    EXPECT_EQ(ZV_ERR_ARGUMENT, a.err());
    EXPECT_EQ(2, a.argIndex());
    EXPECT_STREQ("size must be at least 1", a.expectedCondition());
    DimensionError d("g", 3, 1, "width <= 16384");
    EXPECT_STREQ("Invalid dimension", d.what());
    EXPECT_EQ(ZV_ERR_DIMENSION, d.err());
    EXPECT_EQ(1, d.argIndex());
    // Every class is a std::logic_error, so generic handlers catch it.
    EXPECT_THROW(throw DimensionError("g", 3, 1, "x"), std::logic_error);
    EXPECT_THROW(throw ArgumentError("g", 3, 1, "x"), Error);
}

TEST(Exceptions, LongTextsAreCutTo1023CharactersButMessageIsWhole) {
    std::string longName(2000, 'n');
    std::string longMessage(5000, 'm');
    Error e(longName.c_str(), 7, longMessage.c_str(), ZV_ERR_GL);
    EXPECT_EQ(longName.substr(0, 1023), e.functionName());
    EXPECT_EQ(longMessage, e.what());
    ArgumentError a("f", 1, 1, longName.c_str());
    EXPECT_EQ(longName.substr(0, 1023), a.expectedCondition());
    // A copy (as made when throwing) owns its own buffers.
    Error copy = e;
    EXPECT_EQ(longName.substr(0, 1023), copy.functionName());
}

TEST(Exceptions, EmptyAndNullTextsGiveEmptyStrings) {
    Error e("", 0, "", ZV_ERR_GL);
    ASSERT_NE(nullptr, e.functionName());
    EXPECT_STREQ("", e.functionName());
    ArgumentError a(nullptr, 0, 0, nullptr);
    ASSERT_NE(nullptr, a.expectedCondition());
    EXPECT_STREQ("", a.expectedCondition());
    EXPECT_STREQ("", a.functionName());
}

TEST(Helpers, ToStringFormatsLikePrintfF) {
    struct Case { float v; int p; const char* text; } cases[] = {
        {0.1f, 2, "0.10"},       {2.675f, 2, "2.67"},   {1234.5678f, 2, "1234.57"},
        {-0.001f, 2, "-0.00"},   {1e10f, 2, "10000000000.00"}, {-1.0f, 0, "-1"},
        {0.5f, 2, "0.50"},       {-0.2222222f, 2, "-0.22"}};
    for (const Case& c : cases) EXPECT_EQ(c.text, internal::toString(c.v, c.p)) << c.v;
}

TEST(Helpers, NextPowerOfTwo) {
    struct Case { int in, out; } cases[] = {{0, 0}, {1, 1},     {2, 2},       {3, 4},
                                            {5, 8}, {100, 128}, {1024, 1024}, {1025, 2048},
                                            {-5, 0}, {1 << 30, 1 << 30}};
    for (const Case& c : cases) EXPECT_EQ(c.out, internal::next_p2(c.in)) << c.in;
    EXPECT_THROW(internal::next_p2((1 << 30) + 1), ArgumentError);
}

TEST(Helpers, ClampTo01) {
    EXPECT_EQ(0.0f, internal::clampTo01(-0.5f));
    EXPECT_EQ(0.25f, internal::clampTo01(0.25f));
    EXPECT_EQ(1.0f, internal::clampTo01(7.0f));
    EXPECT_TRUE(std::isnan(internal::clampTo01(NAN)));
    EXPECT_TRUE(std::signbit(internal::clampTo01(-0.0f)));
}

