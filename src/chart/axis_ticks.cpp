#include "chart/axis_ticks.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale>
#include <sstream>

#include "chart/chart_layout.hpp"

namespace internal {

namespace {

// Labels longer than this many characters are never chosen when a shorter format does.
constexpr int MAX_FIXED_DIGITS = 12;
constexpr int MAX_SCIENTIFIC_DIGITS = 9;
// Fixed-point notation is not tried for values this large: the labels would be longer than
// any scientific one.
constexpr double MAX_FIXED_MAGNITUDE = 1e15;
// Values from a million up read better in scientific notation, and the two-decimal labels
// of the frame's even ticks are not kept for them.
constexpr double SCIENTIFIC_FROM = 1e6;
// A round value computed in double may differ from the value its label shows by rounding
// noise only; a tick just outside the limits by as much still belongs to the axis.
constexpr double ROUND_SLACK = 1e-6;
// Collapsed axes show one value; its label keeps it to this fraction.
constexpr double SINGLE_VALUE_TOLERANCE = 5e-3;
constexpr int MAX_ROUND_TICKS = 10;
constexpr int MIN_LOG_TICKS = 3;
// Points inside a range this wide stay well inside the float range after the shader
// subtracts the origin.
constexpr double WIDEST_SHADER_RANGE = 1e30;

double parse(const std::string& s) {
    std::istringstream in(s);
    in.imbue(std::locale::classic());
    double v = std::numeric_limits<double>::quiet_NaN();
    in >> v;
    return v;
}

// Labels of `values` that name each value to `tolerance` and, when `distinct`, differ from
// their neighbours.
bool namesEvery(const std::vector<std::string>& labels, const std::vector<double>& values,
                double tolerance, bool distinct) {
    for (size_t k = 0; k < labels.size(); ++k) {
        if (!(std::fabs(parse(labels[k]) - values[k]) <= tolerance)) return false;
        if (distinct && k > 0 && labels[k] == labels[k - 1]) return false;
    }
    return true;
}

// The tick nearest the middle of the axis.
int middleOf(const std::vector<float>& positions) {
    int best = 0;
    for (size_t k = 1; k < positions.size(); ++k)
        if (std::fabs(positions[k]) < std::fabs(positions[best])) best = static_cast<int>(k);
    return best;
}

// Ticks at `values` (in order along the axis), placed through `map` and labelled in one
// format.
AxisTicks ticksAt(const std::vector<double>& values, const AxisMap& map,
                  const LabelFormat& format) {
    AxisTicks t;
    for (double v : values) {
        t.positions.push_back(static_cast<float>(chartPosition(map, v)));
        t.labels.push_back(formatLabel(v, format));
    }
    const int middle = middleOf(t.positions);
    for (size_t k = 0; k < values.size(); ++k) t.offsets.push_back(static_cast<int>(k) - middle);
    return t;
}

// One tick at the minimum's edge, labelled with the middle of the limits: everything of a
// collapsed axis lands on that edge.
AxisTicks singleTick(float max, float min) {
    const double v = 0.5 * (static_cast<double>(max) + static_cast<double>(min));
    AxisTicks t;
    t.positions.push_back(-1.0f);
    const double value = std::isfinite(v) ? v : static_cast<double>(min);
    t.labels.push_back(
        formatLabel(value, chooseFormat({value}, std::fabs(value) * SINGLE_VALUE_TOLERANCE, false)));
    t.offsets.push_back(0);
    return t;
}

// floor(x / step) and ceil(x / step), forgiving rounding noise.
double stepsBelow(double x, double step) { return std::floor(x / step + ROUND_SLACK); }
double stepsAbove(double x, double step) { return std::ceil(x / step - ROUND_SLACK); }

}  // namespace

bool axisCollapses(float max, float min) {
    if (!std::isfinite(max) || !std::isfinite(min)) return true;
    const float m = std::max(std::fabs(max), std::fabs(min));
    const double ulp = static_cast<double>(std::nextafter(m, std::numeric_limits<float>::max())) -
                       static_cast<double>(m);
    return std::fabs(static_cast<double>(max) - static_cast<double>(min)) <= 4.0 * ulp;
}

bool logLimitsValid(float max, float min) {
    return std::isfinite(max) && std::isfinite(min) && max > 0.0f && min > 0.0f;
}

AxisMap axisMap(float max, float min, bool log) {
    AxisMap m;
    m.log = log;
    if (log && !logLimitsValid(max, min)) return m;
    const double hi = log ? std::log10(static_cast<double>(max)) : static_cast<double>(max);
    const double lo = log ? std::log10(static_cast<double>(min)) : static_cast<double>(min);
    m.origin = std::isfinite(lo) ? lo : 0.0;
    if (!axisCollapses(max, min) && hi != lo) m.scale = 2.0 / (hi - lo);
    m.originInShader = !(std::fabs(hi - lo) > WIDEST_SHADER_RANGE);
    return m;
}

double chartPosition(const AxisMap& map, double v) {
    const double f = map.log ? std::log10(v) : v;
    return map.scale * (f - map.origin) - 1.0;
}

std::string formatLabel(double value, const LabelFormat& format) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << (format.scientific ? std::scientific : std::fixed);
    out.precision(format.digits);
    out << value;
    std::string s = out.str();
    // A value that rounds to zero reads "0", not "-0".
    if (!s.empty() && s[0] == '-' && parse(s) == 0.0) s.erase(0, 1);
    if (format.scientific && format.compact) {
        // "1e-03" -> "1e-3", "1e+06" -> "1e+6".
        const size_t e = s.find('e');
        if (e != std::string::npos && e + 2 < s.size()) {
            size_t first = e + 2;
            while (first + 1 < s.size() && s[first] == '0') ++first;
            s.erase(e + 2, first - (e + 2));
        }
    }
    return s;
}

