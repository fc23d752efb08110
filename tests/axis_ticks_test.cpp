// Axes at any scale, with no GPU: when an axis collapses, which format its labels take,
// round-value and logarithmic ticks, the notation readers expect, and the thinning of labels
// that would touch.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "chart/axis_ticks.hpp"

using internal::AxisTicks;

namespace {

std::vector<std::string> strings(std::initializer_list<const char*> list) {
    return std::vector<std::string>(list.begin(), list.end());
}

double parsed(const std::string& s) { return std::stod(s); }

float ulpsAbove(float v, int n) {
    for (int i = 0; i < n; ++i) v = std::nextafter(v, 2.0f * std::fabs(v) + 1.0f);
    return v;
}

// Labels of the even ticks in order along the axis (offset -4 to 4).
std::vector<std::string> alongAxis(const AxisTicks& t) {
    std::vector<std::string> out(t.labels.size());
    const int half = static_cast<int>(t.labels.size()) / 2;
    for (size_t k = 0; k < t.labels.size(); ++k) out[t.offsets[k] + half] = t.labels[k];
    return out;
}

}  // namespace

TEST(AxisScale, CollapsesOnlyWhenSinglePrecisionCannotTellPointsApart) {
    struct Case {
        float max, min;
        bool collapses;
    };
    const float nan = std::nanf("");
    const Case cases[] = {
        {1, 1, true},
        {0, 0, true},
        {ulpsAbove(1, 4), 1, true},
        {-5, ulpsAbove(-5, 3), true},
        {ulpsAbove(1, 16), 1, false},
        {1e-9f, 0, false},
        {2e-5f, 0, false},
        {1e-30f, 1e-31f, false},
        {5.0004f, 5, false},
        {1000.01f, 1000, false},
        {1.0f, 0.9995f, false},
        {nan, 0, true},
        {1, -INFINITY, true},
    };
    for (const Case& k : cases)
        EXPECT_EQ(k.collapses, internal::axisCollapses(k.max, k.min)) << k.min << " .. " << k.max;
    // A collapsed axis puts everything on its minimum's edge; any other maps its middle onto
    // the middle of the frame.
    EXPECT_DOUBLE_EQ(-1.0, internal::chartPosition(internal::axisMap(2, 2, false), 123.0));
    EXPECT_NEAR(0.0, internal::chartPosition(internal::axisMap(2e-5f, 0, false), 1e-5), 1e-6);
    EXPECT_NEAR(0.0, internal::chartPosition(internal::axisMap(1000, 0.001f, true), 1.0), 1e-6);
    EXPECT_NEAR(1.0 / 3.0, internal::chartPosition(internal::axisMap(1000, 0.001f, true), 10.0),
                1e-6);
}

// Every range the suite, the examples and the bench draw keeps the labels it always had:
// two decimals of the single-precision steps from the middle of the range.
TEST(AxisLabels, RangesOfEveryDayKeepTheirTwoDecimals) {
    const float ranges[][2] = {{1, 0},     {100, -100}, {5, 5},    {0, 1},        {-2, -4},
                               {0.5f, 0.25f}, {10, -2.5f}, {1.2f, -1.2f}, {1.5f, -1.5f},
                               {1000, -1000}, {250, 0},    {2, 0},    {4, 2},        {8, 6},
                               {6.2831853f, 0}, {1500, 0}, {1.6f, -1.6f}, {0.2f, 0}};
    for (const auto& r : ranges) {
        const float max = r[0], min = r[1];
        const float step = (max - min) / 9.0f, mid = (max - min) * 0.5f + min;
        std::vector<std::string> expected;
        for (int o = -4; o <= 4; ++o) {
            char text[64];
            std::snprintf(text, sizeof text, "%.2f", static_cast<double>(mid + o * step));
            expected.push_back(text);
        }
        EXPECT_EQ(expected, alongAxis(internal::evenTicks(max, min, 9))) << min << " .. " << max;
    }
}

