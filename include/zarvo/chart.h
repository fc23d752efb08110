#pragma once
/// @file zarvo/chart.h
/// zv::Chart: several series (plots, histograms, bands, ...) drawn in one chart frame, with a
/// legend.

#include <memory>

#include "zarvo/defines.h"
#include "zarvo/series.h"

namespace internal {
class _Chart;
}

namespace zv {

/// A chart frame (border, ticks, tick labels, axis titles and limits, as a plot has) that
/// draws any number of series inside it: line plots, scatter plots, histograms, bands, in the
/// order they were added, each clipped to the frame. Inside the chart every series is drawn
/// with the chart's limits, not its own (a plot's points map through the chart's x and y
/// limits; a histogram's bins divide the frame's width and its bars are frequency over the
/// chart's ymax tall); drawn alone elsewhere a series keeps its own limits. A series'
/// colour, marker and data stay its own. Series with a label are listed in a legend.
///
/// zv::Bars in a chart stand side by side, each taking an equal place of every category's
/// group width in the order added (a stack takes the place of its bottom), and the first
/// bars name the category axis. Marks (zv::ReferenceLine, zv::Span, zv::Annotation) are
/// added as series too; they stay out of the fit and the colour cycle.
///
/// The chart shares ownership of its series: a series stays alive while a chart holds it,
/// and may be in several charts. Create the chart with a window of the share group it will
/// be drawn in current; every series must belong to that group. Copies share one chart.
/// Draw it with zv::Window::draw(const Chart&) or the cell draw.
class ZV_API Chart {
public:
    /// An empty chart with limits 0 to 1 on both axes and the legend at the top right.
    /// A window's context must be current.
    /// @throws zv::Error (ZV_ERR_GL), checked first, when no window of the library has its
    ///         context current on this thread (none, or the application's own context is)
    /// @throws zv::Error (ZV_ERR_FONT) when the chart font cannot be loaded
    Chart();
    Chart(const Chart& other) = default;             ///< shares other's chart
    Chart& operator=(const Chart& other) = default;  ///< makes this handle share other's chart

    /// Adds a series of any kind (zv::Plot, zv::Histogram, ...) as the last series. With a
    /// non-empty label the series is listed in the legend with a swatch of its kind (a plot:
    /// a short line of its colour, its marker when it has one; a histogram: a square of the
    /// bar colour; a band: a square of its colour at its opacity; an image series: the
    /// colour map as a small bar; bars: a square of their colour; a reference line: a short
    /// line of its colour; a span: a square of its colour at its opacity; text: none), then
    /// the label; a null or empty label adds it unlisted. A series whose colour was never set
    /// gets the next colour of the chart's cycle of eight
    /// colour-blind-safe colours (orange, sky blue, bluish green, yellow, blue, vermilion,
    /// reddish purple, light grey), which then becomes its own colour everywhere. Adding a
    /// series already in the chart keeps its place and replaces its label. Needs no current
    /// context.
    /// @throws zv::ArgumentError (argument 1) when the series belongs to another share group,
    ///         or is a zv::ImageSeries while an axis of the chart is logarithmic (an image's
    ///         evenly spaced texels need linear axes); the chart is unchanged then
    void add(const Series& series, const char* label = nullptr);
    /// Takes the series out of the chart (the chart's share of it goes); nothing when it is
    /// not in the chart.
    void remove(const Series& series);
    /// Number of series in the chart.
    unsigned count() const;

    /// The corner of the frame the legend sits in (ZV_LEGEND_TOP_RIGHT unless set). The
    /// legend is drawn over the data and the frame, in a dark translucent box; a chart with
    /// no labelled series draws none.
    /// @throws zv::ArgumentError (argument 1) for a value outside LegendCorner
    void setLegendCorner(LegendCorner corner);
    LegendCorner legendCorner() const;  ///< the corner in force

