#pragma once
// Bands: the area between two edges of N points each (or one edge and a constant y),
// written by the application into a vertex buffer the band creates, filled inside the chart
// frame in one colour at an opacity.

#include <cstddef>

#include <glm/glm.hpp>

#include "chart/chart_impl.hpp"
#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shared_program.hpp"
#include "gl/uniforms.hpp"
#include "gl/vertex_arrays.hpp"
#include "range/data_range.hpp"
#include "zarvo/band.h"
#include "zarvo/defines.h"

namespace internal {

// A band is a chart of one series, itself, or a series of a chart of several.
class band_impl : public AbstractChart2D, public ChartSeries {
public:
    // What a band's colour is unless set, and what a cycle colour gets.
    static constexpr float DEFAULT_OPACITY = 0.4f;

    // A band of numPoints points per edge of dataType; edges is a zv::BandEdges, kept as an
    // int: ZV_BAND_TO_BASELINE puts one edge in the buffer (2 x numPoints elements) and the
    // other at the baseline, ZV_BAND_TWO_CURVES both (4 x numPoints, the first edge's points
    // then the second's). A window of the share group it will be drawn in must be current.
    // Raises, in this order and before any OpenGL object is made, zv::TypeError (argument
    // 1, "Band::Band") for ZV_INT8 or an unknown type, zv::DimensionError (argument 1) for
    // more points than one draw call takes and zv::ArgumentError (argument 3) for another
    // edges value.
    band_impl(unsigned numPoints, zv::ZVType dataType, int edges);
    ~band_impl() override;

    // 0xRRGGBBAA, the alpha byte the opacity.
    void setColor(zv::Color color);
    // Each clamped to [0, 1].
    void setColor(float red, float green, float blue, float opacity);
    const float* color() const { return mColor; }
    // Raises zv::ArgumentError (argument 1, "Band::setBaseline") for a value that is not
    // finite; the baseline stays then.
    void setBaseline(float y);
    float baseline() const { return mBaseline; }
    bool toBaseline() const { return mToBaseline; }

    GLuint vbo() const override { return mVBO.get(); }
    size_t size() const override { return mVBOSize; }

    // As a series (see chart_series.hpp): the fit covers both edges' points and the baseline
    // when there is one; the swatch is a square of the colour at its opacity.
    void drawSeries(const FrameDraw& frame, const ChartAxes& axes) override;
    SeriesData seriesData() const override {
        // Both curves' (x, y) pairs, one after the other, reduced as one run of points.
        return packedPairs(mVBO.get(), mGLType, mToBaseline ? mNumPoints : 2 * mNumPoints);
    }
    void addBounds(SeriesBounds& bounds, const DataBounds& range) const override;
    void fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const override;
    bool colorSet() const override { return mColorSet; }
    // The cycle's colour at the default opacity.
    void takeCycleColor(zv::Color color) override;
    const char* seriesKind() const override { return "band"; }
    ChartSeries* asSeries() override { return this; }

    void bindResources(int windowId);
    const VertexArrayMap& vertexArrays() const { return mVAOs; }

protected:
    const char* fitLabel() const override { return "Band::fitAxesToData"; }

private:
    struct AcceptedType {
        GLenum gl;
        bool toBaseline;
    };
    static AcceptedType accept(unsigned numPoints, zv::ZVType dataType, int edges);
    band_impl(unsigned numPoints, AcceptedType type);

    unsigned mNumPoints;
    GLenum mGLType;
    bool mToBaseline;
    // Sky blue at 0.4: the data under it stays visible.
    float mColor[4] = {0.34f, 0.71f, 0.91f, DEFAULT_OPACITY};
    bool mColorSet = false;
    float mBaseline = 0.0f;
    GLBuffer mVBO;
    size_t mVBOSize = 0;
    ProgramRef mProgram;
    VertexArrayMap mVAOs;
};

}  // namespace internal