TEST(AxisLabels, TinyAndHugeRangesGetDistinctTruthfulLabels) {
    // A few written out: more decimals, or scientific notation, one format per axis.
    EXPECT_EQ(strings({"1.1e-06", "3.3e-06", "5.6e-06", "7.8e-06", "1.0e-05", "1.2e-05", "1.4e-05",
                       "1.7e-05", "1.9e-05"}),
              alongAxis(internal::evenTicks(2e-5f, 0, 9)));
    EXPECT_EQ(strings({"5.00002", "5.00007", "5.00011", "5.00016", "5.00020", "5.00024",
                       "5.00029", "5.00033", "5.00038"}),
              alongAxis(internal::evenTicks(5.0004f, 5, 9)));
    EXPECT_EQ(strings({"1.91e+07", "1.93e+07", "1.96e+07", "1.98e+07", "2.00e+07", "2.02e+07",
                       "2.04e+07", "2.07e+07", "2.09e+07"}),
              alongAxis(internal::evenTicks(2.1e7f, 1.9e7f, 9)));
    EXPECT_EQ(strings({"0.006", "0.017", "0.028", "0.039", "0.050", "0.061", "0.072", "0.083",
                       "0.094"}),
              alongAxis(internal::evenTicks(0.1f, 0, 9)));
    // Equal limits name their one value.
    EXPECT_EQ(std::vector<std::string>(9, "1e-05"), internal::evenTicks(1e-5f, 1e-5f, 9).labels);
    EXPECT_EQ(std::vector<std::string>(9, "2e+07"), internal::evenTicks(2e7f, 2e7f, 9).labels);

    // Every label of ranges from a billionth to a trillion, at zero and away from it, names
    // its tick's value to a quarter of the step, and neighbours differ.
    for (double range : {1e-9, 3e-7, 2e-5, 1e-3, 0.05, 0.09, 7.0, 3e4, 2e6, 5e9, 1e12}) {
        for (double offset : {0.0, -0.5, 5.0, -7.0, 1000.0, 3.0}) {
            const float min = static_cast<float>(offset * (offset == -0.5 ? range : 1.0));
            const float max = static_cast<float>(static_cast<double>(min) + range);
            if (internal::axisCollapses(max, min)) continue;  // 1e-9 beside 1000
            const AxisTicks t = internal::evenTicks(max, min, 9);
            const std::vector<std::string> labels = alongAxis(t);
            const double step = (static_cast<double>(max) - min) / 9.0;
            const double mid = 0.5 * (static_cast<double>(max) + min);
            SCOPED_TRACE(testing::Message() << min << " .. " << max);
            const bool scientific = labels[0].find('e') != std::string::npos;
            for (int o = -4; o <= 4; ++o) {
                const std::string& label = labels[o + 4];
                EXPECT_NEAR(mid + o * step, parsed(label), std::fabs(step) / 4) << label;
                EXPECT_LE(label.size(), 12u) << label;
                EXPECT_EQ(scientific, label.find('e') != std::string::npos) << label;
                if (o > -4) {
                    EXPECT_NE(labels[o + 3], label);
                }
            }
        }
    }
}

TEST(AxisLabels, FormatsWriteWhatTheySay) {
    using internal::formatLabel;
    EXPECT_EQ("0.00", formatLabel(-1e-9, {false, 2, false}));  // no "-0.00"
    EXPECT_EQ("1.5e-05", formatLabel(1.5e-5, {true, 1, false}));
    EXPECT_EQ("2.0e+07", formatLabel(2e7, {true, 1, false}));
    EXPECT_EQ("1e-3", formatLabel(1e-3, {true, 0, true}));
    EXPECT_EQ("1e+6", formatLabel(1e6, {true, 0, true}));
    EXPECT_EQ("5e+10", formatLabel(5e10, {true, 0, true}));
    EXPECT_EQ("1e+0", formatLabel(1, {true, 0, true}));
}

TEST(NiceTicks, RoundStepsInsideTheLimitsLabelledAtTheirPrecision) {
    struct Case {
        float max, min;
        std::vector<double> values;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {1, 0, {0, 0.2, 0.4, 0.6, 0.8, 1}, strings({"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"})},
        {100, -100, {-100, -50, 0, 50, 100}, strings({"-100", "-50", "0", "50", "100"})},
        {7.5f, 0.3f, {1, 2, 3, 4, 5, 6, 7}, strings({"1", "2", "3", "4", "5", "6", "7"})},
        {2e-5f, 0, {0, 5e-6, 1e-5, 1.5e-5, 2e-5},
         strings({"0.0e+00", "5.0e-06", "1.0e-05", "1.5e-05", "2.0e-05"})},
        {5.0004f, 5, {5, 5.00005, 5.0001, 5.00015, 5.0002, 5.00025, 5.0003, 5.00035, 5.0004},
         strings({"5.00000", "5.00005", "5.00010", "5.00015", "5.00020", "5.00025", "5.00030",
                  "5.00035", "5.00040"})},
        // Reversed limits: the same values, placed mirrored.
        {-100, 100, {-100, -50, 0, 50, 100}, strings({"-100", "-50", "0", "50", "100"})},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.min << " .. " << k.max);
        const AxisTicks t = internal::niceTicks(k.max, k.min);
        EXPECT_EQ(k.labels, t.labels);
        ASSERT_EQ(k.values.size(), t.positions.size());
        for (size_t i = 0; i < k.values.size(); ++i) {
            const double where =
                -1.0 + 2.0 * (k.values[i] - k.min) / (static_cast<double>(k.max) - k.min);
            EXPECT_NEAR(where, t.positions[i], 1e-5) << k.labels[i];
        }
    }
    // Any range: four to ten ticks, one round step apart, inside the limits, each label
    // naming its value exactly.
    for (double lo : {-3e7, -1.0, 0.0, 1e-7, 4.2, 999.0})
        for (double range : {2e-6, 0.013, 0.9, 1.0, 3.7, 42.0, 999.0, 6.1e5}) {
            const float min = static_cast<float>(lo), max = static_cast<float>(lo + range);
            if (internal::axisCollapses(max, min)) continue;
            const AxisTicks t = internal::niceTicks(max, min);
            SCOPED_TRACE(testing::Message() << min << " .. " << max);
            ASSERT_GE(t.labels.size(), 4u);
            ASSERT_LE(t.labels.size(), 10u);
            const double step = parsed(t.labels[1]) - parsed(t.labels[0]);
            const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
            EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-6 || std::fabs(mantissa - 2) < 1e-6 ||
                        std::fabs(mantissa - 5) < 1e-6)
                << step;
            for (size_t i = 0; i < t.labels.size(); ++i) {
                const double v = parsed(t.labels[i]);
                EXPECT_NEAR(parsed(t.labels[0]) + step * static_cast<double>(i), v, step * 1e-3);
                EXPECT_GE(v, min - step * 1e-3);
                EXPECT_LE(v, max + step * 1e-3);
                EXPECT_NEAR(-1.0 + 2.0 * (v - min) / (static_cast<double>(max) - min),
                            t.positions[i], 1e-3);
            }
        }
    // A collapsed axis: one tick, on the edge where its data lands.
    const AxisTicks one = internal::niceTicks(3, 3);
    EXPECT_EQ(strings({"3"}), one.labels);
    EXPECT_EQ(std::vector<float>{-1.0f}, one.positions);
}

