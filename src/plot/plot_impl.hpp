#pragma once
// Line and scatter plots: N (x, y) points, written by the application into a vertex buffer
// the plot creates, drawn inside the chart frame as a line strip with optional markers
// (plot_impl) or as markers alone (scatter_impl).

#include <cstddef>
#include <memory>

#include <glm/glm.hpp>

#include "chart/chart_impl.hpp"
#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shared_program.hpp"
#include "gl/uniforms.hpp"
#include "gl/vertex_arrays.hpp"
#include "plot/line_lod.hpp"
#include "plot/marker_coverage.hpp"
#include "range/data_range.hpp"
#include "range/point_source.hpp"
#include "zarvo/data_layout.h"
#include "zarvo/defines.h"

namespace internal {

// A plot is a chart of one series, itself, or a series of a chart of several.
class plot_impl : public AbstractChart2D, public ChartSeries {
public:
    // A plot of room for numPoints points of dataType, laid out in its buffers as `layout`
    // says (uninitialised, GL_DYNAMIC_DRAW): one buffer of 2 x numPoints elements by default.
    // markerType is a ZVMarkerType, kept as an int: any value above ZV_MARKER_STAR (which the
    // enumeration cannot hold) draws filled squares. A window of the share group it will be
    // drawn in must be current. Raises zv::TypeError (argument 1, "Plot::Plot") for ZV_INT8
    // or an unknown type, zv::DimensionError (argument 1) for more points than one draw call
    // takes (2^31 - 1), and zv::ArgumentError (argument 5) for a layout it cannot read (see
    // zarvo/data_layout.h), before any OpenGL object is made.
    plot_impl(unsigned numPoints, zv::ZVType dataType, int markerType,
              const zv::DataLayout& layout = zv::DataLayout());
    ~plot_impl() override;

    // 0xRRGGBBAA, each byte k giving k / 255.
    void setColor(zv::Color color);
    // Components clamped to [0, 1], alpha 1.
    void setColor(float red, float green, float blue);
    const float* color() const { return mColor; }
    // Width of the line in pixels, 1 unless set; widths below MIN_DRAWN_LINE_WIDTH are kept
    // (lineWidth() returns them) but drawn at it. Raises zv::ArgumentError (argument 1,
    // "Plot::setLineWidth") for a width that is not finite, not above 0 or above
    // MAX_LINE_WIDTH; the width stays as it was then.
    void setLineWidth(float pixels);
    float lineWidth() const { return mLineWidth; }
    // How consecutive points are joined: a zv::StepMode, kept as an int (0 straight, 1 the
    // rise first, 2 the rise last, 3 the rise midway, all in the viewport's pixels; see
    // gLineGeometryShaderSrc). Raises zv::ArgumentError (argument 1, "Plot::setStepMode")
    // for any other value; the mode stays then. A stepped line is never reduced.
    void setStepMode(int mode);
    int stepMode() const { return mStepMode; }
    // With on (the default), a line of more than two points per pixel column of its frame,
    // on linear or logarithmic axes, is drawn reduced to four points a column when its points are ordered
    // by x (decided on the GPU; see line_lod.hpp), and markers of as many points, in any
    // order, are stamped per pixel (marker_coverage.hpp). Off draws every segment and every
    // marker, for comparisons.
    void setLevelOfDetail(bool on) { mLodEnabled = on; }
    bool levelOfDetail() const { return mLodEnabled; }
    // The reduction, once a draw has used it.
    const LineLod* lod() const { return mLod.get(); }
    // The markers' coverage stamp, once a draw has used it.
    const MarkerCoverage* markerCoverage() const { return mCoverage.get(); }
    int markerType() const { return mMarkerType; }
    // The capacity: points the buffers hold.
    unsigned numPoints() const { return mNumPoints; }
    // The points drawn: `count` from place `start` on, wrapping from the buffers' last place
    // to the first (the oldest at `start`). Raise zv::ArgumentError (recorded as
    // "Plot::setCount" / "Plot::setRing") for a start or count past the capacity; nothing
    // changes then.
    void setCount(unsigned count);
    void setRing(unsigned start, unsigned count);
    // The ring took `newPoints` points after its newest, over its oldest places once it is
    // full: the count grows up to the capacity, then the start moves past them. The promise
    // that no other point changed lets the next draw's level of detail sum again only the
    // blocks of the new points (see LineLod::noteChanges). Raises zv::ArgumentError
    // (argument 1, recorded as "Plot::advanceRing") for more new points than the capacity.
    void advanceRing(unsigned newPoints);
    unsigned count() const { return mWindow.count; }
    unsigned start() const { return mWindow.start; }
    const PointSource& source() const { return mSource; }
    const zv::DataLayout& layout() const { return mLayout; }

