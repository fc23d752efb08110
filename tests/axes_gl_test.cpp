// Axes at any scale: when an axis collapses, which format its labels take, round-value and
// logarithmic ticks, and the thinning of labels that would touch (all without a GPU); then,
// read back from real contexts, labels that never touch, and ticks, labels and data of the
// round-value and logarithmic axes where they belong.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "chart/axis_ticks.hpp"
#include "histogram/hist_impl.hpp"
#include "plot/plot_impl.hpp"
#include "support/chart_util.hpp"
#include "support/gl_test.hpp"
#include "zarvo/exception.h"

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

// ---- Read back from real contexts ----------------------------------------------------

namespace {

using internal::hist_impl;
using internal::plot_impl;
using internal::scatter_impl;

// The drawing area of a chart and where its frame lies in it, computed as the chart frame
// lays it out: margins of 68 (left), 8 (right), 32 (bottom) and 8 (top) pixels and a tick of
// 10 around a data area of (w - 86) x (h - 50). A grid cell's chart is laid out for the whole
// cell (lw x lh, when given) and drawn into the cell's inset area (w x h).
struct Area {
    int x, y, w, h;
    int lw = 0, lh = 0;
    double W() const { return lw > 0 ? lw : w; }
    double H() const { return lh > 0 ? lh : h; }
    double sx() const { return (W() - 86.0) / W(); }
    double sy() const { return (H() - 50.0) / H(); }
    double ox() const { return (W() - 86.0 - W() + 156.0) / W(); }
    double oy() const { return (H() - 50.0 - H() + 84.0) / H(); }
    // Pixel of a chart coordinate along each axis.
    double px(double c) const { return x + 0.5 * w * (1 + sx() * (c + ox())); }
    double py(double c) const { return y + 0.5 * h * (1 + sy() * (c + oy())); }
};

// Runs of columns (or rows) holding text, separated by at least `gap` empty ones.
struct TextRun {
    int lo, hi;
};
std::vector<TextRun> runs(const std::vector<bool>& lit, int gap) {
    std::vector<TextRun> out;
    int empty = gap;
    for (int i = 0; i < static_cast<int>(lit.size()); ++i) {
        if (!lit[i]) {
            ++empty;
            continue;
        }
        if (empty >= gap || out.empty())
            out.push_back({i, i});
        else
            out.back().hi = i;
        empty = 0;
    }
    return out;
}

// Checks that no two labels of either axis of a chart drawn into `a` touch: the text below
// the frame falls into runs of columns, each over at most one tick whose label is shown, and
// the text left of the frame into runs of rows, each beside at most one; every shown label
// makes a run of its own. At least three labels stay per axis.
void expectLabelsApart(const zvtest::Snapshot& s, const Area& a,
                       const internal::AbstractChart2D& chart) {
    const int frameLeft = static_cast<int>(a.px(-1)), frameBottom = static_cast<int>(a.py(-1));
    // Below the frame, under the ticks' dashes; left of the frame, beside them.
    std::vector<bool> columns(static_cast<size_t>(a.w), false);
    for (int c = 0; c < a.w; ++c)
        columns[c] = s.count(a.x + c, a.y, a.x + c + 1, frameBottom - 6, zvtest::notBlack) > 0;
    std::vector<bool> rows(static_cast<size_t>(a.h), false);
    for (int r = 0; r < a.h; ++r)
        rows[r] = s.count(a.x, a.y + r, frameLeft - 6, a.y + r + 1, zvtest::notBlack) > 0;
    // Glyphs of one label are at most 2 pixels apart; labels shown must be 3 text units
    // (at least 3 pixels) apart, plus their side bearings.
    auto check = [](const std::vector<TextRun>& found, const std::vector<double>& shown,
                    double below, const char* axis) {
        EXPECT_GE(shown.size(), 3u) << axis;
        size_t labelled = 0;
        for (const TextRun& r : found) {
            int ticks = 0;
            for (double t : shown) ticks += t >= r.lo - below && t <= r.hi + 1;
            EXPECT_LE(ticks, 1) << axis << " text over " << r.lo << " to " << r.hi;
            labelled += ticks > 0;
        }
        EXPECT_EQ(shown.size(), labelled) << axis << ": labels without text of their own";
    };
    std::vector<double> xs, ys;
    for (size_t k = 0; k < chart.xTicks().positions.size(); ++k)
        if (chart.xLabelShown(k)) xs.push_back(a.px(chart.xTicks().positions[k]) - a.x);
    for (size_t k = 0; k < chart.yTicks().positions.size(); ++k)
        if (chart.yLabelShown(k)) ys.push_back(a.py(chart.yTicks().positions[k]) - a.y);
    check(runs(columns, 4), xs, 1, "x");
    check(runs(rows, 3), ys, 2, "y");
}

struct Axes {
    float xmax, xmin, ymax, ymin;
    bool nice, xLog, yLog;
};

// Ranges that made labels run into each other, and the new axes.
const Axes AXES[] = {
    {100, -100, 2.1e7f, 1.9e7f, false, false, false},
    {2e-5f, 0, 1e-5f, -1e-5f, false, false, false},
    {5.0004f, 5, 0.09f, 0, false, false, false},
    {1000, -1000, 1e6f, 1, false, false, true},
    {100, -100, 2.1e7f, 1.9e7f, true, false, false},
    {1e6f, 1, 1000, 0.001f, true, true, true},
};

const char* const TWENTY = "twenty characters xy";
// Marker values above ZV_MARKER_STAR draw filled 10 x 10 squares.
constexpr int FILLED_SQUARE = 8;

class AxesGLTest : public zvtest::GLTest {
protected:
    std::shared_ptr<plot_impl> makePlot(const Axes& k) {
        auto p = std::make_shared<plot_impl>(0, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
        p->setAxesLimits(k.xmax, k.xmin, k.ymax, k.ymin);
        p->setNiceTicks(k.nice);
        p->setLogAxes(k.xLog, k.yLog);
        return p;
    }
    std::shared_ptr<scatter_impl> scatter(const std::vector<float>& xy) {
        auto p = std::make_shared<scatter_impl>(static_cast<unsigned>(xy.size() / 2),
                                                zv::ZV_FLOAT32, FILLED_SQUARE);
        p->setColor(0xFF0000FF);
        zvtest::fillBuffer(p->vbo(), xy.data(), xy.size() * sizeof(float));
        return p;
    }
};

}  // namespace

TEST_F(AxesGLTest, LabelsNeverTouchOverTheWholeWindow) {
    const Area whole{0, 0, W, H};
    for (const Axes& k : AXES) {
        auto p = makePlot(k);
        SCOPED_TRACE(testing::Message() << "x " << k.xmin << " .. " << k.xmax);
        window->draw(p);
        zvtest::expectChartStateRestored("plot draw");
        expectLabelsApart(grab(), whole, *p);
    }
}

TEST_F(AxesGLTest, LabelsNeverTouchInTheCellsOfAGrid) {
    // 2 x 2 cells on 1000 x 800: each chart draws into its cell's inset area.
    auto big = std::make_shared<internal::window_impl>(1000, 800, "grid", window, true);
    const int count = sizeof AXES / sizeof AXES[0];
    for (int first = 0; first < count; first += 4) {
        big->grid(2, 2);
        std::vector<std::shared_ptr<plot_impl>> plots;
        for (int i = 0; i < 4 && first + i < count; ++i) {
            plots.push_back(makePlot(AXES[first + i]));
            big->draw(i % 2, i / 2, plots.back(), nullptr);
        }
        zvtest::expectChartStateRestored("cell draws");
        const zvtest::Snapshot s = zvtest::readBack(0, 0, 1000, 800);
        for (size_t i = 0; i < plots.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "cell " << first + i);
            // Cell (column, row), row 0 at the top; its inset drawing area.
            const int column = static_cast<int>(i % 2), row = static_cast<int>(i / 2);
            const Area a{column * 500 + 10, (1 - row) * 400 + 8, 480, 352, 500, 400};
            expectLabelsApart(s, a, *plots[i]);
        }
        big->draw();
    }
    internal::MakeContextCurrent(window.get());
}