TEST(LogTicks, DecadesWithTwoAndFiveBetweenWhenFewShow) {
    struct Case {
        float max, min;
        std::vector<double> values;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {1000, 0.001f, {1e-3, 1e-2, 0.1, 1, 10, 100, 1000},
         strings({"0.001", "0.01", "0.1", "1", "10", "100", "1000"})},
        {1e6f, 1, {1, 10, 100, 1e3, 1e4, 1e5, 1e6},
         strings({"1e+0", "1e+1", "1e+2", "1e+3", "1e+4", "1e+5", "1e+6"})},
        {100, 1, {1, 2, 5, 10, 20, 50, 100}, strings({"1", "2", "5", "10", "20", "50", "100"})},
        {0.5f, 0.01f, {0.01, 0.02, 0.05, 0.1, 0.2, 0.5},
         strings({"0.01", "0.02", "0.05", "0.1", "0.2", "0.5"})},
        {1e30f, 1e-30f, {1e-30, 1e-20, 1e-10, 1, 1e10, 1e20, 1e30},
         strings({"1e-30", "1e-20", "1e-10", "1e+0", "1e+10", "1e+20", "1e+30"})},
        // Less than a decade: round linear values, placed on the logarithmic axis.
        {4, 2, {2, 2.5, 3, 3.5, 4}, strings({"2.0", "2.5", "3.0", "3.5", "4.0"})},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.min << " .. " << k.max);
        const AxisTicks t = internal::logTicks(k.max, k.min);
        EXPECT_EQ(k.labels, t.labels);
        ASSERT_EQ(k.values.size(), t.positions.size());
        const double lo = std::log10(static_cast<double>(k.min));
        const double hi = std::log10(static_cast<double>(k.max));
        for (size_t i = 0; i < k.values.size(); ++i)
            EXPECT_NEAR(-1.0 + 2.0 * (std::log10(k.values[i]) - lo) / (hi - lo), t.positions[i],
                        1e-5)
                << k.labels[i];
    }
}