LabelFormat chooseFormat(const std::vector<double>& values, double tolerance, bool distinct) {
    double largest = 0.0;
    for (double v : values) largest = std::max(largest, std::fabs(v));
    LabelFormat best{true, MAX_SCIENTIFIC_DIGITS, false};
    size_t bestLongest = std::numeric_limits<size_t>::max(), bestTotal = bestLongest;
    auto consider = [&](const LabelFormat& f) {
        std::vector<std::string> labels;
        size_t longest = 0, total = 0;
        for (double v : values) {
            labels.push_back(formatLabel(v, f));
            longest = std::max(longest, labels.back().size());
            total += labels.back().size();
        }
        if (longest > bestLongest || (longest == bestLongest && total >= bestTotal)) return;
        if (!namesEvery(labels, values, tolerance, distinct)) return;
        best = f;
        bestLongest = longest;
        bestTotal = total;
    };
    // Tried in order of preference, so that an equally short later format does not win.
    const bool scientificFirst = largest >= SCIENTIFIC_FROM;
    auto fixed = [&] {
        if (largest >= MAX_FIXED_MAGNITUDE) return;
        for (int d = 0; d <= MAX_FIXED_DIGITS; ++d) consider({false, d, false});
    };
    auto scientific = [&] {
        for (int d = 0; d <= MAX_SCIENTIFIC_DIGITS; ++d) consider({true, d, false});
    };
    if (scientificFirst) {
        scientific();
        fixed();
    } else {
        fixed();
        scientific();
    }
    return best;
}

std::vector<std::string> evenLabels(const std::vector<double>& values, double step,
                                    const std::vector<std::string>& twoDecimals) {
    double largest = 0.0;
    for (double v : values) largest = std::max(largest, std::fabs(v));
    const double tolerance = std::fabs(step) * 0.25;
    if (!std::isfinite(largest)) return twoDecimals;
    if (largest < SCIENTIFIC_FROM && namesEvery(twoDecimals, values, tolerance, true))
        return twoDecimals;
    const LabelFormat f = chooseFormat(values, tolerance, true);
    std::vector<std::string> labels;
    for (double v : values) labels.push_back(formatLabel(v, f));
    return labels;
}

