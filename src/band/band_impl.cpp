#include "band/band_impl.hpp"

#include <cmath>

#include "band/band_shaders.hpp"
#include "chart/chart_shaders.hpp"
#include "common/common.hpp"
#include "exception/raise.hpp"
#include "gl/gl_alloc.hpp"
#include "gl/state_guard.hpp"

namespace internal {

band_impl::band_impl(unsigned numPoints, zv::ZVType dataType, int edges)
    : band_impl(numPoints, accept(numPoints, dataType, edges)) {}

band_impl::AcceptedType band_impl::accept(unsigned numPoints, zv::ZVType dataType, int edges) {
    const GLenum gl = chartDataType(dataType, "Band::Band");
    checkDrawCount(numPoints, "Band::Band", "points");
    if (edges != zv::ZV_BAND_TWO_CURVES && edges != zv::ZV_BAND_TO_BASELINE) {
        ZV_FAIL(BandEdges, "Band::Band");
    }
    return AcceptedType{gl, edges == zv::ZV_BAND_TO_BASELINE};
}

band_impl::band_impl(unsigned numPoints, AcceptedType type)
    : mNumPoints(numPoints), mGLType(type.gl), mToBaseline(type.toBaseline) {
    GLStateGuard guard;
    const size_t elements = (mToBaseline ? 2u : 4u) * static_cast<size_t>(numPoints);
    mVBOSize = elements * bytesPerElement(mGLType);
    mVBO = makeDataBuffer(GL_ARRAY_BUFFER, mVBOSize, GL_DYNAMIC_DRAW, "Band::Band",
                          "the band's vertex buffer");
    mProgram = groupProgram<BandUniforms>("band", [] {
        return makeProgram(gBandVertexShaderSrc, gBandGeometryShaderSrc,
                           gChartFragmentShaderSrc);
    });
    SeriesSlot self;
    self.series = this;
    self.key = this;
    series().push_back(std::move(self));
}

// The owners go in reverse order of declaration: vertex arrays first, programs and buffers
// after the objects that use them.
band_impl::~band_impl() = default;

void band_impl::setColor(zv::Color color) {
    mColor[0] = static_cast<float>(color >> 24) / 255.0f;
    mColor[1] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
    mColor[2] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
    mColor[3] = static_cast<float>(color & 0xFF) / 255.0f;
    mColorSet = true;
}

void band_impl::setColor(float red, float green, float blue, float opacity) {
    mColor[0] = clampTo01(red);
    mColor[1] = clampTo01(green);
    mColor[2] = clampTo01(blue);
    mColor[3] = clampTo01(opacity);
    mColorSet = true;
}

void band_impl::takeCycleColor(zv::Color color) {
    setColor((color & 0xFFFFFF00u) | static_cast<zv::Color>(std::lround(DEFAULT_OPACITY * 255)));
}

void band_impl::setBaseline(float y) {
    if (!std::isfinite(y)) {
        ZV_FAIL(BandBaseline, "Band::setBaseline");
    }
    mBaseline = y;
}

void band_impl::bindResources(int windowId) {
    mVAOs.bind(windowId, [&] {
        glBindBuffer(GL_ARRAY_BUFFER, mVBO.get());
        glEnableVertexAttribArray(CHART_POINT_LOCATION);
        glVertexAttribPointer(CHART_POINT_LOCATION, 2, mGLType, GL_FALSE, 0, nullptr);
        if (!mToBaseline) {
            // The second edge's points follow the first's.
            const size_t offset = 2 * static_cast<size_t>(mNumPoints) * bytesPerElement(mGLType);
            glEnableVertexAttribArray(BAND_UPPER_LOCATION);
            glVertexAttribPointer(BAND_UPPER_LOCATION, 2, mGLType, GL_FALSE, 0,
                                  reinterpret_cast<const void*>(offset));
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    });
}

// The program and vertex array stay bound: the frame drawn next binds its own and leaves
// program 0 and vertex array 0.
void band_impl::drawSeries(const FrameDraw& frame, const ChartAxes& axes) {
    if (mNumPoints < 2) return;
    const int windowId = frame.draw.windowId;
    const GLfloat origin[2] = {static_cast<float>(axes.x.shaderOrigin()),
                               static_cast<float>(axes.y.shaderOrigin())};
    const GLint log[2] = {axes.x.log ? 1 : 0, axes.y.log ? 1 : 0};
    UniformCache& u = mProgram->uniforms;
    u.use(windowId);
    u.setMatrix4(BandUniforms::TRANSFORM, &axes.data[0][0]);
    u.setVec4(BandUniforms::COLOR, mColor);
    u.setVec2(BandUniforms::ORIGIN, origin);
    u.setIVec2(BandUniforms::LOG_AXES, log);
    u.setInt(BandUniforms::TO_BASELINE, mToBaseline ? 1 : 0);
    u.setFloat(BandUniforms::BASELINE, mBaseline);
    bindResources(windowId);
    // Translucent over what the chart drew before; the pieces of one band do not overlap
    // when the edges share ordered x, so each pixel is blended once. The framebuffer's
    // alpha stays as it is: the picture stays opaque.
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    glDrawArrays(GL_LINE_STRIP, 0, static_cast<GLsizei>(mNumPoints));
    glDisable(GL_BLEND);
}

void band_impl::addBounds(SeriesBounds& bounds, const DataBounds& range) const {
    bounds.addPoints(range);
    if (mToBaseline && !range.empty())
        bounds.addPoints(DataBounds{range.xmin, mBaseline, range.xmax, mBaseline});
}

void band_impl::fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const {
    // The band's colour at its opacity over the legend's box, as over the data.
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    painter.fill(entry.bar, mColor);
    glDisable(GL_BLEND);
}

}  // namespace internal
