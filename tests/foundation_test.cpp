// Public types, exceptions, conversions and the numeric helpers: no GPU needed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "common/common.hpp"
#include "exception/raise.hpp"
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

// The placeholders {0}, {1}, ... a row's text uses, as a bit set; -1 for a malformed one.
long placeholdersOf(const char* text) {
    long used = 0;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (p[0] == '{' && p[1] == '{') {
            ++p;
        } else if (p[0] == '{') {
            if (!(p[1] >= '0' && p[1] <= '9' && p[2] == '}')) return -1;
            used |= 1L << (p[1] - '0');
            p += 2;
        } else if (p[0] == '}') {
            return -1;
        }
    }
    return used;
}

// Walks the whole table of failures: each row is complete and consistent, and raising it
// gives the exception, code, argument, what() and advice the row says, and prints what it
// says to stderr.
TEST(ErrorTable, EveryRowRaisesWhatItSays) {
    using internal::ErrorClass;
    using internal::ErrorId;
    const int count = static_cast<int>(ErrorId::Count);
    ASSERT_GT(count, 50);
    std::set<std::string> names;
    for (int i = 0; i < count; ++i) {
        const internal::ErrorRow& row = internal::errorTable()[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(i, static_cast<int>(row.id));
        EXPECT_EQ(&row, &internal::errorRow(row.id));
        EXPECT_TRUE(names.insert(row.name).second) << "two rows share a name";
        ASSERT_NE(row.message, nullptr);
        ASSERT_NE(row.advice, nullptr);
        EXPECT_STRNE(row.message, "");
        EXPECT_GT(std::strlen(row.advice), 10u) << "advice says what to do";
        // Each class has its own code and argument rule.
        switch (row.cls) {
            case ErrorClass::ArgumentError:
                EXPECT_EQ(ZV_ERR_ARGUMENT, row.code);
                EXPECT_STREQ("Invalid argument", row.message);
                break;
            case ErrorClass::DimensionError:
                EXPECT_EQ(ZV_ERR_DIMENSION, row.code);
                EXPECT_STREQ("Invalid dimension", row.message);
                break;
            case ErrorClass::TypeError:
                EXPECT_EQ(ZV_ERR_TYPE, row.code);
                EXPECT_STREQ("Invalid data type", row.message);
                break;
            case ErrorClass::Error:
                EXPECT_TRUE(row.code == ZV_ERR_GL || row.code == ZV_ERR_FONT) << row.code;
                EXPECT_EQ(internal::NO_ARG, row.arg);
                break;
        }
        if (row.cls != ErrorClass::Error) {
            EXPECT_TRUE(row.arg >= 0 || row.arg == internal::BY_SITE) << row.arg;
        }
        // The values a site passes are {0} to {n-1}, each used somewhere.
        const long used = placeholdersOf(row.message) | placeholdersOf(row.advice) |
                          placeholdersOf(row.output.diagnostic);
        ASSERT_GE(placeholdersOf(row.message), 0) << row.message;
        ASSERT_GE(placeholdersOf(row.advice), 0) << row.advice;
        ASSERT_GE(placeholdersOf(row.output.diagnostic), 0) << row.output.diagnostic;
        int values = 0;
        while (used & (1L << values)) ++values;
        EXPECT_EQ(used, (1L << values) - 1) << "the values used are not 0 to n-1";
        const bool typed = row.cls == ErrorClass::TypeError;

        // Raised with distinct values, the texts come out filled in.
        const std::initializer_list<internal::ErrorValue> typeOnly{ZV_INT8};
        const std::initializer_list<internal::ErrorValue> four{"<a>", "<b>", "<c>", "<d>"};
        ASSERT_LE(values, 4);
        if (typed) {
            EXPECT_EQ(0, values) << "a type failure passes the type alone";
        }
        const int siteArg = row.arg == internal::BY_SITE ? 3 : internal::NO_ARG;
        std::string expectedAdvice = row.advice;
        std::string expectedMessage = row.message;
        const char* fills[] = {"<a>", "<b>", "<c>", "<d>"};
        for (int v = 0; v < values; ++v) {
            for (std::string* text : {&expectedAdvice, &expectedMessage}) {
                const std::string mark = "{" + std::to_string(v) + "}";
                for (size_t at; (at = text->find(mark)) != std::string::npos;)
                    text->replace(at, mark.size(), fills[v]);
            }
        }
        testing::internal::CaptureStderr();
        try {
            internal::raiseFailure(row.id, internal::RaiseSite{"Where::here", 77, siteArg},
                                   typed ? typeOnly : four);
            ADD_FAILURE() << "nothing raised";
        } catch (const Error& e) {
            EXPECT_EQ(row.code, e.err());
            EXPECT_STREQ("Where::here", e.functionName());
            EXPECT_EQ(77, e.line());
            EXPECT_EQ(expectedMessage, e.what());
            EXPECT_EQ(expectedAdvice.substr(0, 1023), e.expectedCondition());
            const int arg = row.arg == internal::BY_SITE ? 3 : row.arg;
            if (auto* a = dynamic_cast<const ArgumentError*>(&e)) {
                EXPECT_EQ(ErrorClass::ArgumentError, row.cls);
                EXPECT_EQ(arg, a->argIndex());
            } else if (auto* d = dynamic_cast<const DimensionError*>(&e)) {
                EXPECT_EQ(ErrorClass::DimensionError, row.cls);
                EXPECT_EQ(arg, d->argIndex());
            } else if (auto* t = dynamic_cast<const TypeError*>(&e)) {
                EXPECT_EQ(ErrorClass::TypeError, row.cls);
                EXPECT_EQ(arg, t->argIndex());
                EXPECT_STREQ("int8", t->typeName());
            } else {
                EXPECT_EQ(ErrorClass::Error, row.cls);
            }
        }
        const std::string said = testing::internal::GetCapturedStderr();
        std::string expectedSaid;
        if (row.output.diagnostic) expectedSaid += internal::fillIn(row.output.diagnostic, four) + "\n";
        if (row.output.advice) expectedSaid += "  " + expectedAdvice + "\n";
        EXPECT_EQ(expectedSaid, said);
    }
}

TEST(ErrorTable, FillInReplacesPlaceholdersInOrder) {
    struct Case {
        const char* text;
        const char* filled;
    } cases[] = {
        {"no values", "no values"},
        {"at most {0} of {1}", "at most 7 of points"},
        {"{1} before {0}", "points before 7"},
        {"{0} and {0} again", "7 and 7 again"},
        {"a brace {{0} stays", "a brace {0} stays"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.filled, internal::fillIn(c.text, {7u, std::string("points")})) << c.text;
    }
    // A type passes as its number; the exception keeps its name.
    EXPECT_EQ("4", internal::fillIn("{0}", {ZV_FLOAT32}));
    EXPECT_EQ("-3", internal::fillIn("{0}", {-3L}));
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