// A long y title runs down past the frame, one character a line, a tick's length right of
// the frame's left edge; the x labels it would cover are left out.
TEST_F(AxesGLTest, LongTitlesCoverNoLabel) {
    const Area whole{0, 0, W, H};
    for (const Axes& k : {AXES[0], AXES[3], AXES[5]}) {
        auto p = makePlot(k);
        p->setXAxisTitle(TWENTY);
        p->setYAxisTitle(TWENTY);
        window->draw(p);
        const zvtest::Snapshot s = grab();
        expectLabelsApart(s, whole, *p);
        // Below the frame the title's column stands alone: the run of lit columns that holds
        // it is no wider than a letter.
        const int bottom = static_cast<int>(whole.py(-1)) - 6;
        const int titleX = static_cast<int>(whole.px(-1)) + 10;
        EXPECT_GT(s.count(titleX - 1, 0, titleX + 15, bottom, zvtest::notBlack), 20)
            << "the y title reaches below the frame";
        std::vector<bool> columns(W, false);
        for (int x = 0; x < W; ++x) columns[x] = s.count(x, 0, x + 1, bottom, zvtest::notBlack) > 0;
        for (const TextRun& r : runs(columns, 3))
            if (r.lo <= titleX + 4 && r.hi >= titleX) {
                EXPECT_LE(r.hi - r.lo, 16) << r.lo;
            }
    }
}

