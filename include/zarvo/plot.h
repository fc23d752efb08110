#pragma once
/// @file zarvo/plot.h
/// zv::Plot: a line or scatter plot of points the application writes on the GPU.

#include <cstddef>
#include <memory>

#include "zarvo/data_layout.h"
#include "zarvo/defines.h"
#include "zarvo/series.h"

namespace internal {
class _Plot;
}

namespace zv {

/// How a line plot joins consecutive points (see zv::Plot::setStepMode).
enum StepMode : int {
    ZV_STEPS_NONE = 0,  ///< a straight segment from point to point (the default)
    ZV_STEPS_PRE = 1,   ///< the step comes first: up or down at x[i], then across at y[i + 1]
    ZV_STEPS_POST = 2,  ///< across at y[i] to x[i + 1], then up or down: y[i] holds until the next x
    ZV_STEPS_MID = 3    ///< across at y[i] to midway between the points, up or down, across at y[i + 1]
};

/// A plot of up to numPoints (x, y) points inside a chart frame with white border, nine ticks
/// per axis, tick labels and optional axis titles. The application writes the points into
/// the buffer vbo() (size() bytes): by default x0, y0, x1, y1, ... tightly packed in the
/// plot's element type, in axis units (integers of every width are taken as they are, no
/// normalisation). Other layouts (zv::DataLayout) put x and y in two buffers (xVbo() and
/// vbo()), in records of the application's own stride, or make x from the index. The axis
/// limits map onto the frame.
///
/// Data that arrives a little at a time: setCount() draws only the first points written,
/// and setRing() makes the buffer a ring, so a stream writes only its newest points over
/// its oldest and the line runs from the oldest to the newest. Points past those drawn are
/// ignored by the line, the markers, the level of detail and the fit alike, whatever they
/// hold.
///
/// Create it with a window of the share group it will be drawn in current. Copies share one
/// plot: a colour, limit or title set through one is seen through all.
class ZV_API Plot : public Series {
public:
    /// @param plotType ZV_PLOT_SCATTER for markers only; any other value draws a line
    /// @param markerType marker drawn at every point (ZV_MARKER_NONE for none): 10 x 10
    ///        pixels centred on the pixel corner nearest the point
    /// @throws zv::TypeError (argument 1) for ZV_INT8 or an unknown type
    /// @throws zv::DimensionError (argument 1) for more than 2^31 - 1 points, what one draw
    ///         call can take, before anything is allocated
    /// @throws zv::Error (ZV_ERR_GL), checked first, when no window of the library has its
    ///         context current on this thread (none, or the application's own context is)
    /// @param layout where x and y lie in the buffers (see zarvo/data_layout.h); the buffers
    ///        are made the size the layout needs for numPoints points
    /// @throws zv::ArgumentError (argument 5) for a layout the plot cannot read: a stride or
    ///         offset that is not a multiple of the element size, a field outside its record,
    ///         a record of more than 2048 bytes, a step or start that is not finite
    /// @throws zv::Error (ZV_ERR_GL) when OpenGL cannot allocate the vertex buffer
    Plot(unsigned numPoints, ZVType dataType, ZVPlotType plotType = ZV_PLOT_LINE,
         ZVMarkerType markerType = ZV_MARKER_NONE, const DataLayout& layout = DataLayout());
    Plot(const Plot& other) = default;             ///< shares other's plot
    Plot& operator=(const Plot& other) = default;  ///< makes this handle share other's plot

