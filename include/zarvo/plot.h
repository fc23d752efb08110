#pragma once
/// @file zarvo/plot.h
/// zv::Plot: a line or scatter plot of points the application writes on the GPU.

#include <cstddef>

#include "zarvo/defines.h"

namespace internal {
class _Plot;
}

namespace zv {

/// A plot of numPoints (x, y) points inside a chart frame with white border, nine ticks per
/// axis, tick labels and optional axis titles. The application writes the points into the
/// vertex buffer vbo() (size() bytes): x0, y0, x1, y1, ... tightly packed in the plot's
/// element type, in axis units (no normalisation). The axis limits map onto the frame.
///
/// Create it with a window of the share group it will be drawn in current. Copies share one
/// plot: a colour, limit or title set through one is seen through all.
class ZV_API Plot {
public:
    /// @param plotType ZV_PLOT_SCATTER for markers only; any other value draws a line
    /// @param markerType marker drawn at every point (ZV_MARKER_NONE for none)
    /// @throws zv::TypeError (argument 1) for ZV_INT8 or an unknown type
    /// @throws zv::DimensionError (argument 1) for more than 2^31 - 1 points, what one draw
    ///         call can take, before anything is allocated
    /// @throws zv::Error (ZV_ERR_GL) when OpenGL cannot allocate the vertex buffer
    Plot(unsigned numPoints, ZVType dataType, ZVPlotType plotType = ZV_PLOT_LINE,
         ZVMarkerType markerType = ZV_MARKER_NONE);
    Plot(const Plot& other);             ///< shares other's plot
    Plot& operator=(const Plot& other);  ///< makes this handle share other's plot
    ~Plot();

    /// Line and marker colour, packed 0xRRGGBBAA.
    void setColor(Color color);
    /// Line and marker colour; each component clamped to [0, 1], alpha 1.
    void setColor(float red, float green, float blue);
    /// Axis limits, maximum before minimum. Nothing is rejected: reversed limits mirror the
    /// graph, limits closer than 0.001 collapse that axis onto the frame's edge.
    void setAxesLimits(float xmax, float xmin, float ymax, float ymin);
    void setXAxisTitle(const char* title);  ///< null or empty: no title
    void setYAxisTitle(const char* title);  ///< drawn stacked, one character a line
    float xmax() const;
    float xmin() const;
    float ymax() const;
    float ymin() const;
    /// Sets the limits to the range of the points in the buffer plus 5% of it on each side
    /// (an axis whose points all have one value v gets v ± 5% of v, or ± 0.5 around 0).
    /// The range is computed on the GPU from the buffer; only four numbers are read back,
    /// which waits for the GPU once. Points with a NaN or infinite coordinate are left out;
    /// when no point is left the limits stay as they were. Works whichever context is
    /// current (it switches to a window of the plot's group for the moment when needed).
    /// @throws zv::ArgumentError when every window of the plot's group is gone
    void fitAxesToData();
    /// With on, every draw of the plot sets the limits as fitAxesToData() would, from the
    /// data of two draws earlier: the reduction started in one frame is read two frames
    /// later, when it is long done, so no frame waits for the GPU. The limits thus follow a
    /// drifting stream two frames late. Off by default; setting limits by hand while it is
    /// on lasts until the next draw.
    void setAutoFit(bool on);
    bool autoFit() const;  ///< whether the limits follow the data
    /// Name of the GL_ARRAY_BUFFER the application writes the points into.
    unsigned vbo() const;
    /// Its size in bytes: 2 x numPoints x bytes per element.
    size_t size() const;

    /// The internal record, for the library's own use.
    internal::_Plot* get() const { return mValue; }

private:
    internal::_Plot* mValue;
};

}  // namespace zv