namespace {

// Checks, in the drawing area (x, y, w, h) of a chart without data, that the y labels leave
// the frame and the tick dashes alone: from two pixels left of the dashes into the frame only
// the left edge, the top border and the dashes are lit (the frame is found in the picture itself, from its long
// border lines). The labels stay: there is text left of the dashes.
void expectYLabelsBeforeTheDashes(const zvtest::Snapshot& s, int ax, int ay, int aw, int ah,
                                  const internal::AbstractChart2D& chart) {
    int left = -1, bottom = -1, top = -1;
    for (int x = ax; x < ax + aw && left < 0; ++x)
        if (s.count(x, ay, x + 1, ay + ah, zvtest::notBlack) > ah / 2) left = x;
    for (int y = ay; y < ay + ah; ++y)
        if (s.count(ax, y, ax + aw, y + 1, zvtest::notBlack) > 2 * aw / 3) {
            if (bottom < 0) bottom = y;
            top = y;
        }
    ASSERT_TRUE(left > ax && bottom >= 0 && top > bottom + 20) << left << " " << bottom << " " << top;
    std::vector<double> dashes;
    for (float t : chart.yTicks().positions)
        dashes.push_back(bottom + 0.5 + 0.5 * (t + 1) * (top - bottom));
    int stray = 0;
    for (int y = bottom + 3; y < std::min(ay + ah, top + 12); ++y) {
        bool dashRow = false;
        for (double d : dashes) dashRow = dashRow || std::fabs(y + 0.5 - d) <= 2.0;
        for (int x = left - 7; x <= left + 12; ++x) {
            const bool frame = std::abs(x - left) <= 1 || (std::abs(y - top) <= 1 && x >= left - 1);
            const bool dash = dashRow && x >= left - 6;
            if (frame || dash || !zvtest::notBlack(s.at(x, y))) continue;
            if (++stray <= 5) ADD_FAILURE() << "label ink at (" << x - left << ", " << y << ") from the frame's edge";
        }
    }
    EXPECT_EQ(0, stray);
    EXPECT_GT(s.count(ax, bottom + 3, left - 8, top, zvtest::notBlack), 100) << "no y labels";
}

}  // namespace

// Labels too wide for the margin (long numbers, small grid cells) end a gap before the tick
// dashes; those wider than the whole margin are written smaller rather than over the frame.
TEST_F(AxesGLTest, YLabelsNeverReachTheDashesOrTheFrame) {
    const Axes cases[] = {
        {1, 0, 1000001.5f, 1000000.5f, false, false, false},
        {1, 0, 1000.01f, 1000, false, false, false},
        {1, 0, 1000.01f, 1000, true, false, false},
        {1, 0, 2000, -2000, false, false, false},
        {1, 0, 2.1e7f, 1.9e7f, false, false, false},
        {1, 0, 1e-5f, -1e-5f, false, false, false},
        {1, 0, 1, 0, false, false, false},
    };
    for (const Axes& k : cases) {
        SCOPED_TRACE(testing::Message() << "y " << k.ymin << " .. " << k.ymax << (k.nice ? " nice" : ""));
        auto p = makePlot(k);
        window->draw(p);
        expectYLabelsBeforeTheDashes(grab(), 0, 0, W, H, *p);
    }
    window->grid(2, 2);
    const internal::CellLayout c = internal::cellLayout(W, H, 2, 2, 1, 1);
    for (const Axes& k : cases) {
        SCOPED_TRACE(testing::Message() << "cell, y " << k.ymin << " .. " << k.ymax);
        auto p = makePlot(k);
        window->draw(1, 1, p, nullptr);
        const zvtest::Snapshot cell = zvtest::readBack(0, 0, W, H);
        window->draw();
        expectYLabelsBeforeTheDashes(cell, c.vx, c.vy, c.vwidth, c.vheight, *p);
    }
}

