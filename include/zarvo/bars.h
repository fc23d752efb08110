#pragma once
/// @file zarvo/bars.h
/// zv::Bars: one bar per category, its value written by the application on the GPU; bars
/// side by side (grouped) or on top of each other (stacked), upright or lying.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "zarvo/defines.h"
#include "zarvo/series.h"

namespace internal {
class _Bars;
}

namespace zv {

/// Which way bars stand (see zv::Bars).
enum BarOrientation : int {
    ZV_BARS_VERTICAL = 0,   ///< categories along x, values up the y axis
    ZV_BARS_HORIZONTAL = 1  ///< categories along y, values along the x axis
};

/// Bars over categories, as bar charts are drawn: numCategories values, one per category,
/// in a buffer the bars create and the application writes (vbo(), size() bytes, tightly
/// packed in the bars' element type, in axis units). Category i is centred on the value i
/// of the category axis (x for ZV_BARS_VERTICAL, y for ZV_BARS_HORIZONTAL), and its bar
/// reaches from 0 (or, stacked, from the top of the bar below) to the value, in one colour.
/// The category axis names the categories at their centres (setCategoryNames(); their
/// numbers without names) instead of showing numbers.
///
/// Several bars in one zv::Chart stand side by side: the chart splits each category's
/// width (groupWidth(), 0.8 of the distance between categories by default) into as many
/// equal places as it holds bars that are not stacked on others, in the order they were
/// added; a stack takes the place of the bars at its bottom. Bars drawn alone fill the
/// group width. This keeps grouping a matter of the chart the bars are in, so the same
/// bars can be drawn alone and grouped without change; stacking is a property of the bars
/// themselves (stackOn()), since it changes where each bar starts.
///
/// A value that is NaN or infinite leaves its bar out (and every bar stacked on it). On a
/// logarithmic value axis bars standing on 0 reach down past the frame's bottom edge, and a
/// bar whose top is at or below zero is left out; the category axis cannot be logarithmic
/// for bars drawn alone (see setLogAxes()). The fit covers each bar from 0 to its value
/// (the top of its stack) and every category's group: on a linear value axis the limit on
/// the side of 0 stays at 0 when no bar reaches past it, and the other gets 5% room.
///
/// Create it with a window of the share group it will be drawn in current. Copies share one
/// set of bars. Draw it alone with zv::Window::draw(const Series&) or add it to a
/// zv::Chart, where its legend swatch is a square of its colour.
class ZV_API Bars : public Series {
public:
    /// @throws zv::TypeError (argument 1 names dataType) for ZV_INT8 or an unknown type
    /// @throws zv::DimensionError (argument 1) for no category, or more than 2^31 - 1
    ///         (what one draw call can take), before anything is allocated
    /// @throws zv::ArgumentError (argument 3) for a value outside BarOrientation, before
    ///         anything is allocated
    /// @throws zv::Error (ZV_ERR_GL), checked first, when no window of the library has its
    ///         context current on this thread
    /// @throws zv::Error (ZV_ERR_GL) when OpenGL cannot allocate the buffers
    Bars(unsigned numCategories, ZVType dataType, BarOrientation orientation = ZV_BARS_VERTICAL);
    Bars(const Bars& other) = default;             ///< shares other's bars
    Bars& operator=(const Bars& other) = default;  ///< makes this handle share other's bars

    /// Fill colour, packed 0xRRGGBBAA; the alpha byte is the opacity. Bars whose colour was
    /// never set take the next colour of a chart's cycle when added to a zv::Chart, and the
    /// are blue (0x1F77B4FF) alone.
    void setColor(Color color);
    /// Fill colour and opacity; each clamped to [0, 1].
    void setColor(float red, float green, float blue, float opacity);
    /// Names of the categories, UTF-8, drawn through the chart's font at the category
    /// centres on the category axis (only as many as fit without touching: every second,
    /// fourth, ... otherwise). Empty names nothing: the axis shows category numbers.
    /// @throws zv::DimensionError (argument 1) when names is neither empty nor
    ///         numCategories() long; the names stay as they were
    void setCategoryNames(const std::vector<std::string>& names);
    const std::vector<std::string>& categoryNames() const;  ///< as set, empty by default
    /// The share of the distance between categories that the bars of one category take
    /// together (all places side by side), in (0, 1]; 0.8 by default.
    /// @throws zv::ArgumentError (argument 1) outside (0, 1] or NaN; the width stays
    void setGroupWidth(float fraction);
    float groupWidth() const;
    /// Stacks these bars on `below`: each bar starts where the bar of its category in
    /// `below` ends (its stack's top, computed on the GPU each draw), and these bars take
    /// the place of the stack's bottom in a chart. Both must have as many categories and
    /// stand the same way, in one share group. Add both to the chart; the fit covers each
    /// stack's top through the bars on top. A value that is negative goes down from the top
    /// below it, as values add.
    /// @throws zv::DimensionError (argument 1) for another number of categories
    /// @throws zv::ArgumentError (argument 1) for bars standing the other way, of another
    ///         share group, or whose stack holds these bars (a loop; stacking on itself too)
    void stackOn(const Bars& below);
    /// Puts these bars back on 0, out of any stack.
    void unstack();
    bool stacked() const;  ///< whether stackOn() is in force

    unsigned numCategories() const;
    BarOrientation orientation() const;

    /// Axis limits, maximum before minimum, as zv::Plot::setAxesLimits.
    /// @throws zv::ArgumentError (argument 1 to 4) when an axis is logarithmic and one of its
    /// limits is not finite and above zero; nothing changes then
    void setAxesLimits(float xmax, float xmin, float ymax, float ymin);
    /// Ticks at round values on the value axis, as zv::Plot::setNiceTicks; the category axis
    /// keeps its category ticks.
    void setNiceTicks(bool enabled);
    /// Logarithmic (base 10) value axis (y for vertical bars, x for horizontal ones).
    /// @throws zv::ArgumentError (argument 1 for x, 2 for y) for the category axis, which
    /// has no logarithm, or when an axis made logarithmic has a limit that is not finite and
    /// above zero; nothing changes then
    void setLogAxes(bool xLog, bool yLog);
    bool niceTicks() const;
    bool xLog() const;
    bool yLog() const;
    void setXAxisTitle(const char* title);  ///< null or empty: no title
    void setYAxisTitle(const char* title);  ///< drawn stacked, one character a line
    float xmax() const;
    float xmin() const;
    float ymax() const;
    float ymin() const;
    /// Sets the limits to cover the bars (see the class comment), computed on the GPU.
    /// @throws zv::ArgumentError when every window of the bars' group is gone
    void fitAxesToData();
    /// With on, every draw sets the limits as fitAxesToData() would, from the data of two
    /// draws earlier (see zv::Plot::setAutoFit). Off by default.
    void setAutoFit(bool on);
    bool autoFit() const;
    /// Name of the GL_ARRAY_BUFFER the application writes the values into.
    unsigned vbo() const;
    /// Its size in bytes: numCategories x bytes per element.
    size_t size() const;

    /// The object the handles share, as every series gives it to windows and charts.
    std::shared_ptr<internal::AbstractChart2D> chartObject() const override;
    /// The internal record, for the library's own use.
    internal::_Bars* get() const { return mValue.get(); }

private:
    std::shared_ptr<internal::_Bars> mValue;
};

}  // namespace zv
