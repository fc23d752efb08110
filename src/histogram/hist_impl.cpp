#include "histogram/hist_impl.hpp"

#include <cmath>

#include "gl/gl_alloc.hpp"
#include "common/common.hpp"
#include "gl/uniforms.hpp"
#include "gl/check.hpp"
#include "gl/context.hpp"
#include "exception/raise.hpp"
#include "gl/state_guard.hpp"
#include "histogram/hist_shaders.hpp"

namespace internal {

hist_impl::hist_impl(unsigned nbins, zv::ZVType dataType)
    : hist_impl(nbins, accept(nbins, dataType)) {}

hist_impl::AcceptedType hist_impl::accept(unsigned nbins, zv::ZVType dataType) {
    const GLenum gl = chartDataType(dataType, "Histogram::Histogram");
    checkDrawCount(nbins, "Histogram::Histogram", "bins");
    return AcceptedType{gl};
}

hist_impl::hist_impl(unsigned nbins, AcceptedType type) : mGLType(type.gl), mBins(nbins) {
    GLStateGuard guard;
    mBarProgram = groupProgram<HistBarUniforms>("histogram bars", [] {
        return makeProgram(gHistBarVertexShaderSrc, gHistBarFragmentShaderSrc);
    });
    mVBOSize = static_cast<size_t>(nbins) * bytesPerElement(mGLType);
    mVBO = makeDataBuffer(GL_ARRAY_BUFFER, mVBOSize, GL_DYNAMIC_DRAW, "Histogram::Histogram",
                          "the histogram's vertex buffer");
    SeriesSlot self;
    self.series = this;
    self.key = this;
    series().push_back(std::move(self));
}

// The owners go in reverse order of declaration: vertex arrays first, programs and buffers
// after the objects that use them.
hist_impl::~hist_impl() = default;

void hist_impl::setBarColor(float red, float green, float blue) {
    mBarColor[0] = red;
    mBarColor[1] = green;
    mBarColor[2] = blue;
    mBarColor[3] = 1.0f;
    mColorSet = true;
}

void hist_impl::takeCycleColor(zv::Color c) {
    setBarColor(static_cast<float>(c >> 24) / 255.0f, static_cast<float>((c >> 16) & 0xFF) / 255.0f,
                static_cast<float>((c >> 8) & 0xFF) / 255.0f);
}

void hist_impl::bindResources(int windowId) {
    mVAOs.bind(windowId, [&] {
        glEnableVertexAttribArray(CHART_POINT_LOCATION);
        glEnableVertexAttribArray(HIST_FREQ_LOCATION);
        glBindBuffer(GL_ARRAY_BUFFER, rectangleVBO());
        glVertexAttribPointer(CHART_POINT_LOCATION, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, mVBO.get());
        glVertexAttribPointer(HIST_FREQ_LOCATION, 1, mGLType, GL_FALSE, 0, nullptr);
        glVertexAttribDivisor(HIST_FREQ_LOCATION, 1);
    });
}

void hist_impl::renderBars(const FrameDraw& f, float yMax, const AxisMap& yAxis) {
    if (mBins == 0) return;
    const int windowId = f.draw.windowId;
    const glm::mat4& frameTransform = f.layout.transform;
    // Flag, origin and scale of a logarithmic y axis.
    const float logRange[2] = {static_cast<float>(yAxis.origin), static_cast<float>(yAxis.scale)};
    const int* frame = f.clip;
    if (mColumnBarsEnabled && frame[2] > 0 && mBins > static_cast<unsigned>(frame[2]) &&
        !mColumns)
        mColumns.reset(new HistColumns(mVBO.get(), mGLType, mBins));
    if (mColumnBarsEnabled && mColumns && mColumns->applies(frame[2])) {
        bindResources(windowId);
        mColumns->draw(windowId, frameTransform, mBarColor, yMax, yAxis.log, logRange, frame,
                       f.viewport);
        return;
    }
    // Only what changed since the last draw in this window is uploaded.
    UniformCache& u = mBarProgram->uniforms;
    u.use(windowId);
    u.setFloat(HistBarUniforms::NBINS, static_cast<float>(mBins));
    u.setMatrix4(HistBarUniforms::TRANSFORM, &frameTransform[0][0]);
    u.setVec4(HistBarUniforms::BAR_COLOR, mBarColor);
    u.setFloat(HistBarUniforms::YMAX, yMax);
    u.setInt(HistBarUniforms::LOG_Y, yAxis.log ? 1 : 0);
    u.setVec2(HistBarUniforms::LOG_RANGE, logRange);
    bindResources(windowId);
    glDrawArraysInstanced(GL_TRIANGLE_FAN, 0, 4, static_cast<GLsizei>(mBins));
    // The bar program and vertex array stay bound: the frame drawn next binds its own and
    // leaves program 0 and vertex array 0.
}

void hist_impl::applyFit(const SeriesBounds& bounds) {
    const float top = bounds.barsTop;
    // The bars stand on 0 and the tallest reaches a little below the top edge, so that it
    // shows whole; x is not the data's.
    if (!(top > 0.0f)) return;
    // On a logarithmic y axis the bars stand on ymin, which stays; the room above is then a
    // share of the decades shown.
    const float bottom = yLog() ? ymin() : 0.0f;
    if (!(top > bottom)) return;
    const float ceiling = barsHeadroom(bottom, top, yLog());
    if (ceiling == ymax() && ymin() == bottom) return;
    setAxesLimits(xmax(), xmin(), ceiling, bottom, fitLabel());
}

}  // namespace internal
