#pragma once
/// @file zarvo/error_bars.h
/// zv::ErrorBars: error bars with caps around points whose coordinates and errors the
/// application writes on the GPU.

#include <cstddef>
#include <memory>

#include "zarvo/defines.h"
#include "zarvo/series.h"

namespace internal {
class _ErrorBars;
}

namespace zv {

/// The errors an axis of zv::ErrorBars has.
enum ErrorKind : int {
    ZV_ERRORS_NONE = 0,       ///< no bar on this axis, no buffer
    ZV_ERRORS_SYMMETRIC = 1,  ///< one error per point, e: the bar runs from v - e to v + e
    ZV_ERRORS_ASYMMETRIC = 2  ///< two per point, lo then hi: the bar runs from v - lo to v + hi
};

/// Error bars of numPoints points inside a chart frame: through each point (x, y) a
/// vertical bar for its y error and, when the series has x errors, a horizontal bar for its
/// x error, each ended by caps of capSize() pixels across. The points themselves are not
/// marked: draw a zv::Plot of markers over them in a zv::Chart for that.
///
/// The application writes, tightly packed in the series' element type, in buffers the
/// series makes: the points x0, y0, x1, y1, ... into vbo() (size() bytes); the y errors
/// into yErrorVbo() and the x errors into xErrorVbo(): e0, e1, ... for symmetric errors,
/// lo0, hi0, lo1, hi1, ... for asymmetric ones (ErrorKind), in axis units. Errors are taken
/// as magnitudes: a negative error e counts as |e|.
///
/// Pixels: bars and caps are lineWidth() pixels thick (1 by default, rounded to whole
/// pixels), on whole pixels: a bar of odd width is centred on the pixel under the point, one
/// of even width on the pixel corner nearest it, and each end (where a cap is) likewise on
/// the row or column nearest the end. A cap spans capSize() pixels (6 by default, rounded to
/// whole pixels; 0 for none) centred on its bar.
///
/// Not drawn: a point whose x or y is NaN or infinite, or at or below zero on a logarithmic
/// axis, draws no bar; a bar whose error (either one, for asymmetric errors) is NaN or
/// infinite is not drawn (the point's other bar still is). On a logarithmic axis an end at
/// or below zero runs off the frame's edge, without a cap.
///
/// Fit: fitAxesToData(), auto-fit and a zv::Chart's fit cover every bar, the points with
/// their errors (an error that is not finite counts as 0; on a logarithmic axis an end at
/// or below zero is left out), with the usual 5% margin. The extents are computed on the
/// GPU by a pass over the buffers, into a buffer of the series'.
///
/// In a zv::Chart's legend the series shows a square of its colour, which is the chart's
/// next colour of its cycle unless setColor() was called (white drawn alone).
///
/// Create it with a window of the share group it will be drawn in current. Copies share one
/// series.
class ZV_API ErrorBars : public Series {
public:
    /// @param dataType element type of every buffer: ZV_UINT8, ZV_INT16, ZV_UINT16,
    ///        ZV_INT32, ZV_UINT32 or ZV_FLOAT32 (integers taken as they are)
    /// @throws zv::TypeError (argument 2) for ZV_INT8 or an unknown type
    /// @throws zv::DimensionError (argument 1) for more than 2^31 - 1 points, what one draw
    ///         call can take
    /// @throws zv::ArgumentError (argument 3 or 4) for a value outside ErrorKind, (argument
    ///         4) for ZV_ERRORS_NONE on both axes; all before anything is allocated
    /// @throws zv::Error (ZV_ERR_GL), checked first, when no window of the library has its
    ///         context current on this thread
    /// @throws zv::Error (ZV_ERR_GL) when OpenGL cannot allocate the buffers
    ErrorBars(unsigned numPoints, ZVType dataType = ZV_FLOAT32,
              ErrorKind yErrors = ZV_ERRORS_SYMMETRIC, ErrorKind xErrors = ZV_ERRORS_NONE);
    ErrorBars(const ErrorBars& other) = default;             ///< shares other's series
    ErrorBars& operator=(const ErrorBars& other) = default;  ///< shares other's series

    /// Colour of bars and caps, packed 0xRRGGBBAA; the alpha byte is the opacity.
    void setColor(Color color);
    /// Colour of bars and caps; each clamped to [0, 1], opacity 1.
    void setColor(float red, float green, float blue);
    /// Length of each cap in pixels across its bar (6 by default); 0 draws no caps.
    /// @throws zv::ArgumentError (argument 1) for a length that is not finite, below 0 or
    ///         above 256; the length stays
    void setCapSize(float pixels);
    float capSize() const;  ///< the length setCapSize() set, 6 by default
    /// Thickness of bars and caps in pixels (1 by default; drawn rounded to whole pixels, at
    /// least 1).
    /// @throws zv::ArgumentError (argument 1) for a width that is not finite, 0 or below, or
    ///         above 256; the width stays
    void setLineWidth(float pixels);
    float lineWidth() const;  ///< the width setLineWidth() set, 1 by default

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
    /// Sets the limits to cover every bar (see the class notes) plus 5% on each side,
    /// computed on the GPU; four numbers are read back, which waits for the GPU once.
    /// @throws zv::ArgumentError when every window of the series' group is gone
    void fitAxesToData();
    /// With on, every draw fits the limits from the data of two draws earlier, as
    /// zv::Plot::setAutoFit. Off by default.
    void setAutoFit(bool on);
    bool autoFit() const;  ///< whether the limits follow the data

    /// Name of the GL_ARRAY_BUFFER of the points, x0, y0, x1, y1, ...
    unsigned vbo() const;
    /// Its size in bytes: 2 x numPoints x bytes per element.
    size_t size() const;
    /// Name of the GL_ARRAY_BUFFER of the y errors; 0 with ZV_ERRORS_NONE in y.
    unsigned yErrorVbo() const;
    /// Its size in bytes: 1 (symmetric) or 2 (asymmetric) x numPoints x bytes per element.
    size_t yErrorSize() const;
    /// Name of the GL_ARRAY_BUFFER of the x errors; 0 with ZV_ERRORS_NONE in x.
    unsigned xErrorVbo() const;
    /// Its size in bytes, as yErrorSize().
    size_t xErrorSize() const;

    /// The object the handles share, as every series gives it to windows and charts.
    std::shared_ptr<internal::AbstractChart2D> chartObject() const override;
    /// The internal record, for the library's own use.
    internal::_ErrorBars* get() const { return mValue.get(); }

private:
    std::shared_ptr<internal::_ErrorBars> mValue;
};

}  // namespace zv
