#pragma once
/// @file zarvo/scatter.h
/// zv::Scatter: points coloured by a value of their own through the window's colour map,
/// optionally sized by another, written by the application on the GPU.

#include <cstddef>
#include <memory>

#include "zarvo/defines.h"
#include "zarvo/series.h"

namespace internal {
class _Scatter;
}

namespace zv {

/// A colour-mapped scatter of numPoints points inside a chart frame: each point is a marker
/// (the shapes of zv::Plot's markers) in the colour its value picks from the window's colour
/// map (zv::Window::setColorMap), optionally of a size of its own.
///
/// The application writes, tightly packed in the scatter's element type, in buffers the
/// scatter makes: the points x0, y0, x1, y1, ... in axis units into vbo() (size() bytes);
/// one value per point into valueVbo() (valueSize() bytes); and, for a scatter made with
/// pointSizes, one marker size per point in pixels into sizeVbo() (sizeSize() bytes).
/// Nothing is read back: every draw maps the values on the GPU.
///
/// Values map as an image's do with a value range: linearly from [valueMin(), valueMax()]
/// ([0, 1] until setValueRange()) onto the map's rows, valueMin() onto the first and
/// valueMax() onto the last, clamped at both ends; a value v takes row int(t x rows), t =
/// (v - min) / (max - min), the last row for t = 1.
///
/// Markers: a square of side markerSize() pixels (10 by default, as a plot's markers), or
/// of the point's own size (clamped to 1 .. 256 pixels) with pointSizes, rounded to whole
/// pixels and centred on the pixel corner nearest the point (even sizes) or the centre of
/// the pixel under it (odd sizes); the marker type shapes it as a plot's (a disc of 0.6 of
/// the side for ZV_MARKER_POINT). Later points are drawn over earlier ones.
///
/// Points not drawn: a point whose x, y or value is NaN or infinite, whose size is NaN,
/// infinite, 0 or below, or which lies at or below zero on a logarithmic axis. The fit
/// (fitAxesToData, auto-fit, a zv::Chart's fit) takes the positions of the points with a
/// finite x and y, whatever their values and sizes.
///
/// Colour bar: with setColorBar(true), a scatter (drawn alone, in a grid cell or in a
/// zv::Chart) keeps a strip at the right of its area for a bar of the colour map from
/// valueMin() to valueMax(), as zv::Window::draw(const Image&, bool, bool) shows an image's,
/// under the setColorBarTitle() title; the frame is laid out in the rest. A chart shows the
/// bar of the first of its series that has one. In a chart's legend the scatter shows a
/// square of the swatch colour (the chart's next cycle colour unless setSwatchColor() was
/// called).
///
/// Why a class of its own rather than a zv::Plot option: a plot's points have one colour,
/// and its legend, line, steps, rings and dense-marker passes all rest on that; a scatter's
/// colours come from data, it may carry a colour bar, and its markers vary in size.
///
/// Create it with a window of the share group it will be drawn in current. Copies share one
/// scatter.
class ZV_API Scatter : public Series {
public:
    /// @param dataType element type of every buffer: ZV_UINT8, ZV_INT16, ZV_UINT16,
    ///        ZV_INT32, ZV_UINT32 or ZV_FLOAT32 (integers taken as they are)
    /// @param markerType ZV_MARKER_POINT to ZV_MARKER_STAR
    /// @param pointSizes with true the scatter has a size buffer (sizeVbo()) read for every
    ///        point instead of markerSize()
    /// @throws zv::TypeError (argument 2) for ZV_INT8 or an unknown type
    /// @throws zv::DimensionError (argument 1) for more than 2^31 - 1 points, what one draw
    ///         call can take
    /// @throws zv::ArgumentError (argument 3) for ZV_MARKER_NONE or a value outside
    ///         ZVMarkerType; all before anything is allocated
    /// @throws zv::Error (ZV_ERR_GL), checked first, when no window of the library has its
    ///         context current on this thread
    /// @throws zv::Error (ZV_ERR_GL) when OpenGL cannot allocate the buffers
    Scatter(unsigned numPoints, ZVType dataType = ZV_FLOAT32,
            ZVMarkerType markerType = ZV_MARKER_POINT, bool pointSizes = false);
    Scatter(const Scatter& other) = default;             ///< shares other's scatter
    Scatter& operator=(const Scatter& other) = default;  ///< shares other's scatter

