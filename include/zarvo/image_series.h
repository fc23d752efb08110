#pragma once
/// @file zarvo/image_series.h
/// zv::ImageSeries: a zv::Image placed on a chart's axes, at data coordinates, as a heat map
/// with ticks, axis titles, a colour bar and other series drawn over it.

#include <memory>

#include "zarvo/defines.h"
#include "zarvo/series.h"

namespace internal {
class _ImageSeries;
}

namespace zv {

class Image;

/// How an image series samples its image between texel centres.
enum ImageFilter : int {
    /// Each texel fills its cell of the extent with its own colour: the values as they are,
    /// cell edges exactly on the extent's divisions. The default.
    ZV_FILTER_NEAREST = 0,
    /// Values interpolated linearly between the centres of neighbouring texels before they
    /// go through the colour map (a smooth field); within half a texel of the extent's edges
    /// the edge texels' values. A NaN texel spreads over its neighbours' share of the
    /// interpolation, so holes grow by up to a texel.
    ZV_FILTER_LINEAR = 1
};

/// An existing zv::Image shown inside a chart frame over a rectangle of data coordinates,
/// its extent: alone (zv::Window::draw(const Series&) or the cell draw), or as a series of
/// a zv::Chart under lines, contours or trajectories drawn over it. The image itself is
/// unchanged: drawn alone with zv::Window::draw(const Image&) it fills the window as it
/// always did, and the series shows the same pixels (its pixel buffer, uploaded at every
/// draw), through the window's colour map, with the image's value range
/// (Image::setValueRange) and colour-bar title (Image::setColorBarTitle). An image may be
/// shown by several series and drawn alone in the same frame.
///
/// Placement: the texel of column i and row j (row 0 the first row of the pixel buffer, shown
/// at the top as the image alone shows it) covers x from x0 + i (x1 - x0) / width to
/// x0 + (i + 1) (x1 - x0) / width, and y from y1 - (j + 1) (y1 - y0) / height to
/// y1 - j (y1 - y0) / height; its centre is where its value is drawn. Pass y0 above y1 to
/// put the first row at the bottom instead (data whose row index grows with y), x0 above x1
/// to mirror the columns. The mouse pans and zooms the picture with the axes (see
/// zv::Window::setInteractive) and fitAxesToData() and auto-fit take in the extent.
///
/// Axes: linear only. An image's texels are evenly spaced, which a logarithmic axis would
/// stretch unevenly: zv::Chart::add() refuses an image series for a chart with a
/// logarithmic axis, and zv::Chart::setLogAxes() a logarithmic axis for a chart holding one
/// (zv::ArgumentError with advice: keep the axes linear, or resample the data onto even
/// steps of the logarithm and give the extent in those units).
///
/// Legend: in a zv::Chart, a labelled image series shows the colour map as a small bar
/// (first row at the bottom) beside its label; it takes no colour of the chart's cycle.
///
/// Colour bar (setColorBar): a strip of 100 pixels at the right of the drawing area, as the
/// image alone shows it (five ticks from the image's valueMin() to valueMax(), its
/// colour-bar title above), the chart frame laid out in the rest. A zv::Chart shows the bar
/// of the first of its series that has one. An area narrower than 200 or lower than 60
/// pixels shows no bar.
///
/// Create it with a window of the image's share group current. Copies share one series.
class ZV_API ImageSeries : public Series {
public:
    /// Shows `image` over x from 0 to its width and y from 0 to its height (one unit a
    /// texel), with those axis limits, nearest filtering and no colour bar.
    /// @throws zv::ArgumentError (argument 1) when the image belongs to another share group
    ///         than the window whose context is current
    /// @throws zv::Error (ZV_ERR_GL), checked first, when no window of the library has its
    ///         context current on this thread
    /// @throws zv::Error (ZV_ERR_FONT) when the chart font cannot be loaded
    explicit ImageSeries(const Image& image);
    ImageSeries(const ImageSeries& other) = default;             ///< shares other's series
    ImageSeries& operator=(const ImageSeries& other) = default;  ///< shares other's series

    /// Places the image: its first column's left edge at x0, its last column's right edge at
    /// x1, its last row's lower edge at y0 and its first row's upper edge at y1 (see the
    /// class notes). Takes effect from the next draw and the next fit.
    /// @throws zv::ArgumentError (argument 1 to 4) for a coordinate that is not finite,
    ///         (argument 2 or 4) for ends that are equal, or so far apart that their distance
    ///         is no finite float; nothing changes then
    void setExtent(float x0, float x1, float y0, float y1);
    float extentX0() const;  ///< the extent in force: [0, width] x [0, height] unless set
    float extentX1() const;
    float extentY0() const;
    float extentY1() const;
    /// How texels are sampled (ZV_FILTER_NEAREST unless set). Only the series' draws
    /// change: the image drawn alone keeps nearest filtering.
    /// @throws zv::ArgumentError (argument 1) for a value outside ImageFilter; it stays
    void setFilter(ImageFilter filter);
    ImageFilter filter() const;  ///< the filter in force
    /// Shows the colour bar at the right (see the class notes); off unless set.
    void setColorBar(bool on);
    bool colorBar() const;  ///< whether the colour bar is on

    /// Axis limits, maximum before minimum, as zv::Plot::setAxesLimits.
    void setAxesLimits(float xmax, float xmin, float ymax, float ymin);
    /// Ticks at round values on both axes, as zv::Plot::setNiceTicks.
    void setNiceTicks(bool enabled);
    void setXAxisTitle(const char* title);  ///< null or empty: no title
    void setYAxisTitle(const char* title);  ///< drawn stacked, one character a line
    float xmax() const;
    float xmin() const;
    float ymax() const;
    float ymin() const;
    /// Sets the axis limits to the extent (minimum and maximum of each pair; in a zv::Chart
    /// the extent is taken in as the corners of a plot, with the chart's margin).
    /// @throws zv::ArgumentError when every window of the series' group is gone
    void fitAxesToData();
    /// With on, every draw keeps the limits on the extent, as fitAxesToData(), without
    /// waiting for the GPU. Off by default.
    void setAutoFit(bool on);
    bool autoFit() const;  ///< whether the limits follow the extent

    /// The object the handles share, as every series gives it to windows and charts.
    std::shared_ptr<internal::AbstractChart2D> chartObject() const override;
    /// The internal record, for the library's own use.
    internal::_ImageSeries* get() const { return mValue.get(); }

private:
    std::shared_ptr<internal::_ImageSeries> mValue;
};

}  // namespace zv
