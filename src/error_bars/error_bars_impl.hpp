#pragma once
// Error bars: N points (x, y) with errors in y and optionally in x, symmetric or not, written
// by the application into buffers the series creates, drawn inside the chart frame as bars
// of whole pixels with caps. A fit covers the bars: a capture pass writes each point's
// extent into a buffer of the series', which the chart's reduction reads.

#include <cstddef>

#include "chart/chart_impl.hpp"
#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shared_program.hpp"
#include "gl/vertex_arrays.hpp"
#include "zarvo/defines.h"
#include "zarvo/error_bars.h"

namespace internal {

// Error bars are a chart of one series, themselves, or a series of a chart of several.
class error_bars_impl : public AbstractChart2D, public ChartSeries {
public:
    static constexpr float DEFAULT_CAP_SIZE = 6.0f;
    static constexpr float MAX_PIXELS = 256.0f;

    // numPoints points of dataType in vbo(); yErrors and xErrors are zv::ErrorKind values,
    // kept as ints: 1 error per point (symmetric) or 2 (below then above; left then right)
    // in the error buffers. A window of the share group it will be drawn in must be current.
    // Raises, before any OpenGL object is made: zv::TypeError (argument 2,
    // "ErrorBars::ErrorBars") for ZV_INT8 or an unknown type, zv::DimensionError (argument
    // 1) for more points than one draw takes, zv::ArgumentError (argument 3 or 4) for a
    // value outside ErrorKind, or (argument 4) for no errors on either axis.
    error_bars_impl(unsigned numPoints, zv::ZVType dataType, int yErrors, int xErrors);
    ~error_bars_impl() override;

    // 0xRRGGBBAA; the alpha byte is the opacity.
    void setColor(zv::Color color);
    // Each clamped to [0, 1], alpha 1.
    void setColor(float red, float green, float blue);
    const float* color() const { return mColor; }
    // Raise zv::ArgumentError (argument 1) for a value not finite, below 0 (cap; 0 for no
    // caps) or not above 0 (width), or above MAX_PIXELS; the value stays then.
    void setCapSize(float pixels);
    float capSize() const { return mCapSize; }
    void setLineWidth(float pixels);
    float lineWidth() const { return mLineWidth; }
    int yErrors() const { return mYErrors; }
    int xErrors() const { return mXErrors; }

    GLuint vbo() const override { return mVBO.get(); }
    size_t size() const override { return mVBOSize; }
    GLuint yErrorVbo() const { return mYErrorVBO.get(); }
    size_t yErrorSize() const { return mYErrorSize; }
    GLuint xErrorVbo() const { return mXErrorVBO.get(); }
    size_t xErrorSize() const { return mXErrorSize; }
    // The extents the last fit's capture wrote: per point its box's low then high corner.
    GLuint extentBuffer() const { return mExtent.get(); }

    // As a series (see chart_series.hpp): the fit covers every point's bars (prepareFit
    // writes their extents); the swatch is a square of the colour.
    void drawSeries(const FrameDraw& frame, const ChartAxes& axes) override;
    void prepareFit(int windowId, bool xLog, bool yLog) override;
    SeriesData seriesData() const override {
        return packedPairs(mExtent.get(), GL_FLOAT, 2 * mNumPoints);
    }
    void addBounds(SeriesBounds& bounds, const DataBounds& range) const override {
        bounds.addPoints(range);
    }
    void fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const override;
    bool colorSet() const override { return mColorSet; }
    void takeCycleColor(zv::Color color) override { setColor(color | 0xFFu); }
    const char* seriesKind() const override { return "error bars"; }
    ChartSeries* asSeries() override { return this; }

    const VertexArrayMap& vertexArrays() const { return mVAOs; }

protected:
    const char* fitLabel() const override { return "ErrorBars::fitAxesToData"; }

private:
    struct Accepted {
        GLenum gl;
    };
    static Accepted accept(unsigned numPoints, zv::ZVType dataType, int yErrors, int xErrors);
    error_bars_impl(unsigned numPoints, int yErrors, int xErrors, Accepted type);
    void bindResources(int windowId);

    unsigned mNumPoints;
    GLenum mGLType;
    int mYErrors;
    int mXErrors;
    float mColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    bool mColorSet = false;
    float mCapSize = DEFAULT_CAP_SIZE;
    float mLineWidth = 1.0f;
    GLBuffer mVBO;
    size_t mVBOSize = 0;
    GLBuffer mYErrorVBO;
    size_t mYErrorSize = 0;
    GLBuffer mXErrorVBO;
    size_t mXErrorSize = 0;
    GLBuffer mExtent;
    ProgramRef mProgram;
    ProgramRef mExtentProgram;
    VertexArrayMap mVAOs;
};

}  // namespace internal
