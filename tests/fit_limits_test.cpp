// Limits fitted to the data's bounds, with no GPU: a margin of five percent, zero extents,
// the series of a chart covered together, log axes and the edges of the floats. (The GPU
// reduction behind the bounds: fit_gl_test.cpp.)
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "range/data_range.hpp"

namespace {

using internal::DataBounds;
using internal::fitLimits;

const float INF = std::numeric_limits<float>::infinity();
const float BIG = std::numeric_limits<float>::max();

struct Limits {
    float xmin, xmax, ymin, ymax;
};
void expectLimits(const Limits& want, const Limits& got) {
    EXPECT_FLOAT_EQ(want.xmin, got.xmin);
    EXPECT_FLOAT_EQ(want.xmax, got.xmax);
    EXPECT_FLOAT_EQ(want.ymin, got.ymin);
    EXPECT_FLOAT_EQ(want.ymax, got.ymax);
}
Limits fitted(float xmin, float xmax, float ymin, float ymax) {
    internal::FittedLimits f = fitLimits({xmin, ymin, xmax, ymax});
    return {f.xmin, f.xmax, f.ymin, f.ymax};
}

TEST(FitLimits, MarginOfFivePercentAndForZeroExtents) {
    internal::FittedLimits f = fitLimits({-1.0f, 10.0f, 3.0f, 30.0f});
    EXPECT_FLOAT_EQ(-1.2f, f.xmin);
    EXPECT_FLOAT_EQ(3.2f, f.xmax);
    EXPECT_FLOAT_EQ(9.0f, f.ymin);
    EXPECT_FLOAT_EQ(31.0f, f.ymax);
    f = fitLimits({2.0f, 0.0f, 2.0f, 0.0f});  // one point at (2, 0)
    EXPECT_FLOAT_EQ(1.9f, f.xmin);
    EXPECT_FLOAT_EQ(2.1f, f.xmax);
    EXPECT_FLOAT_EQ(-0.5f, f.ymin);
    EXPECT_FLOAT_EQ(0.5f, f.ymax);
    EXPECT_TRUE((DataBounds{INF, INF, -INF, -INF}.empty()));
}

// A chart of several series covers them all: the plots' union in x, plots and bars in y;
// bars keep the bottom at 0 unless points lie below, and alone reach 5% above the tallest.
TEST(FitLimits, SeriesOfAChartAreCoveredTogether) {
    const internal::FittedLimits current{-7.0f, 7.0f, -8.0f, 8.0f};
    const DataBounds none{INF, INF, -INF, -INF};
    struct Case {
        const char* name;
        std::vector<DataBounds> points, bars;  // bars: (index, frequency) ranges
        bool fits;
        Limits want;
    } cases[] = {
        {"two plots", {{0, 10, 4, 20}, {-6, 12, 2, 30}}, {}, true, fitted(-6, 4, 10, 30)},
        {"an empty plot counts for nothing", {{0, 10, 4, 20}, none}, {}, true,
         fitted(0, 4, 10, 20)},
        {"bars alone: x stays, y from 0 to 5% above the tallest", {},
         {{0, 2, 9, 40}, {0, 1, 3, 25}}, true, {-7, 7, 0, 42}},
        {"bars without a positive frequency", {}, {{0, -3, 9, 0}}, false, {}},
        {"plot above 0 with bars", {{0, 10, 4, 20}}, {{0, 1, 9, 30}}, true,
         {fitted(0, 4, 0, 0).xmin, fitted(0, 4, 0, 0).xmax, 0, 31.5f}},
        {"plot below 0 with bars", {{0, -10, 4, 20}}, {{0, 1, 9, 10}}, true,
         {fitted(0, 4, 0, 0).xmin, fitted(0, 4, 0, 0).xmax, -11.5f, 21.5f}},
        {"nothing finite", {none}, {none}, false, {}},
        {"margins past the largest float stop at it", {{-BIG, -BIG, BIG, 0}}, {{0, 1, 9, BIG}},
         true, {-BIG, BIG, -BIG, BIG}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        internal::SeriesBounds b;
        for (const DataBounds& d : c.points) b.addPoints(d);
        for (const DataBounds& d : c.bars) b.addBars(d);
        internal::FittedLimits f{};
        ASSERT_EQ(c.fits, internal::fitSeries(b, current, f));
        if (!c.fits) continue;
        expectLimits(c.want, {f.xmin, f.xmax, f.ymin, f.ymax});
        for (const float v : {f.xmin, f.xmax, f.ymin, f.ymax}) EXPECT_TRUE(std::isfinite(v)) << v;
    }
}

// On a logarithmic axis the margin is 5% of the decades each side, a factor, so the limits
// stay above zero; data reaching 0 or below leave that axis' limits alone; bars on a log y
// axis stand on its bottom and get room above as a share of the decades shown.
TEST(FitLimits, LogAxesTakeTheirMarginAsAFactor) {
    const internal::FittedLimits current{10.0f, 100.0f, 1.0f, 50.0f};
    const DataBounds none{INF, INF, -INF, -INF};
    const auto p10 = [](double e) { return static_cast<float>(std::pow(10.0, e)); };
    struct Case {
        const char* name;
        DataBounds points, bars;
        bool xLog, yLog;
        Limits want;
    } cases[] = {
        {"four decades in both", {1, 1, 1e4f, 1e4f}, none, true, true,
         {p10(-0.2), p10(4.2), p10(-0.2), p10(4.2)}},
        {"one value: 5% of a decade", {100, 0.01f, 100, 0.01f}, none, true, true,
         {p10(1.95), p10(2.05), p10(-2.05), p10(-1.95)}},
        {"x reaches 0: x stays, linear y fits", {0, 2, 1000, 6}, none, true, false,
         {10, 100, fitted(0, 0, 2, 6).ymin, fitted(0, 0, 2, 6).ymax}},
        {"bars on the bottom of a log y axis", none, {0, 0, 4, 1000}, false, true,
         {10, 100, 1, p10(3.15)}},
        {"points below the bars' bottom", {1, 0.1f, 2, 5}, {0, 0, 4, 1000}, false, true,
         {fitted(1, 2, 0, 0).xmin, fitted(1, 2, 0, 0).xmax, p10(-1.2), p10(3.21)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        internal::SeriesBounds b;
        b.addPoints(c.points);
        b.addBars(c.bars);
        internal::FittedLimits f{};
        ASSERT_TRUE(internal::fitSeries(b, current, f, c.xLog, c.yLog));
        expectLimits(c.want, {f.xmin, f.xmax, f.ymin, f.ymax});
        EXPECT_TRUE(!c.xLog || f.xmin > 0.0f) << f.xmin;
        EXPECT_TRUE(!c.yLog || f.ymin > 0.0f) << f.ymin;
    }
    // The room above bars: 5% of their height, or of their decades on a log axis.
    EXPECT_FLOAT_EQ(21.0f, internal::barsHeadroom(0, 20, false));
    EXPECT_FLOAT_EQ(p10(4.2), internal::barsHeadroom(1, 1e4f, true));
    EXPECT_FLOAT_EQ(BIG, internal::barsHeadroom(0, BIG, false));
}

// Data reaching the largest floats, or too close together for a 5% margin to show: the
// limits stay finite, apart and around the data.
TEST(FitLimits, StayFiniteAndApartAtTheEdgesOfTheFloats) {
    const float TINY = std::numeric_limits<float>::denorm_min();
    const struct {
        float lo, hi, wantLo, wantHi;
    } cases[] = {
        {-BIG, BIG, -BIG, BIG},
        {0, BIG, -0.05f * BIG, BIG},
        {BIG, BIG, 0.95f * BIG, BIG},
        {-BIG, -BIG, -BIG, -0.95f * BIG},
        {TINY, TINY, 0, 2 * TINY},
        {-0.5f * BIG, BIG, -0.575f * BIG, BIG},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lo << " .. " << c.hi);
        const internal::FittedLimits f = fitLimits({c.lo, c.lo, c.hi, c.hi});
        for (const float v : {f.xmin, f.xmax, f.ymin, f.ymax}) EXPECT_TRUE(std::isfinite(v)) << v;
        EXPECT_FLOAT_EQ(c.wantLo, f.xmin);
        EXPECT_FLOAT_EQ(c.wantHi, f.xmax);
        EXPECT_LT(f.ymin, f.ymax);
        EXPECT_LE(f.ymin, c.lo);
        EXPECT_GE(f.ymax, c.hi);
    }
}

}  // namespace