    // The buffer of y (and of x, for layouts of one buffer), and its size.
    GLuint vbo() const override { return mVBO.get(); }
    size_t size() const override { return mVBOSize; }
    // The buffer of x: vbo() but for ZV_LAYOUT_SEPARATE, 0 for ZV_LAYOUT_IMPLICIT_X.
    GLuint xVbo() const { return mSource.implicitX ? 0 : mSource.buffers[0]; }
    size_t xSize() const { return mSource.implicitX ? 0 : mXVBO ? mXVBOSize : mVBOSize; }

    // The graph alone, through the data transform (see dataTransform: it takes points less
    // the axes' origins, which render() hands to the shaders): the line strip, then the
    // markers, in the frame's viewport; the frame's clip decides the reduction's columns.
    virtual void renderGraph(const FrameDraw& frame, glm::mat4 transform);
    // The graph as one series of a chart, through the chart's data transform and axis maps
    // (see dataTransform); the caller clips to the chart's frame and draws the frame
    // afterwards, which leaves program 0 and vertex array 0 (the graph's stay bound).
    // GL_CLIP_DISTANCE0 is as it was afterwards.
    void renderSeries(const FrameDraw& frame, const glm::mat4& transform, const AxisMap& x,
                      const AxisMap& y);
    // One marker, centred on the clip-space point (x, y) of the frame's viewport, for a
    // legend: the first point of the buffer sent there whatever its value. Nothing without
    // markers or points. Leaves the marker program and the plot's vertex array bound.
    void renderMarkerAt(const FrameDraw& frame, float x, float y);

    // As a series (see chart_series.hpp). Its fit alone takes the points' range plus a
    // margin; points with a NaN or infinite coordinate are left out, and no finite point
    // leaves the limits as they are.
    void drawSeries(const FrameDraw& frame, const ChartAxes& axes) override {
        renderSeries(frame, axes.data, axes.x, axes.y);
    }
    SeriesData seriesData() const override {
        SeriesData d;
        d.buffer = mVBO.get();
        d.type = mGLType;
        d.components = 2;
        d.count = mWindow.count;
        d.points = mSource;
        d.window = mWindow;
        return d;
    }
    void addBounds(SeriesBounds& bounds, const DataBounds& range) const override {
        bounds.addPoints(range);
    }
    // A line swatch, and the marker over it.
    void fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const override {
        painter.fill(entry.line, mColor);
    }
    void drawSwatchMarker(const FrameDraw& frame, float x, float y) override {
        renderMarkerAt(frame, x, y);
    }
    bool colorSet() const override { return mColorSet; }
    const char* seriesKind() const override { return "plot"; }
    ChartSeries* asSeries() override { return this; }
    void takeCycleColor(zv::Color color) override { setColor(color); }
    // The OpenGL type of the points' elements.
    GLenum glType() const { return mGLType; }