    /// Width of the line in pixels, whatever the window's multisampling (until it is set,
    /// the width the style drawing the plot gives, zv::Style::lineWidth, 1 by default): the
    /// line is drawn as triangles, so every pixel column it crosses gets ink however dense
    /// the points. Segment ends are squared off half a width beyond the point. A width below
    /// 1 pixel is accepted (lineWidth() returns it) but drawn 1 pixel wide, the narrowest
    /// line that still inks every column it crosses. Markers keep their size; a scatter plot
    /// keeps the width for nothing. Needs no current context.
    /// @throws zv::ArgumentError (argument 1) for a width that is not finite, 0 or below, or
    ///         above 1000; the width stays as it was
    void setLineWidth(float pixels);
    float lineWidth() const;  ///< the width setLineWidth() set, 1 before any (the style's is drawn)
    /// Draws the line as steps: each pair of consecutive points is joined by a horizontal
    /// and a vertical piece (ZV_STEPS_PRE, ZV_STEPS_POST) or by horizontal, vertical,
    /// horizontal (ZV_STEPS_MID), of the line's width and colour, with square corners. The
    /// line starts at the first point and ends at the last, as a straight line does. Midway
    /// is taken on the frame: on a logarithmic x axis the rise of ZV_STEPS_MID falls at the
    /// geometric mean of the two x. A pair with a NaN or infinite coordinate is not joined
    /// (the line breaks there), nor a pair of which an end has no logarithm on a logarithmic
    /// axis. Markers stay on the points; a scatter plot keeps the mode for nothing. A stepped
    /// line is drawn segment by segment however dense (a straight line of more points than
    /// pixel columns may be reduced for speed; a stepped one is not), and the fit is that of
    /// the points, which the steps never leave. Needs no current context.
    /// @throws zv::ArgumentError (argument 1) for a value outside StepMode; the mode stays
    void setStepMode(StepMode mode);
    StepMode stepMode() const;  ///< the mode setStepMode() set, ZV_STEPS_NONE by default
    /// Line and marker colour, packed 0xRRGGBBAA.
    void setColor(Color color);
    /// Line and marker colour; each component clamped to [0, 1], alpha 1.
    void setColor(float red, float green, float blue);
    /// Axis limits, maximum before minimum. Reversed limits mirror the graph. However narrow
    /// or far from zero, a range maps onto the frame; only limits single precision cannot
    /// tell apart (equal, or a few units in the last place apart) collapse that axis onto
    /// the frame's left or bottom edge. The labels name their ticks: two decimals where that
    /// is exact enough, else more decimals or scientific notation ("1.5e-05"), one format per
    /// axis; labels that would touch are drawn every second (fourth, ...) one. A y label
    /// always ends before the tick dashes: one too long for the left margin is moved left,
    /// and one wider than the whole margin is written in smaller type (the frame and the
    /// data area keep their size), never over the frame or cut short.
    /// @throws zv::ArgumentError (argument 1 to 4) when an axis is logarithmic (setLogAxes)
    /// and one of its limits is not finite and above zero; nothing changes then
    void setAxesLimits(float xmax, float xmin, float ymax, float ymin);
    /// With true, both axes get ticks at round values (1, 2 or 5 times a power of ten, four
    /// to ten per axis, inside the limits) labelled at the precision of the step; with false
    /// (the default), nine evenly spaced ticks whatever the limits.
    void setNiceTicks(bool enabled);
    /// Makes the x and/or the y axis logarithmic (base 10); false makes it linear again (the
    /// default). The data is taken to log10 on the GPU; points at or below zero on a
    /// logarithmic axis are not drawn, nor the line segments to them. Ticks fall on powers
    /// of ten (with 2 and 5 times them between when few decades show), labelled "0.001" ...
    /// "1000" or "1e-6" ... "1e+6". Set positive limits first.
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
    /// Sets the limits to the range of the points in the buffer plus 5% of it on each side
    /// (an axis whose points all have one value v gets v ± 5% of v, or ± 0.5 around 0).
    /// The limits are always finite: a margin that would pass the largest float stops at
    /// ±FLT_MAX, so points at ±FLT_MAX lie on the frame's edge. On a logarithmic axis the
    /// margin is 5% of the decades spanned, applied as a factor (data from 1 to 10^4 get
    /// 10^-0.2 to 10^4.2), so the limits stay above zero; an axis whose points reach 0 or
    /// below keeps its limits, since a logarithmic axis cannot show them.
    /// The range is computed on the GPU from the buffer; only four numbers are read back,
    /// which waits for the GPU once. Points with a NaN or infinite coordinate are left out;
    /// when no point is left the limits stay as they were. Works whichever context is
    /// current (it switches to a window of the plot's group for the moment when needed).
    /// Every point counts, however many: the work is split to fit the driver's limits
    /// (loop lengths, GL_MAX_TEXTURE_BUFFER_SIZE). The application's OpenGL bindings are left
    /// as found; its transform feedback, active or paused, is paused for the moment and
    /// resumed as it was.
    /// @throws zv::ArgumentError when every window of the plot's group is gone
    void fitAxesToData();
    /// With on, every draw of the plot sets the limits as fitAxesToData() would, from the
    /// data of two draws earlier: the reduction started in one frame is read two frames
    /// later, when it is long done, so no frame waits for the GPU. The limits thus follow a
    /// drifting stream two frames late. Off by default; setting limits by hand while it is
    /// on lasts until the next draw. Panning or zooming the plot with the mouse turns it off,
    /// a double click on the plot turns it back on (see zv::Window::setInteractive).
    void setAutoFit(bool on);
    bool autoFit() const;  ///< whether the limits follow the data
    /// Draws only `count` points (all numPoints at first): the first `count` of the buffer,
    /// or with a ring (setRing), `count` from the ring's start. Points past them are ignored
    /// by the line, the markers, the level of detail and fitAxesToData() / auto-fit, so a
    /// buffer filling up needs no padding. Takes effect from the next draw or fit. Needs no
    /// current context.
    /// @throws zv::ArgumentError (argument 1) for a count above numPoints, the capacity the
    ///         plot was made with; the count stays as it was
    void setCount(unsigned count);
    unsigned count() const;  ///< the points drawn (numPoints unless set)
    /// Makes the buffer a ring: the oldest point drawn is at place `start` (0 to numPoints -
    /// 1, in points from the buffer's first), then `count` points in all from it, wrapping
    /// from the buffer's last place to its first. The line runs from the oldest to the
    /// newest: the segment from the last place to the first is drawn (the ring goes on
    /// there), none from the newest back to the oldest. So a stream writes only its newest
    /// points, over the oldest, and moves the start past them: setRing(next, numPoints).
    /// The level of detail checks the ring's order (oldest to newest) for x, and the markers
    /// and the fit take the same points. An implicit x (zv::DataLayout::implicitX) counts
    /// from the oldest point. setRing(0, n) is setCount(n) of a plain buffer. Needs no
    /// current context.
    /// @throws zv::ArgumentError (argument 1) for a start at or past numPoints (a plot of no
    ///         points takes 0 only), (argument 2) for a count above numPoints; nothing changes
    void setRing(unsigned start, unsigned count);
    /// A stream's cheap step: tells that `newPoints` points were written after the newest
    /// drawn (from place (start + count) mod numPoints on, wrapping), over the oldest once
    /// the ring is full. The count grows up to numPoints, then the start moves past the new
    /// points, as setRing would be told. It also promises that no other point drawn changed
    /// since the last draw, which lets the next draw's level of detail read only the new
    /// points' share of the buffer instead of every point: a ring of 10^6 points taking 10^4
    /// a frame then costs a fraction of drawing all of them anew. Points written elsewhere
    /// need setRing, setCount or a draw without advanceRing, which read every point again.
    /// advanceRing(0) tells that nothing changed. Needs no current context.
    /// @throws zv::ArgumentError (argument 1) for more new points than numPoints; nothing
    ///         changes then
    void advanceRing(unsigned newPoints);
    unsigned start() const;  ///< the ring's start (0 unless set)
    unsigned capacity() const;  ///< numPoints, the points the buffers hold
    /// The layout the plot was made with.
    DataLayout layout() const;
    /// Name of the GL_ARRAY_BUFFER the application writes the points into: the only buffer
    /// of an interleaved or strided layout, the y values of a separate or implicit-x one.
    unsigned vbo() const;
    /// Its size in bytes: 2 x numPoints x bytes per element by default, numPoints x stride
    /// for a strided layout, numPoints x bytes per element for the others.
    size_t size() const;
    /// Name of the buffer of x values: vbo() for layouts of one buffer, a buffer of its own
    /// for ZV_LAYOUT_SEPARATE, 0 for ZV_LAYOUT_IMPLICIT_X (no x is stored).
    unsigned xVbo() const;
    /// Its size in bytes (0 for an implicit x; size() when it is vbo()).
    size_t xSize() const;

    /// The object the handles share, as every series gives it to windows and charts.
    std::shared_ptr<internal::AbstractChart2D> chartObject() const override;
    /// The internal record, for the library's own use.
    internal::_Plot* get() const { return mValue.get(); }

private:
    std::shared_ptr<internal::_Plot> mValue;
};

}  // namespace zv