    /// The chart's axis limits, maximum before minimum, as zv::Plot::setAxesLimits; every
    /// series is drawn through them.
    /// @throws zv::ArgumentError (argument 1 to 4) when an axis is logarithmic and one of its
    /// limits is not finite and above zero; nothing changes then
    void setAxesLimits(float xmax, float xmin, float ymax, float ymin);
    /// Ticks at round values on both axes, as zv::Plot::setNiceTicks.
    void setNiceTicks(bool enabled);
    /// Logarithmic (base 10) x and/or y axis for every series, as zv::Plot::setLogAxes; the
    /// bars of a histogram series rise from the bottom edge on a logarithmic y axis.
    /// @throws zv::ArgumentError (argument 1 for x, 2 for y) when an axis made logarithmic
    /// has a limit that is not finite and above zero, or (argument 1 when x is made
    /// logarithmic, else 2) while the chart holds a zv::ImageSeries, whose evenly spaced
    /// texels a logarithmic axis would stretch unevenly (keep the axes linear, or resample
    /// the data onto even steps of the logarithm); nothing changes then
    void setLogAxes(bool xLog, bool yLog);
    bool niceTicks() const;  ///< whether setNiceTicks(true) is in force
    bool xLog() const;       ///< whether the x axis is logarithmic
    bool yLog() const;       ///< whether the y axis is logarithmic
    void setXAxisTitle(const char* title);  ///< null or empty: no title
    /// Drawn stacked, one character a line, inside the frame; turned to read bottom to top
    /// left of the tick labels when the style puts titles outside.
    void setYAxisTitle(const char* title);
    /// The chart's title, written above the frame when the style puts titles outside
    /// (zv::ZV_TITLES_OUTSIDE); null or empty for none.
    void setTitle(const char* title);
    /// A style of the chart's own (see zv::Style), which its draws take whatever the
    /// window's. Its legend placement decides where the legend goes (the chart's own corner
    /// by default); its line width is that of plots in the chart that never had
    /// setLineWidth() called.
    /// @throws zv::ArgumentError (argument 1) for a font size, line width or enumeration value outside
    ///         what zv::Style allows; nothing
    ///         changes then
    void setStyle(const Style& style);
    float xmax() const;
    float xmin() const;
    float ymax() const;
    float ymin() const;
    /// Sets the limits to show every series (a band counts as the points of its edges and its
    /// baseline; bars as their groups' extent and the range from 0 to each stack's top; marks
    /// not at all): x over the plots' points plus 5% of their range
    /// each side (x stays when no plot has a finite point: a histogram's bins fill the width
    /// whatever x is); y over the plots' points and the histograms' bars (from 0 to the
    /// tallest), plus 5% each side, with the bottom kept at 0 when bars are there and
    /// nothing lies below 0. A chart of histograms alone gets y from 0 to 5% above the
    /// tallest bar. A logarithmic axis takes its margin as a factor, 5% of the decades
    /// spanned each side, so its limits stay above zero; bars on a logarithmic y axis stand
    /// on ymin, which stays unless points lie below it.
    /// The limits are always finite: a margin that would pass the largest float stops at
    /// ±FLT_MAX.
    /// Computed on the GPU from the series' buffers; only four numbers a series are read
    /// back, which waits for the GPU once. NaN and infinite values are left out; when
    /// nothing finite is left the limits stay, and so does a logarithmic axis whose fit
    /// would reach 0 or below. Works whichever context is current.
    /// @throws zv::ArgumentError when every window of the chart's group is gone
    void fitAxesToData();
    /// With on, every draw of the chart sets the limits as fitAxesToData() would, from the
    /// series' data of two draws earlier, so no frame waits for the GPU (see
    /// zv::Plot::setAutoFit, also for the mouse); a series added meanwhile joins once its
    /// first result is ready. Off by default.
    void setAutoFit(bool on);
    bool autoFit() const;  ///< whether the limits follow the series' data

    /// The internal record, for the library's own use.
    internal::_Chart* get() const { return mValue.get(); }

private:
    std::shared_ptr<internal::_Chart> mValue;
};

}  // namespace zv
