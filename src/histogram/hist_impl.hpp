#pragma once
// Histograms: the frequencies of a fixed number of bins, written by the application into a
// vertex buffer the histogram creates, drawn as bars inside the chart frame. The bins divide
// the frame's width into equal slots from left to right whatever the x limits; every bar
// stands on the frame's bottom edge and is freq / ymax of the frame's height tall.

#include <cstddef>
#include <memory>

#include <glm/glm.hpp>

#include "chart/chart_impl.hpp"
#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shared_program.hpp"
#include "gl/uniforms.hpp"
#include "gl/vertex_arrays.hpp"
#include "histogram/hist_columns.hpp"
#include "range/data_range.hpp"
#include "zarvo/defines.h"

namespace internal {

// A histogram is a chart of one series, itself, or a series of a chart of several.
class hist_impl : public AbstractChart2D, public ChartSeries {
public:
    // A histogram of nbins bins of dataType (0 bins draw only the frame), with a buffer of
    // nbins elements (uninitialised, GL_DYNAMIC_DRAW). A window of the share group it will
    // be drawn in must be current. Raises zv::TypeError (argument 1, "Histogram::Histogram")
    // for ZV_INT8 or an unknown type, and zv::DimensionError (argument 1) for more bins than
    // one draw call takes (2^31 - 1), before any OpenGL object is made.
    hist_impl(unsigned nbins, zv::ZVType dataType);
    ~hist_impl() override;

    // Stores the components as given, alpha 1.
    void setBarColor(float red, float green, float blue);
    const float* barColor() const { return mBarColor; }
    // With on (the default), more bins than the frame has pixel columns are drawn one bar
    // per column at the column's highest bin (see hist_columns.hpp); off draws every bin,
    // for comparisons.
    void setColumnBars(bool on) { mColumnBarsEnabled = on; }
    // The column bars, once a draw has used them.
    const HistColumns* columnBars() const { return mColumns.get(); }
    unsigned bins() const { return mBins; }

    GLuint vbo() const override { return mVBO.get(); }
    size_t size() const override { return mVBOSize; }

    // Drawn alone or in a chart, on a logarithmic y axis a bar rises from the frame's
    // bottom edge (ymin) to its frequency's place on the axis; on a logarithmic x axis only
    // the ticks change, the bins still share the width equally (suited to bins spaced by a
    // factor).
    // The bars alone, through the frame's transform (chart coordinates to the viewport's clip
    // space), each freq / ymax of the frame tall: alone with the histogram's own ymax, in a
    // chart with the chart's. The caller clips to the frame, whose columns decide whether
    // bars are drawn a column each; the bar program and vertex array stay bound.
    // On a logarithmic y axis (yAxis.log) a bar rises from the bottom edge to its
    // frequency's place on that axis instead.
    void renderBars(const FrameDraw& frame, float ymax, const AxisMap& yAxis);

    // As a series (see chart_series.hpp): bars bring y from 0 to the largest finite
    // frequency and nothing in x.
    void drawSeries(const FrameDraw& frame, const ChartAxes& axes) override {
        renderBars(frame, axes.ymax, axes.y);
    }
    SeriesData seriesData() const override { return {mVBO.get(), mGLType, 1, mBins, {}, {}}; }
    void addBounds(SeriesBounds& bounds, const DataBounds& range) const override {
        bounds.addBars(range);
    }
    void fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const override {
        painter.fill(entry.bar, mBarColor);
    }
    bool colorSet() const override { return mColorSet; }
    const char* seriesKind() const override { return "histogram"; }
    ChartSeries* asSeries() override { return this; }
    void takeCycleColor(zv::Color color) override;
    // The bins fill the width whatever the x limits; the bars scale with ymax and stand on
    // the bottom edge, except on a logarithmic y axis, where they follow both limits.
    bool fillsWidth() const override { return true; }
    bool standsOnBottom() const override { return !yLog(); }
    // The OpenGL type of the frequencies.
    GLenum glType() const { return mGLType; }

    void bindResources(int windowId);
    void unbindResources() const { VertexArrayMap::unbind(); }
    const VertexArrayMap& vertexArrays() const { return mVAOs; }

protected:
    const char* fitLabel() const override { return "Histogram::fitAxesToData"; }
    // Alone: y from 0 to 5% above the largest finite frequency, so the tallest bar shows
    // whole (on a logarithmic y axis the bars stand on ymin, which stays, and the room
    // above is 5% of the decades); x stays. No positive finite frequency leaves the limits
    // as they are.
    void applyFit(const SeriesBounds& bounds) override;

private:

    struct AcceptedType {
        GLenum gl;
    };
    // The type and bin count checked, in this order, before the chart is built.
    static AcceptedType accept(unsigned nbins, zv::ZVType dataType);
    hist_impl(unsigned nbins, AcceptedType type);

    GLenum mGLType;
    unsigned mBins;
    // Opaque sky blue: stands out on the black background and against the white frame.
    float mBarColor[4] = {0.3f, 0.6f, 1.0f, 1.0f};
    bool mColorSet = false;
    GLBuffer mVBO;
    size_t mVBOSize = 0;
    ProgramRef mBarProgram;
    bool mColumnBarsEnabled = true;
    std::unique_ptr<HistColumns> mColumns;  // made on the first draw with more bins than columns
    VertexArrayMap mVAOs;
};

}  // namespace internal