// What the chart shows: powers of ten with superscript exponents, and labels that share a
// factor or an offset written short with the factor or offset once as the axis' note. Each
// label with its note names the very value the truthful label names; the two-decimal labels
// and plain numbers stay byte for byte.
TEST(ReaderNotation, PowersFactorsAndOffsetsNameTheSameValues) {
    using internal::TickStyle;
    const std::string MINUS = "\u2212", TIMES = "\u00D7";
    struct Case {
        TickStyle style;
        float max, min;
        std::string note;
        std::vector<std::string> labels;  // along the axis; empty: only the note is checked
    };
    const Case cases[] = {
        {TickStyle::Log, 1e6f, 1, "", strings({"10⁰", "10¹", "10²", "10³", "10⁴", "10⁵", "10⁶"})},
        {TickStyle::Log, 1e4f, 1e-4f, "",
         {"10" + MINUS + "⁴", "10" + MINUS + "³", "10" + MINUS + "²", "10" + MINUS + "¹", "10⁰",
          "10¹", "10²", "10³", "10⁴"}},
        {TickStyle::Log, 1e30f, 1e-30f, "",
         {"10" + MINUS + "³⁰", "10" + MINUS + "²⁰", "10" + MINUS + "¹⁰", "10⁰", "10¹⁰", "10²⁰",
          "10³⁰"}},
        {TickStyle::Log, 1000, 0.001f, "", strings({"0.001", "0.01", "0.1", "1", "10", "100", "1000"})},
        {TickStyle::Even, 4e-5f, 0, TIMES + "10" + MINUS + "⁶",
         strings({"2.2", "6.7", "11.0", "16.0", "20.0", "24.0", "29.0", "33.0", "38.0"})},
        {TickStyle::Even, 2.1e7f, 1.9e7f, TIMES + "10⁶",
         strings({"19.1", "19.3", "19.6", "19.8", "20.0", "20.2", "20.4", "20.7", "20.9"})},
        {TickStyle::Nice, 2e-5f, 0, TIMES + "10" + MINUS + "⁶", strings({"0", "5", "10", "15", "20"})},
        {TickStyle::Nice, 1000.01f, 1000, "+1000",
         strings({"0.000", "0.002", "0.004", "0.006", "0.008", "0.010"})},
        {TickStyle::Even, -1000, -1000.01f, MINUS + "1000", {}},
        // Left as they were: two decimals, and labels no shorter factored.
        {TickStyle::Even, 1001, 1000, "", {}},
        {TickStyle::Even, 1, 0, "", {}},
        {TickStyle::Even, 5.0004f, 5, "", {}},
        {TickStyle::Log, 100, 1, "", strings({"1", "2", "5", "10", "20", "50", "100"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min << " .. " << c.max);
        const AxisTicks t = internal::axisTicks(c.style, c.max, c.min, 9);
        const AxisTicks truthful = c.style == TickStyle::Log    ? internal::logTicks(c.max, c.min)
                                   : c.style == TickStyle::Nice ? internal::niceTicks(c.max, c.min)
                                                                : internal::evenTicks(c.max, c.min, 9);
        EXPECT_EQ(c.note, t.note);
        if (!c.labels.empty()) {
            EXPECT_EQ(c.labels, c.style == TickStyle::Even ? alongAxis(t) : t.labels);
        }
        EXPECT_EQ(truthful.positions, t.positions);
        if (c.note.empty() && c.style != TickStyle::Log) {
            EXPECT_EQ(truthful.labels, t.labels);
        }
        // With a factor or an offset every label names its truthful label's value.
        if (c.note.empty()) continue;
        const bool factor = c.note.compare(0, TIMES.size(), TIMES) == 0;
        double amount = 0.0;
        if (factor) {
            const int e = c.note.find(MINUS) != std::string::npos ? -6 : 6;
            amount = std::pow(10.0, e);
        } else {
            amount = c.note[0] == '+' ? std::stod(c.note.substr(1))
                                      : -std::stod(c.note.substr(MINUS.size()));
        }
        for (size_t k = 0; k < t.labels.size(); ++k) {
            const double v = factor ? parsed(t.labels[k]) * amount : parsed(t.labels[k]) + amount;
            EXPECT_NEAR(parsed(truthful.labels[k]), v, 1e-9 * std::fabs(amount)) << t.labels[k];
            EXPECT_LT(t.labels[k].size(), truthful.labels[k].size()) << "shorter";
        }
    }
    EXPECT_EQ("\u2212\u00B9\u2070", internal::superscript(-10));
    EXPECT_EQ("\u2070", internal::superscript(0));
}

TEST(LabelStride, ThinsByPowersOfTwoAndKeepsTheMiddle) {
    using internal::LabelSpan;
    // Nine labels in even-tick order (offsets 0, -1, 1, ...), each 30 wide, centres `spacing`
    // apart along the axis.
    auto stride = [](float spacing, float width) {
        const int offsets[9] = {0, -1, 1, -2, 2, -3, 3, -4, 4};
        LabelSpan spans[9];
        for (int k = 0; k < 9; ++k)
            spans[k] = {offsets[k] * spacing - width / 2, offsets[k] * spacing + width / 2};
        return internal::labelStride(spans, offsets, 9, 3.0f);
    };
    EXPECT_EQ(1, stride(40, 30));   // 10 apart
    EXPECT_EQ(2, stride(32, 30));   // 2 apart: touching; every second leaves 34
    EXPECT_EQ(4, stride(16, 30));   // every second leaves 2, every fourth 34
    EXPECT_EQ(8, stride(5, 30));    // only the middle fits: it alone stays
    EXPECT_EQ(1, stride(33, 30));   // exactly the gap apart
    // A lone label always fits.
    const int zero = 0;
    const LabelSpan wide{-1000, 1000};
    EXPECT_EQ(1, internal::labelStride(&wide, &zero, 1, 3.0f));
}