TEST_F(AxesGLTest, RoundTicksLabelsAndDataWhereTheyBelong) {
    const Area whole{0, 0, W, H};
    auto p = scatter({50, 0.4f, -100, 1, 0, 0});
    p->setAxesLimits(100, -100, 1, 0);
    p->setNiceTicks(true);
    window->draw(p);
    zvtest::expectChartStateRestored("plot draw");
    const zvtest::Snapshot s = grab();
    EXPECT_EQ(strings({"-100", "-50", "0", "50", "100"}), p->xLabels());
    EXPECT_EQ(strings({"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}), p->yLabels());
    // Tick dashes at the round values, crossing the bottom and the left edge.
    for (double v : {-100.0, -50.0, 0.0, 50.0, 100.0}) {
        const double x = whole.px(v / 100.0);
        const int ix = static_cast<int>(x);
        const zvtest::Centre tick = zvtest::centreOf(s, ix - 5, 42, ix + 6, 46, zvtest::GREEN);
        EXPECT_NEAR(x, tick.x, 1.0) << "x tick " << v;
        // Its label below it.
        EXPECT_GT(s.count(ix - 20, 8, ix + 20, 32, zvtest::isWhite), 10) << "x label " << v;
    }
    for (double v : {0.2, 0.4, 0.6, 0.8}) {
        const double y = whole.py(2 * v - 1);
        const int iy = static_cast<int>(y);
        const zvtest::Centre tick = zvtest::centreOf(s, 76, iy - 5, 80, iy + 6, zvtest::GREEN);
        EXPECT_NEAR(y, tick.y, 1.0) << "y tick " << v;
        EXPECT_GT(s.count(20, iy - 1, 70, iy + 14, zvtest::isWhite), 10) << "y label " << v;
    }
    // The data where the labels say.
    const double x = whole.px(0.5), y = whole.py(-0.2);
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    const zvtest::Centre m = zvtest::centreOf(s, ix - 10, iy - 10, ix + 11, iy + 11, zvtest::RED);
    EXPECT_NEAR(x, m.x, 1.0);
    EXPECT_NEAR(y, m.y, 1.0);
}

TEST_F(AxesGLTest, LogAxesPlaceTicksLabelsAndData) {
    const Area whole{0, 0, W, H};
    // x from 1e-3 to 1e3 (six decades), y from 1 to 1e4 (four).
    auto p = scatter({1, 100, 0.01f, 10, 1000, 1e4f, -5, 100, 0, 100, 10, 0, 10, -1});
    p->setAxesLimits(1000, 0.001f, 1e4f, 1);
    p->setLogAxes(true, true);
    window->draw(p);
    zvtest::expectChartStateRestored("plot draw");
    EXPECT_FALSE(glIsEnabled(GL_CLIP_DISTANCE0));
    const zvtest::Snapshot s = grab();
    EXPECT_EQ(strings({"0.001", "0.01", "0.1", "1", "10", "100", "1000"}), p->xLabels());
    EXPECT_EQ(strings({"1", "10", "100", "1000", "10000"}), p->yLabels());
    for (int k = -3; k <= 3; ++k) {
        const double x = whole.px(k / 3.0);
        const int ix = static_cast<int>(x);
        const zvtest::Centre tick = zvtest::centreOf(s, ix - 5, 42, ix + 6, 46, zvtest::GREEN);
        EXPECT_NEAR(x, tick.x, 1.0) << "x tick 1e" << k;
    }
    for (int k = 0; k <= 4; ++k) {
        const double y = whole.py(k / 2.0 - 1);
        const int iy = static_cast<int>(y);
        const zvtest::Centre tick = zvtest::centreOf(s, 76, iy - 5, 80, iy + 6, zvtest::GREEN);
        EXPECT_NEAR(y, tick.y, 1.0) << "y tick 1e" << k;
    }
    // (1, 100) in the middle, (0.01, 10) a third of the way left and a quarter down; the
    // corner (1000, 1e4) clipped to a quarter. Points at or below zero draw nothing.
    const double at[2][2] = {{whole.px(0), whole.py(0)}, {whole.px(-2 / 3.0), whole.py(-0.5)}};
    for (const auto& e : at) {
        const int ix = static_cast<int>(e[0]), iy = static_cast<int>(e[1]);
        const zvtest::Centre m =
            zvtest::centreOf(s, ix - 10, iy - 10, ix + 11, iy + 11, zvtest::RED_NOT_WHITE);
        EXPECT_NEAR(100.0, m.weight, 1.0);
        EXPECT_NEAR(e[0], m.x, 1.0);
        EXPECT_NEAR(e[1], m.y, 1.0);
    }
    EXPECT_NEAR(225.0, s.count(0, 0, W, H, zvtest::isRed), 40.0) << "two whole markers and a quarter";
}

TEST_F(AxesGLTest, LogLinesLeaveOutSegmentsToPointsWithoutALogarithm) {
    // In log-log, (0.01, 10) -> (1, 100) -> (100, 1000) is one straight line; with the middle
    // point at x 0 both its segments go.
    auto line = [&](float middleX) {
        auto p = std::make_shared<plot_impl>(3, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
        p->setColor(0xFF0000FF);
        const float xy[6] = {0.01f, 10, middleX, 100, 100, 1000};
        zvtest::fillBuffer(p->vbo(), xy, sizeof xy);
        p->setAxesLimits(1000, 0.001f, 1e4f, 1);
        p->setLogAxes(true, true);
        window->draw(p);
        zvtest::expectChartStateRestored("plot draw");
        return grab();
    };
    const Area whole{0, 0, W, H};
    zvtest::Snapshot s = line(1);
    // Along the line, at the middle of its first segment (0.1, 31.6).
    const int mx = static_cast<int>(whole.px(-1 / 3.0)), my = static_cast<int>(whole.py(-0.25));
    EXPECT_GT(s.count(mx - 3, my - 3, mx + 4, my + 4, zvtest::isRed), 0);
    EXPECT_GT(s.count(0, 0, W, H, zvtest::isRed), 300);
    s = line(0);
    EXPECT_LE(s.count(0, 0, W, H, zvtest::isRed), 2) << "nothing of either segment";
}

TEST_F(AxesGLTest, HistogramBarsOnALogAxis) {
    auto h = std::make_shared<hist_impl>(5, zv::ZV_FLOAT32);
    h->setBarColor(1, 0, 0);
    const float freq[5] = {10, 100, 1000, 0, 0.5f};
    zvtest::fillBuffer(h->vbo(), freq, sizeof freq);
    h->setAxesLimits(5, 0, 1e4f, 1);
    h->setLogAxes(false, true);
    window->draw(h);
    zvtest::expectChartStateRestored("histogram draw");
    const zvtest::Snapshot s = grab();
    const Area whole{0, 0, W, H};
    // Bars 1, 2 and 3 reach a quarter, half and three quarters up; the last two none.
    for (int b = 0; b < 5; ++b) {
        const int x = static_cast<int>(whole.px(-1 + (2 * b + 1) / 5.0));
        int highest = -1;
        for (int y = 0; y < H; ++y)
            if (zvtest::isRed(s.at(x, y))) highest = y;
        if (b < 3) {
            EXPECT_NEAR(whole.py(-1 + 0.5 * (b + 1)), highest + 1, 1.0) << "bar " << b;
        } else {
            EXPECT_EQ(-1, highest) << "bar " << b;
        }
    }
}

TEST_F(AxesGLTest, LogAxesRefuseLimitsAtOrBelowZero) {
    auto p = std::make_shared<plot_impl>(1, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
    // The initial limits start at 0: no log axis yet.
    try {
        p->setLogAxes(true, false, "Plot::setLogAxes");
        FAIL() << "accepted";
    } catch (const zv::ArgumentError& e) {
        EXPECT_EQ(1, e.argIndex());
        EXPECT_NE(std::string::npos, std::string(e.expectedCondition()).find("setAxesLimits"));
    }
    EXPECT_FALSE(p->xLog());
    p->setAxesLimits(10, 0.1f, 1, 0);
    p->setLogAxes(true, false);
    const auto labels = p->xLabels();
    try {
        p->setAxesLimits(10, -1, 1, 0, "Plot::setAxesLimits");
        FAIL() << "accepted";
    } catch (const zv::ArgumentError& e) {
        EXPECT_EQ(2, e.argIndex());
        EXPECT_NE(std::string::npos, std::string(e.expectedCondition()).find("setLogAxes"));
    }
    EXPECT_EQ(0.1f, p->xmin());
    EXPECT_EQ(labels, p->xLabels());
    EXPECT_THROW(p->setLogAxes(true, true), zv::ArgumentError);  // y still 0 .. 1
    EXPECT_FALSE(p->yLog());
    p->setLogAxes(false, false);
    p->setAxesLimits(10, -1, 1, 0);  // linear again: anything goes
    EXPECT_EQ(-1.0f, p->xmin());
}

// Notes at the axes' ends (a factor, an offset) never cover a label that is drawn: their
// boxes stay inside the drawing area and clear of every label shown, whole window and grid
// cells alike; an ASCII offset note is written where its box says.
TEST_F(AxesGLTest, AxisNotesCoverNoLabel) {
    const Axes notes[] = {
        {4e-5f, 0, 1.2e-6f, -1.2e-6f, false, false, false},
        {1000.01f, 1000, 2.1e7f, 1.9e7f, true, false, false},
        {1000.01f, 1000, -1000, -1000.01f, false, false, false},
    };
    for (int cells = 1; cells <= 2; ++cells) {
        for (const Axes& k : notes) {
            SCOPED_TRACE(testing::Message() << "x " << k.xmin << " .. " << k.xmax << ", cells " << cells);
            auto p = makePlot(k);
            if (cells == 1) {
                window->draw(p);
            } else {
                window->grid(2, 2);
                window->draw(0, 0, p, nullptr);
                window->draw();
            }
            ASSERT_FALSE(p->xNote().empty());
            ASSERT_FALSE(p->yNote().empty());
            const internal::TextBox boxes[2] = {p->xNoteBox(), p->yNoteBox()};
            for (const internal::TextBox& n : boxes) {
                EXPECT_GE(n.x0, 0.0f);
                EXPECT_GE(n.y0, 0.0f);
                EXPECT_GT(n.x1, n.x0);
                for (size_t i = 0; i < p->xLabelBoxes().size(); ++i)
                    if (p->xLabelShown(i)) {
                        EXPECT_FALSE(internal::boxesTouch(n, p->xLabelBoxes()[i], 1.0f))
                            << "x label " << p->xLabels()[i];
                    }
                for (size_t i = 0; i < p->yLabelBoxes().size(); ++i)
                    if (p->yLabelShown(i)) {
                        EXPECT_FALSE(internal::boxesTouch(n, p->yLabelBoxes()[i], 1.0f))
                            << "y label " << p->yLabels()[i];
                    }
            }
            EXPECT_FALSE(internal::boxesTouch(boxes[0], boxes[1], 1.0f));
            if (cells == 1 && p->xNote() == "+1000") {
                // Text space and pixels coincide in the whole window, up to the frame's offset.
                const zvtest::Snapshot s = grab();
                const internal::ChartLayout c = internal::chartLayout(W, H);
                const auto px = [&](float x) { return static_cast<int>(x * W / c.dataWidth); };
                const auto py = [&](float y) { return static_cast<int>(y * H / c.dataHeight); };
                const internal::TextBox& n = boxes[0];
                EXPECT_GT(s.count(px(n.x0), py(n.y0) - 2, px(n.x1) + 2, py(n.y1) + 2, zvtest::isWhite), 20)
                    << "the offset is written";
            }
            int shown = 0;
            for (size_t i = 0; i < p->xLabels().size(); ++i) shown += p->xLabelShown(i);
            EXPECT_GE(shown, 3);
        }
    }
}

// The label of a tick on the frame's left edge (the 0 of an axis starting at 0) stays in
// small grid cells, where the y title running down past the frame starts only a few text
// units right of it: it moves left clear of the title, still reaching its tick.
TEST_F(AxesGLTest, TheLabelOnTheLeftEdgeStaysBesideAYTitle) {
    for (float top : {1.0f, 8.0f, 10.0f, 16.0f}) {
        auto p = scatter({1, 1});
        p->setAxesLimits(top, 0, top, 0);
        p->setNiceTicks(true);
        p->setYAxisTitle("count");
        window->grid(3, 3);
        window->draw(0, 0, p, nullptr);
        window->draw();
        SCOPED_TRACE(top);
        ASSERT_EQ(-1.0f, p->xTicks().positions[0]);
        EXPECT_TRUE(p->xLabelShown(0)) << p->xLabels()[0] << " hidden";
        const internal::TextBox& b = p->xLabelBoxes()[0];
        EXPECT_GE(b.x0, 0.0f);
        EXPECT_LT(b.x0, b.x1);
    }
}