AxisTicks evenTicks(float max, float min, int tickCount) {
    AxisTicks t;
    const int perAxis = ticksPerAxis(tickCount);
    if (perAxis == 0) return t;
    const int half = (perAxis - 1) / 2;
    const float s = 2.0f / static_cast<float>(tickCount);
    t.positions.push_back(0.0f);
    t.offsets.push_back(0);
    for (int i = 1; i <= half; ++i) {
        const float a = static_cast<float>(i) * s;
        t.positions.insert(t.positions.end(), {-a, a});
        t.offsets.insert(t.offsets.end(), {-i, i});
    }
    // The two-decimal labels the frame has always written, from single-precision steps.
    t.labels = axisLabels(max, min, tickCount);

    // The value at each tick, in order along the axis.
    const double hi = max, lo = min;
    const double step = (hi - lo) / tickCount;
    const double mid = 0.5 * (hi - lo) + lo;
    std::vector<double> values;
    std::vector<std::string> legacy;
    double largest = 0.0;
    for (int o = -half; o <= half; ++o) {
        values.push_back(mid + o * step);
        legacy.push_back(t.labels[o == 0 ? 0 : 2 * std::abs(o) - (o < 0 ? 1 : 0)]);
        largest = std::max(largest, std::fabs(values.back()));
    }
    if (!std::isfinite(largest)) return t;
    if (!axisCollapses(max, min)) {
        const std::vector<std::string> along = evenLabels(values, step, legacy);
        for (size_t k = 0; k < t.labels.size(); ++k) t.labels[k] = along[t.offsets[k] + half];
        return t;
    }
    // Every tick names the same value.
    const double tolerance = std::fabs(mid) * SINGLE_VALUE_TOLERANCE;
    if (largest < SCIENTIFIC_FROM && namesEvery(legacy, values, tolerance, false)) return t;
    const LabelFormat f = chooseFormat({mid}, tolerance, false);
    for (size_t k = 0; k < t.labels.size(); ++k) t.labels[k] = formatLabel(mid, f);
    return t;
}

AxisTicks niceTicks(float max, float min, bool log) {
    if (axisCollapses(max, min) || (log && !logLimitsValid(max, min))) return singleTick(max, min);
    const double lo = std::min(max, min), hi = std::max(max, min);
    const double range = hi - lo;
    // From a step well below a tenth of the range upwards through 1, 2, 5 x 10^k, the first
    // that gives at most ten ticks. Each step is at most 2.5 times the one before, so the
    // first that fits still leaves at least four.
    double decade = std::pow(10.0, std::floor(std::log10(range)) - 2.0);
    const double factors[3] = {1.0, 2.0, 5.0};
    double step = decade;
    for (int i = 0;; ++i) {
        step = factors[i % 3] * decade;
        if (stepsBelow(hi, step) - stepsAbove(lo, step) + 1 <= MAX_ROUND_TICKS) break;
        if (i % 3 == 2) decade *= 10.0;
    }
    std::vector<double> values;
    for (double k = stepsAbove(lo, step); k <= stepsBelow(hi, step); k += 1.0)
        values.push_back(k == 0.0 ? 0.0 : k * step);
    return ticksAt(values, axisMap(max, min, log), chooseFormat(values, step * 1e-3, true));
}

AxisTicks logTicks(float max, float min) {
    if (!logLimitsValid(max, min) || axisCollapses(max, min)) return niceTicks(max, min, true);
    const double lo = std::min(max, min), hi = std::max(max, min);
    const int firstDecade = static_cast<int>(std::floor(std::log10(lo))) - 1;
    const int lastDecade = static_cast<int>(std::ceil(std::log10(hi))) + 1;
    auto inside = [&](double v) { return v >= lo * (1 - ROUND_SLACK) && v <= hi * (1 + ROUND_SLACK); };

    // Powers of ten with 2 and 5 times them between, while that gives at most ten ticks.
    std::vector<double> values;
    std::vector<int> exponents;
    for (int k = firstDecade; k <= lastDecade; ++k)
        for (double m : {1.0, 2.0, 5.0}) {
            const double v = m * std::pow(10.0, k);
            if (inside(v)) {
                values.push_back(v);
                exponents.push_back(k);
            }
        }
    if (static_cast<int>(values.size()) < MIN_LOG_TICKS) return niceTicks(max, min, true);
    if (static_cast<int>(values.size()) > MAX_ROUND_TICKS) {
        // Powers of ten alone: every one, or every 2nd, 5th, 10th, 20th ... decade.
        for (int every : {1, 2, 5, 10, 20, 50, 100}) {
            values.clear();
            exponents.clear();
            for (int k = firstDecade; k <= lastDecade; ++k) {
                const double v = std::pow(10.0, k);
                if (((k % every) + every) % every == 0 && inside(v)) {
                    values.push_back(v);
                    exponents.push_back(k);
                }
            }
            if (static_cast<int>(values.size()) <= MAX_ROUND_TICKS) break;
        }
    }
    // Plain numbers when every one fits in five characters, else powers of ten.
    std::vector<std::string> plain;
    bool fits = true;
    for (size_t i = 0; i < values.size(); ++i) {
        plain.push_back(formatLabel(values[i], {false, std::max(0, -exponents[i]), false}));
        fits = fits && plain.back().size() <= 5;
    }
    AxisTicks t = ticksAt(values, axisMap(max, min, true), {true, 0, true});
    if (fits) t.labels = plain;
    return t;
}

