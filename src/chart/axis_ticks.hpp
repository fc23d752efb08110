#pragma once
// Ticks and tick labels of one chart axis, apart from any OpenGL call: where the ticks go
// for the axis' limits and scale, which number format names them, which labels are drawn
// when they would run into each other, and how the axis maps data onto the frame.
//
// Positions are chart coordinates along the axis (-1 at the minimum's edge, 1 at the
// maximum's). Everything here is pure; the chart uploads and draws what it computes.

#include <string>
#include <vector>

namespace internal {

// How an axis places its ticks: the frame's nine evenly spaced ticks, ticks at round values
// (1, 2 or 5 times a power of ten), a base-10 logarithmic axis, or one tick at the centre
// of each category of bars, labelled with its name.
enum class TickStyle { Even, Nice, Log, Category };

// Most ticks one axis can show in any style (the nine of the even style, at most ten round
// values, at most ten decades or 1-2-5 steps); the frame's vertex buffer holds this many
// points per axis.
constexpr int MAX_AXIS_TICKS = 12;

// True when single precision cannot tell points between the limits apart: the limits are
// equal, within a few units in the last place of the larger magnitude, or not finite. Such
// an axis maps everything onto its minimum's edge.
bool axisCollapses(float max, float min);

// True when both limits can be shown on a logarithmic axis: finite and above zero.
bool logLimitsValid(float max, float min);

// The map of one axis from data to chart coordinates: chart = scale * (f(v) - origin) - 1,
// where f is the identity, or log10 on a logarithmic axis. The origin is f(min), subtracted
// by the shader before scaling so that narrow ranges far from zero keep their precision.
struct AxisMap {
    double origin = 0.0;
    double scale = 0.0;  // 0 for a collapsed axis
    bool log = false;
    // False for ranges so wide that the difference of two points inside them could pass
    // the largest float: the origin is then subtracted by the matrix (in double when it is
    // built), not by the shader.
    bool originInShader = true;
    // The origin the shader subtracts from f(v).
    double shaderOrigin() const { return originInShader ? origin : 0.0; }
};
AxisMap axisMap(float max, float min, bool log);
// Chart coordinate of the value v (which must be above zero on a logarithmic axis).
double chartPosition(const AxisMap& map, double v);

// A number format: fixed-point with `digits` decimals, or scientific with `digits` decimals
// in the mantissa. `compact` writes the exponent without zero padding, for the logarithmic
// axis' powers of ten ("1e-3", "1e+6"); otherwise "1.5e-05", "2.0e+07".
struct LabelFormat {
    bool scientific = false;
    int digits = 2;
    bool compact = false;
};
std::string formatLabel(double value, const LabelFormat& format);

// The shortest format (the longest label decides, then all labels together; fixed-point
// wins a tie below a million) in which every label reads within `tolerance` of its value
// and no two labels of `values`, given in order along the axis, read the same (unless
// `distinct` is false). The most precise scientific format when none does.
LabelFormat chooseFormat(const std::vector<double>& values, double tolerance, bool distinct);

// Labels of ticks at `values`, in order and evenly `step` apart: the two-decimal labels
// `twoDecimals` (one per value) wherever they name every tick to a quarter of the step and
// tell neighbours apart, for values below a million; otherwise the shortest format that
// does (see chooseFormat). The frame's even ticks and an image's colour bar label this way.
std::vector<std::string> evenLabels(const std::vector<double>& values, double step,
                                    const std::vector<std::string>& twoDecimals);

// The ticks of one axis.
struct AxisTicks {
    std::vector<float> positions;     // chart coordinates, in tick order
    std::vector<std::string> labels;  // one per tick
    // Place of each tick along the axis counted from the middle tick (0), in tick order: the
    // labels thinned out to every s-th keep those whose offset is a multiple of s.
    std::vector<int> offsets;
    // Written once at the axis' end when the labels are shortened (see readerNotation): a
    // factor they share ("×10⁻⁶") or an offset to add ("+1000"); empty otherwise.
    std::string note;
};

// The frame's own ticks: `tickCount` / 2 pairs around the middle one, evenly spaced by
// 2 / tickCount whatever the limits, in the order middle, then -a, +a outward. Labels name
// the value at each tick. They are written with two decimals wherever that names every tick
// to a quarter of the tick step and tells neighbouring ticks apart; otherwise with the
// shortest format that does (see chooseFormat). Collapsed limits label every tick with the
// one value.
AxisTicks evenTicks(float max, float min, int tickCount);

// Ticks at round values inside the limits: steps of 1, 2 or 5 times a power of ten, the
// finest step giving at most ten ticks (which also gives at least four), labelled at the
// precision of the step. On a logarithmic axis the ticks are placed through its map. A
// collapsed axis has one tick at its minimum's edge.
AxisTicks niceTicks(float max, float min, bool log = false);

// Ticks of a logarithmic axis (limits above zero): powers of ten, with 2 and 5 times them
// between when that gives no more than ten ticks; every second, fifth, tenth ... power when
// too many decades show; round linear values (niceTicks) when fewer than three would show.
// Labels read "0.001" ... "10000" when all of them fit in five characters, otherwise
// "1e-3" ... "1e+6".
AxisTicks logTicks(float max, float min);

// The ticks of an axis in the given style, labelled in the notation readers expect (see
// readerNotation).
AxisTicks axisTicks(TickStyle style, float max, float min, int tickCount);

// Ticks at the centres of categories 0 ... count - 1 (category i is centred on the value i)
// that lie inside the limits, labelled names[i], or i itself where `names` has no entry for
// it. When more than MAX_AXIS_TICKS categories show, every s-th is ticked (the smallest s
// that leaves at most that many), so that wide ranges still name some. On a logarithmic
// axis (`log`) category 0, which has no logarithm, gets no tick. Offsets count from the
// middle tick, as those of the other styles.
AxisTicks categoryTicks(const std::vector<std::string>& names, unsigned count, float max,
                        float min, bool log);

// Rewrites labels that name their values truly but read poorly, without changing the value
// any label names. The two-decimal labels of the even ticks, and any plain number, stay.
// - Powers of ten in scientific form ("1e-3" ... "1e+6", a logarithmic axis with too wide
//   a range for plain numbers) become 10 with a superscript exponent, U+2212 MINUS SIGN for
//   negative ones ("10⁻³" ... "10⁶", also "10⁰" and "10¹" so that every decade reads alike).
// - Linear labels that all share a power of ten in scientific form ("2.2e-06" ... "3.8e-05")
//   become mantissas of one factor, the power of ten of the largest magnitude taken down to
//   a multiple of three ("2.2" ... "38.0" and the note "×10⁻⁶", U+00D7): units read in
//   thousands (micro, nano, kilo, mega). Kept only when the labels get shorter.
// - Fixed-point labels that all share an integer part of 10 or more in magnitude (a range
//   tiny against its values: "1000.003" ... "1000.010") become what is added to it
//   ("0.003" ... "0.010" and the note "+1000"; for negative values "−1000").
// Labels are UTF-8.
void readerNotation(AxisTicks& ticks, TickStyle style);

// The exponent e written as superscript digits, with U+2212 MINUS SIGN before a negative one.
std::string superscript(int e);

// Thinning of labels that would touch. span[k] is the extent of label k along the axis (in
// any one unit, lo <= hi), offsets[k] its offset as in AxisTicks; n at most MAX_AXIS_TICKS.
// Returns the smallest stride 1, 2, 4, ... for which the labels kept (offset a multiple of
// the stride) are at least `gap` apart from their kept neighbours; the middle label is
// always kept, and alone it always fits. Allocates nothing.
struct LabelSpan {
    float lo, hi;
};
int labelStride(const LabelSpan* spans, const int* offsets, int n, float gap);

}  // namespace internal