    void bindResources(int windowId);
    void unbindResources() const { VertexArrayMap::unbind(); }
    const VertexArrayMap& vertexArrays() const { return mVAOs; }

protected:
    const char* fitLabel() const override { return "Plot::fitAxesToData"; }
    // The marker pass alone; nothing when the marker type is ZV_MARKER_NONE. `bound`: the
    // plot's vertex array is bound already (by the line pass).
    void renderMarkers(const FrameDraw& frame, const glm::mat4& transform, bool bound);
    // Puts the marker program in use with this plot's shape, colour and the viewport's size.
    UniformCache& useMarkerProgram(const FrameDraw& frame);
    // Draws the points drawn as `mode` (GL_LINE_STRIP or GL_POINTS) with the plot's vertex
    // array and a program of the data vertex stage bound: from the oldest to the buffers'
    // end, the segment from the last place to the first (a line's ring continues there),
    // then on from the first place to the newest.
    void drawPoints(GLenum mode) const;

private:
    // The element type and the layout in elements, checked before anything is built.
    struct AcceptedType {
        GLenum gl;
        PointSource source;  // buffers not made yet
        size_t bytes[2];     // of the x buffer (0: none of its own) and of the y buffer
    };
    // The type, point count and layout checked, in this order, before the chart is built.
    static AcceptedType accept(unsigned numPoints, zv::ZVType dataType,
                               const zv::DataLayout& layout);
    plot_impl(unsigned numPoints, AcceptedType type, int markerType,
              const zv::DataLayout& layout);
    // Writes the implicit x and the ring into a program of the data vertex stage.
    template <class U>
    void writeSource(UniformCache& u) const;

    unsigned mNumPoints;
    GLenum mGLType;
    zv::DataLayout mLayout;
    PointSource mSource;
    PointWindow mWindow;
    // Points appended since the last draw, and whether only they changed (advanceRing was
    // the only change of the points drawn).
    bool mOnlyAppended = false;
    unsigned mAppendedFirst = 0, mAppendedCount = 0;
    // Opaque amber: stands out on the black background and against the white frame.
    float mColor[4] = {1.0f, 0.6f, 0.1f, 1.0f};
    bool mColorSet = false;
    int mMarkerType;
    GLBuffer mVBO;
    size_t mVBOSize = 0;
    GLBuffer mXVBO;  // ZV_LAYOUT_SEPARATE only
    size_t mXVBOSize = 0;
    GLBuffer mSeam;  // element buffer {last place, first place}, for a ring's wrap
    // The line: the data vertex stage with the frame's plain fragment stage.
    ProgramRef mLineProgram;
    float mLineWidth = 1.0f;
    bool mLineWidthSet = false;  // setLineWidth() was called: the style's width does not apply
    int mStepMode = 0;
    bool mLodEnabled = true;
    std::unique_ptr<LineLod> mLod;  // made on the first draw that reduces
    std::unique_ptr<MarkerCoverage> mCoverage;  // made on the first draw of dense markers
    ProgramRef mMarkerProgram;
    // Origins and logarithmic flags of both axes, as the data vertex stage takes them, for
    // the frame being drawn.
    struct AxisMapping {
        GLfloat origin[2] = {0.0f, 0.0f};
        GLint log[2] = {0, 0};
    };
    AxisMapping mMapping;
    VertexArrayMap mVAOs;
};

// Markers only: with ZV_MARKER_NONE nothing is drawn inside the frame.
class scatter_impl : public plot_impl {
public:
    scatter_impl(unsigned numPoints, zv::ZVType dataType, int markerType,
                 const zv::DataLayout& layout = zv::DataLayout())
        : plot_impl(numPoints, dataType, markerType, layout) {}
    ~scatter_impl() override = default;
    void renderGraph(const FrameDraw& frame, glm::mat4 transform) override;
    // The marker alone, or a line swatch when there is none.
    void fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const override {
        if (markerType() == zv::ZV_MARKER_NONE) plot_impl::fillSwatch(entry, painter);
    }
};

}  // namespace internal
