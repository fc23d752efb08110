#pragma once
/// @file zarvo/histogram2d.h
/// zv::Histogram2D: the density of many points (x, y) the application writes on the GPU,
/// counted into a grid of bins on the GPU at every draw and shown through the colour map.

#include <cstddef>
#include <memory>

#include "zarvo/defines.h"
#include "zarvo/series.h"

namespace internal {
class _Histogram2D;
}

namespace zv {

/// A 2-D histogram of npoints points in nx x ny bins, drawn inside a chart frame (alone, in
/// a grid cell, or as a series of a zv::Chart).
///
/// The application writes the points into the vertex buffer vbo() (size() bytes): x then y
/// of each point, tightly packed in the histogram's element type (ZV_FLOAT32, ZV_UINT8,
/// ZV_INT32 or ZV_UINT32, as a plot's). Every draw counts all of them into the bins on the
/// GPU (nothing is read back) and shows the counts through the window's colour map.
///
/// Bins: nx columns and ny rows dividing the rectangle setBinRange() sets ([0, 1] x [0, 1]
/// until then) into equal cells. A point counts in the bin whose lower edges are at or
/// below it; the upper edges of the range belong to the last column and row. Points outside
/// the range, and points with a NaN or infinite coordinate, are not counted. The range is
/// the caller's to set, not the data's, so that the bins stay put from frame to frame and
/// a frame costs one pass over the points; set it once from what the data may span.
/// Counts are 32-bit floats: exact up to 16,777,216 points in one bin.
///
/// Colours: the largest count of the frame (found on the GPU) takes the map's last row. A
/// bin of count c takes row int(t x rows) (the last row for t = 1), with t = c / largest
/// (linear, the default) or log(c) / log(largest) (logarithmic, setLogScale: a bin of 1 point
/// takes the first row). Empty bins are not drawn: the window's background shows through,
/// so that an empty bin is never mistaken for a sparse one.
///
/// Axes: the bins' rectangle is placed on the frame's axes, which setAxesLimits() sets
/// ([0, 1] each until then). fitAxesToData() and auto-fit (setAutoFit) make the limits the
/// bins' rectangle; in a zv::Chart they take it in, as a plot's points, with the chart's
/// margin. The mouse pans and zooms the axes as for a plot: the picture moves and scales,
/// the bins stay as they are (zoom in on a region by setting a narrower bin range). On a
/// logarithmic axis of a zv::Chart the rectangle's edges are placed on that axis and the
/// bins between them evenly.
///
/// In a zv::Chart's legend a 2-D histogram shows a square of its swatch colour (the chart's
/// next colour of its cycle unless setSwatchColor() was called).
///
/// Create it with a window of the share group it will be drawn in current. Copies share one
/// histogram.
class ZV_API Histogram2D : public Series {
public:
    /// @throws zv::TypeError (argument 4 names dataType) for ZV_INT8 or an unknown type
    /// @throws zv::DimensionError (argument 1) for more than 2^31 - 1 points, what one draw
    ///         call can take; (argument 2 or 3) for nx or ny of 0, or above what one texture
    ///         of the context holds (GL_MAX_TEXTURE_SIZE, GL_MAX_VIEWPORT_DIMS); all before
    ///         anything is allocated
    /// @throws zv::Error (ZV_ERR_GL), checked first, when no window of the library has its
    ///         context current on this thread
    /// @throws zv::Error (ZV_ERR_GL) when OpenGL cannot allocate the buffer or the textures
    Histogram2D(unsigned npoints, unsigned nx, unsigned ny, ZVType dataType = ZV_FLOAT32);
    Histogram2D(const Histogram2D& other) = default;             ///< shares other's histogram
    Histogram2D& operator=(const Histogram2D& other) = default;  ///< shares other's histogram

    /// The rectangle the bins divide, minimum before maximum on each axis.
    /// @throws zv::ArgumentError (argument 1 to 4) for a limit that is not finite, (argument
    ///         2 or 4) for a maximum not above its minimum; nothing changes then
    void setBinRange(float xmin, float xmax, float ymin, float ymax);
    float binXMin() const;
    float binXMax() const;
    float binYMin() const;
    float binYMax() const;
    /// Logarithmic (true) or linear (false, the default) colour scaling of the counts.
    void setLogScale(bool on);
    bool logScale() const;
    /// The colour of the histogram's square in a zv::Chart's legend.
    void setSwatchColor(float red, float green, float blue);

    /// Axis limits, maximum before minimum (see zv::Plot::setAxesLimits).
    void setAxesLimits(float xmax, float xmin, float ymax, float ymin);
    /// Round tick values (see zv::Plot::setNiceTicks).
    void setNiceTicks(bool enabled);
    void setXAxisTitle(const char* title);  ///< null or empty: no title
    void setYAxisTitle(const char* title);  ///< drawn stacked, one character a line
    float xmax() const;
    float xmin() const;
    float ymax() const;
    float ymin() const;
    /// Sets the axis limits to the bins' rectangle.
    /// @throws zv::ArgumentError when every window of the histogram's group is gone
    void fitAxesToData();
    /// With on, every draw keeps the limits on the bins' rectangle (as fitAxesToData(),
    /// without waiting for the GPU). Off by default.
    void setAutoFit(bool on);
    bool autoFit() const;

    unsigned points() const;  ///< points counted every draw
    unsigned binsX() const;   ///< bins along x (columns)
    unsigned binsY() const;   ///< bins along y (rows)
    /// Name of the GL_ARRAY_BUFFER the application writes the points into.
    unsigned vbo() const;
    /// Its size in bytes: npoints x 2 x bytes per element.
    size_t size() const;
    /// Name of the GL_TEXTURE_2D (GL_R32F, nx x ny, row 0 the lowest y) holding the counts
    /// of the last draw, for the application's own use (reading, further GPU work).
    unsigned countTexture() const;

    /// The object the handles share, as every series gives it to windows and charts.
    std::shared_ptr<internal::AbstractChart2D> chartObject() const override;
    /// The internal record, for the library's own use.
    internal::_Histogram2D* get() const { return mValue.get(); }

private:
    std::shared_ptr<internal::_Histogram2D> mValue;
};

}  // namespace zv