AxisTicks axisTicks(TickStyle style, float max, float min, int tickCount) {
    AxisTicks t;
    if (style == TickStyle::Nice) {
        t = niceTicks(max, min, false);
    } else if (style == TickStyle::Log && logLimitsValid(max, min)) {
        t = logTicks(max, min);
    } else {
        t = evenTicks(max, min, tickCount);
        // The two-decimal labels the frame has always written stay as they are.
        if (t.labels == axisLabels(max, min, tickCount)) return t;
        style = TickStyle::Even;
    }
    readerNotation(t, style);
    return t;
}

AxisTicks categoryTicks(const std::vector<std::string>& names, unsigned count, float max,
                        float min, bool log) {
    AxisTicks t;
    const float lo = std::fmin(max, min), hi = std::fmax(max, min);
    if (count == 0 || !std::isfinite(lo) || !std::isfinite(hi)) return t;
    if (log && !logLimitsValid(max, min)) return t;
    double first = std::ceil(static_cast<double>(lo));
    double last = std::floor(static_cast<double>(hi));
    first = std::fmax(first, log ? 1.0 : 0.0);
    last = std::fmin(last, static_cast<double>(count) - 1.0);
    if (first > last) return t;
    const double shown = last - first + 1.0;
    const long long step = static_cast<long long>(std::ceil(shown / MAX_AXIS_TICKS));
    const AxisMap map = axisMap(max, min, log);
    const auto firstIndex = static_cast<long long>(first);
    const auto lastIndex = static_cast<long long>(last);
    for (long long i = firstIndex; i <= lastIndex; i += step) {
        t.positions.push_back(static_cast<float>(chartPosition(map, static_cast<double>(i))));
        const auto k = static_cast<size_t>(i);
        t.labels.push_back(k < names.size() ? names[k] : std::to_string(i));
    }
    const int n = static_cast<int>(t.positions.size());
    for (int k = 0; k < n; ++k) t.offsets.push_back(k - n / 2);
    return t;
}

std::string superscript(int e) {
    static const char* const DIGITS[10] = {"\u2070", "\u00B9", "\u00B2", "\u00B3", "\u2074",
                                           "\u2075", "\u2076", "\u2077", "\u2078", "\u2079"};
    std::string out = e < 0 ? "\u2212" : "";
    const std::string digits = std::to_string(e < 0 ? -static_cast<long long>(e) : e);
    for (char d : digits) out += DIGITS[d - '0'];
    return out;
}

