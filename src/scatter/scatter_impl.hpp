#pragma once
// Colour-mapped scatters: N points (x, y) with a value each, and optionally a marker size
// each, written by the application into buffers the scatter creates, drawn inside the chart
// frame as the plot's markers, each in the colour its value picks from the window's colour
// map, with an optional colour bar beside the frame.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "chart/chart_impl.hpp"
#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shared_program.hpp"
#include "gl/vertex_arrays.hpp"
#include "zarvo/defines.h"

namespace internal {

class font_impl;

// A scatter is a chart of one series, itself, or a series of a chart of several.
class mapped_scatter_impl : public AbstractChart2D, public ChartSeries {
public:
    static constexpr float DEFAULT_MARKER_SIZE = 10.0f;
    static constexpr float MAX_MARKER_SIZE = 256.0f;

    // numPoints points of dataType: (x, y) pairs in vbo(), one value each in valueVbo(), and
    // with `sizes` one marker size each in sizeVbo(). markerType is a ZVMarkerType, kept as
    // an int. A window of the share group it will be drawn in must be current. Raises, in
    // this order and before any OpenGL object is made, zv::TypeError (argument 2,
    // "Scatter::Scatter") for ZV_INT8 or an unknown type, zv::DimensionError (argument 1)
    // for more points than one draw takes, zv::ArgumentError (argument 3) for
    // ZV_MARKER_NONE or a value outside ZVMarkerType.
    mapped_scatter_impl(unsigned numPoints, zv::ZVType dataType, int markerType, bool sizes);
    ~mapped_scatter_impl() override;

    // Raises zv::ArgumentError (argument 1 or 2) for an end that is not finite, (2) for ends
    // closer than 2^-110; the range stays then.
    void setValueRange(float min, float max);
    float valueMin() const { return mValueMin; }
    float valueMax() const { return mValueMax; }
    // Raises zv::ArgumentError (argument 1) for a size that is not finite, not above 0 or
    // above MAX_MARKER_SIZE; the size stays then.
    void setMarkerSize(float pixels);
    float markerSize() const { return mMarkerSize; }
    void setColorBar(bool on) { mColorBar = on; }
    bool colorBar() const { return mColorBar; }
    void setColorBarTitle(const char* title) { mBarTitle = title ? title : ""; }
    void setSwatchColor(float red, float green, float blue);
    const float* swatchColor() const { return mSwatch; }
    int markerType() const { return mMarkerType; }
    bool hasSizes() const { return static_cast<bool>(mSizeVBO); }

    GLuint vbo() const override { return mVBO.get(); }
    size_t size() const override { return mVBOSize; }
    GLuint valueVbo() const { return mValueVBO.get(); }
    size_t valueSize() const { return mValueSize; }
    GLuint sizeVbo() const { return mSizeVBO.get(); }
    size_t sizeSize() const { return mSizeVBO ? mValueSize : 0; }

    // As a series (see chart_series.hpp): the fit takes the points' positions; the swatch
    // is a square of the swatch colour (the cycle's unless set).
    void drawSeries(const FrameDraw& frame, const ChartAxes& axes) override;
    SeriesData seriesData() const override { return packedPairs(mVBO.get(), mGLType, mNumPoints); }
    void addBounds(SeriesBounds& bounds, const DataBounds& range) const override {
        bounds.addPoints(range);
    }
    void fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const override {
        painter.fill(entry.bar, mSwatch);
    }
    bool colorSet() const override { return mColorSet; }
    void takeCycleColor(zv::Color color) override;
    const char* seriesKind() const override { return "scatter"; }
    ChartSeries* asSeries() override { return this; }
    // With the colour bar on: the bar's strip at the right of the frame, alone or in a chart.
    int besideWidth(const DrawContext& draw) override;
    void drawBeside(const DrawContext& draw) override;

    void bindResources(int windowId);
    const VertexArrayMap& vertexArrays() const { return mVAOs; }

protected:
    const char* fitLabel() const override { return "Scatter::fitAxesToData"; }

private:
    struct Accepted {
        GLenum gl;
    };
    static Accepted accept(unsigned numPoints, zv::ZVType dataType, int markerType);
    mapped_scatter_impl(unsigned numPoints, int markerType, bool sizes, Accepted type);

    unsigned mNumPoints;
    GLenum mGLType;
    int mMarkerType;
    float mMarkerSize = DEFAULT_MARKER_SIZE;
    float mValueMin = 0.0f;
    float mValueMax = 1.0f;
    bool mColorBar = false;
    std::string mBarTitle;
    std::shared_ptr<font_impl> mBarFont;
    std::vector<std::string> mBarLabels;
    float mLabelsMin = 0.0f;
    float mLabelsMax = 0.0f;
    float mSwatch[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    bool mColorSet = false;
    GLBuffer mVBO;
    size_t mVBOSize = 0;
    GLBuffer mValueVBO;
    size_t mValueSize = 0;
    GLBuffer mSizeVBO;
    ProgramRef mProgram;
    VertexArrayMap mVAOs;
};

}  // namespace internal
