#pragma once
/// @file zarvo/band.h
/// zv::Band: the filled area between two curves, or between a curve and a constant, whose
/// points the application writes on the GPU.

#include <cstddef>
#include <memory>

#include "zarvo/defines.h"
#include "zarvo/series.h"

namespace internal {
class _Band;
}

namespace zv {

/// What a band's edges are (see zv::Band).
enum BandEdges : int {
    ZV_BAND_TWO_CURVES = 0,  ///< two curves of numPoints points each, both in the buffer
    ZV_BAND_TO_BASELINE = 1  ///< one curve in the buffer and the constant y of setBaseline()
};

/// A filled band, as error bands and min/max envelopes are drawn: the area between two
/// curves of numPoints (x, y) points, filled with one colour at an opacity, inside a chart
/// frame. The application writes the vertex buffer vbo() (size() bytes), tightly packed in
/// the band's element type, in axis units: with ZV_BAND_TWO_CURVES the first curve's points
/// x0, y0, x1, y1, ... then the second curve's, 4 x numPoints elements; with
/// ZV_BAND_TO_BASELINE one curve's, 2 x numPoints elements, the other edge being the
/// horizontal line y = baseline(). Point i of one curve is joined to point i of the other;
/// between points i and i + 1 the area is that of the quadrilateral of the four points,
/// which is split where the curves cross, so either curve may be the higher. The curves are
/// meant to share their x, ordered (increasing or decreasing): stretches of band over the
/// same x overlap, and translucent overlaps come out more opaque.
///
/// Points with a NaN or infinite coordinate, and on a logarithmic axis points at or below
/// zero, leave the band out between their neighbours (a gap), as a line plot's segments
/// are. Fewer than two points draw only the frame.
///
/// Create it with a window of the share group it will be drawn in current. Copies share one
/// band. Draw it alone with zv::Window::draw(const Series&) or add it to a zv::Chart, where
/// its legend swatch is a square of its colour at its opacity.
class ZV_API Band : public Series {
public:
    /// @throws zv::TypeError (argument 1 names dataType) for ZV_INT8 or an unknown type
    /// @throws zv::DimensionError (argument 1) for more than 2^31 - 1 points, what one draw
    ///         call can take, before anything is allocated
    /// @throws zv::ArgumentError (argument 3) for a value outside BandEdges, before anything
    ///         is allocated
    /// @throws zv::Error (ZV_ERR_GL), checked first, when no window of the library has its
    ///         context current on this thread (none, or the application's own context is)
    /// @throws zv::Error (ZV_ERR_GL) when OpenGL cannot allocate the vertex buffer
    Band(unsigned numPoints, ZVType dataType, BandEdges edges = ZV_BAND_TWO_CURVES);
    Band(const Band& other) = default;             ///< shares other's band
    Band& operator=(const Band& other) = default;  ///< makes this handle share other's band

    /// Fill colour, packed 0xRRGGBBAA; the alpha byte is the opacity (0xFF opaque). The
    /// default is sky blue at opacity 0.4; a band whose colour was never set takes the next
    /// colour of a chart's cycle at opacity 0.4 when added to a zv::Chart.
    void setColor(Color color);
    /// Fill colour and opacity; each clamped to [0, 1].
    void setColor(float red, float green, float blue, float opacity);
    /// The constant y of the second edge with ZV_BAND_TO_BASELINE (0 unless set); kept but
    /// unused with two curves. The fit covers it.
    /// @throws zv::ArgumentError (argument 1) for a value that is not finite; it stays
    void setBaseline(float y);
    float baseline() const;  ///< the baseline setBaseline() set, 0 by default
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
    /// Sets the limits to the range of both edges (the baseline included) plus 5% of it on
    /// each side, computed on the GPU as zv::Plot::fitAxesToData does (NaN and infinite
    /// points left out; nothing finite leaves the limits as they were).
    /// @throws zv::ArgumentError when every window of the band's group is gone
    void fitAxesToData();
    /// With on, every draw sets the limits as fitAxesToData() would, from the data of two
    /// draws earlier, so no frame waits for the GPU (see zv::Plot::setAutoFit). Off by default.
    void setAutoFit(bool on);
    bool autoFit() const;  ///< whether the limits follow the data
    /// Name of the GL_ARRAY_BUFFER the application writes the points into.
    unsigned vbo() const;
    /// Its size in bytes: 4 (two curves) or 2 (to the baseline) x numPoints x bytes per
    /// element.
    size_t size() const;

    /// The object the handles share, as every series gives it to windows and charts.
    std::shared_ptr<internal::AbstractChart2D> chartObject() const override;
    /// The internal record, for the library's own use.
    internal::_Band* get() const { return mValue.get(); }

private:
    std::shared_ptr<internal::_Band> mValue;
};

}  // namespace zv