namespace {

// The exponent of a label in scientific form ("2.5e-06" -> -6), false for any other.
bool scientificExponent(const std::string& label, int& exponent) {
    const size_t e = label.find('e');
    if (e == std::string::npos || e + 1 >= label.size()) return false;
    exponent = std::atoi(label.c_str() + e + 1);
    return true;
}

// Powers of ten in scientific form, "1e-3" -> "10⁻³"; false unless every label is one.
bool powersOfTen(AxisTicks& t) {
    std::vector<std::string> out;
    for (const std::string& label : t.labels) {
        int e = 0;
        if (label.compare(0, 2, "1e") != 0 || !scientificExponent(label, e)) return false;
        out.push_back("10" + superscript(e));
    }
    t.labels = std::move(out);
    return true;
}

// Scientific labels sharing one factor: the mantissas in the fewest decimals that name the
// very values the labels name, and the factor as the axis' note.
void sharedFactor(AxisTicks& t) {
    std::vector<double> values;
    double largest = 0.0;
    size_t longest = 0;
    for (const std::string& label : t.labels) {
        int e = 0;
        if (!scientificExponent(label, e)) return;
        values.push_back(parse(label));
        largest = std::max(largest, std::fabs(values.back()));
        longest = std::max(longest, label.size());
    }
    if (values.empty() || !(largest > 0.0) || !std::isfinite(largest)) return;
    const int top = static_cast<int>(std::floor(std::log10(largest) + 1e-9));
    const int exponent = top >= 0 ? top / 3 * 3 : -((-top + 2) / 3 * 3);
    const double unit = std::pow(10.0, exponent);
    for (int d = 0; d <= MAX_FIXED_DIGITS; ++d) {
        std::vector<std::string> labels;
        bool exact = true;
        size_t length = 0;
        for (double v : values) {
            labels.push_back(formatLabel(v / unit, {false, d, false}));
            length = std::max(length, labels.back().size());
            exact = exact && std::fabs(parse(labels.back()) * unit - v) <= 1e-9 * unit;
        }
        if (!exact) continue;
        if (length >= longest) return;  // no shorter than the labels it would replace
        t.labels = std::move(labels);
        t.note = "\u00D7" "10" + superscript(exponent);
        return;
    }
}

// Fixed-point labels sharing an integer part of 10 or more: the parts after it, and the
// integer part as the note.
void sharedOffset(AxisTicks& t) {
    if (t.labels.size() < 2) return;
    std::string whole;
    for (const std::string& label : t.labels) {
        const size_t dot = label.find('.');
        if (dot == std::string::npos || label.find('e') != std::string::npos) return;
        const std::string part = label.substr(0, dot);
        if (whole.empty()) whole = part;
        if (part != whole) return;
    }
    const bool negative = whole[0] == '-';
    if (whole.size() < (negative ? 3u : 2u)) return;  // below 10 in magnitude
    // Only a span tiny against the values: a thousandth of the integer part at most.
    double lo = parse(t.labels[0]), hi = lo;
    for (const std::string& label : t.labels) {
        lo = std::min(lo, parse(label));
        hi = std::max(hi, parse(label));
    }
    if (!(hi - lo <= 1e-3 * std::fabs(parse(whole)))) return;
    for (std::string& label : t.labels) {
        std::string rest = label.substr(whole.size());
        label = (negative ? "-0" : "0") + rest;
        if (parse(label) == 0.0) label = "0" + rest;  // "0.000", never "-0.000"
    }
    t.note = (negative ? "\u2212" + whole.substr(1) : "+" + whole);
}

}  // namespace

void readerNotation(AxisTicks& t, TickStyle style) {
    t.note.clear();
    if (style == TickStyle::Log && powersOfTen(t)) return;
    if (style == TickStyle::Log) return;  // 2 and 5 times the decades keep their form
    sharedFactor(t);
    if (t.note.empty()) sharedOffset(t);
}

int labelStride(const LabelSpan* spans, const int* offsets, int n, float gap) {
    int byOffset[2 * MAX_AXIS_TICKS + 1];
    std::fill(byOffset, byOffset + 2 * MAX_AXIS_TICKS + 1, -1);
    int reach = 0;
    for (int k = 0; k < n; ++k) {
        const int o = std::max(-MAX_AXIS_TICKS, std::min(MAX_AXIS_TICKS, offsets[k]));
        byOffset[o + MAX_AXIS_TICKS] = k;
        reach = std::max(reach, std::abs(o));
    }
    for (int stride = 1;; stride *= 2) {
        if (stride > reach) return stride;
        bool apart = true;
        int previous = -1;
        for (int o = -reach; o <= reach && apart; ++o) {
            const int k = byOffset[o + MAX_AXIS_TICKS];
            if (o % stride != 0 || k < 0) continue;
            if (previous >= 0) {
                const LabelSpan& a = spans[previous];
                const LabelSpan& b = spans[k];
                apart = a.hi + gap <= b.lo || b.hi + gap <= a.lo;
            }
            previous = k;
        }
        if (apart) return stride;
    }
}

}  // namespace internal