    /// Maps values from [min, max] onto the colour map (see the class notes); max below min
    /// reverses the map. From the next draw on, in every window. Needs no current context.
    /// @throws zv::ArgumentError (argument 1 or 2) for an end that is not finite, (argument
    ///         2) for ends less than 2^-110 apart; the range in force stays
    void setValueRange(float min, float max);
    float valueMin() const;  ///< the value taking the map's first row, 0 unless set
    float valueMax() const;  ///< the value taking the map's last row, 1 unless set
    /// Side of every marker in pixels when the scatter has no size buffer (10 by default).
    /// @throws zv::ArgumentError (argument 1) for a size that is not finite, 0 or below, or
    ///         above 256; the size stays
    void setMarkerSize(float pixels);
    float markerSize() const;  ///< the size setMarkerSize() set, 10 by default
    /// Shows the colour bar beside the scatter's frame (see the class notes). Off by
    /// default. An area narrower than 200 or lower than 60 pixels shows the chart alone.
    void setColorBar(bool on);
    bool colorBar() const;  ///< whether setColorBar(true) is in force
    /// Titles the colour bar (null or empty: no title), as zv::Image::setColorBarTitle.
    void setColorBarTitle(const char* title);
    /// The colour of the scatter's square in a zv::Chart's legend; each clamped to [0, 1].
    void setSwatchColor(float red, float green, float blue);

    /// Axis limits, maximum before minimum, as zv::Plot::setAxesLimits.
    /// @throws zv::ArgumentError (argument 1 to 4) when an axis is logarithmic and one of its
    /// limits is not finite and above zero; nothing changes then
    void setAxesLimits(float xmax, float xmin, float ymax, float ymin);
    /// Ticks at round values on both axes, as zv::Plot::setNiceTicks.
    void setNiceTicks(bool enabled);
    /// Logarithmic (base 10) x and/or y axis, as zv::Plot::setLogAxes.
    /// @throws zv::ArgumentError (argument 1 for x, 2 for y) when an axis made logarithmic
    /// has a limit that is not finite and above zero; nothing changes then
    void setLogAxes(bool xLog, bool yLog);
    bool niceTicks() const;  ///< whether setNiceTicks(true) is in force
    bool xLog() const;       ///< whether the x axis is logarithmic
    bool yLog() const;       ///< whether the y axis is logarithmic
    void setXAxisTitle(const char* title);  ///< null or empty: no title
    void setYAxisTitle(const char* title);  ///< drawn stacked, one character a line
    float xmax() const;
    float xmin() const;
    float ymax() const;
    float ymin() const;
    /// Sets the limits to the points' range plus 5% of it on each side, computed on the GPU
    /// as zv::Plot::fitAxesToData does.
    /// @throws zv::ArgumentError when every window of the scatter's group is gone
    void fitAxesToData();
    /// With on, every draw fits the limits from the data of two draws earlier, as
    /// zv::Plot::setAutoFit. Off by default.
    void setAutoFit(bool on);
    bool autoFit() const;  ///< whether the limits follow the data

    /// Name of the GL_ARRAY_BUFFER of the points, x0, y0, x1, y1, ...
    unsigned vbo() const;
    /// Its size in bytes: 2 x numPoints x bytes per element.
    size_t size() const;
    /// Name of the GL_ARRAY_BUFFER of the values, one per point.
    unsigned valueVbo() const;
    /// Its size in bytes: numPoints x bytes per element.
    size_t valueSize() const;
    /// Name of the GL_ARRAY_BUFFER of the marker sizes in pixels, one per point; 0 for a
    /// scatter made without pointSizes.
    unsigned sizeVbo() const;
    /// Its size in bytes: numPoints x bytes per element, 0 without a size buffer.
    size_t sizeSize() const;

    /// The object the handles share, as every series gives it to windows and charts.
    std::shared_ptr<internal::AbstractChart2D> chartObject() const override;
    /// The internal record, for the library's own use.
    internal::_Scatter* get() const { return mValue.get(); }

private:
    std::shared_ptr<internal::_Scatter> mValue;
};

}  // namespace zv
