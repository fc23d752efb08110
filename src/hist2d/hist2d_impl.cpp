#include "hist2d/hist2d_impl.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/common.hpp"
#include "exception/raise.hpp"
#include "gl/context.hpp"
#include "gl/gl_alloc.hpp"
#include "gl/state_guard.hpp"
#include "gl/uniforms.hpp"
#include "hist2d/hist2d_shaders.hpp"

namespace internal {

namespace {

constexpr const char* CREATE = "Histogram2D::Histogram2D";

// The most bins one axis takes: the count texture's size and the viewport that bins into it.
GLint maxBinsPerAxis() {
    GLint texture = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    return std::min(texture, std::min(viewport[0], viewport[1]));
}

void checkBins(unsigned bins, int argIndex, const char* axis, GLint most) {
    if (bins == 0) {
        ZV_FAIL_ARG(Hist2DNoBins, CREATE, argIndex, axis);
    }
    if (bins > static_cast<unsigned>(most)) {
        ZV_FAIL_ARG(Hist2DTooManyBins, CREATE, argIndex, bins, axis, most);
    }
}

// A float texture of width x height texels, nearest filtering, filled with zeros.
GLTexture makeCountTexture(GLsizei width, GLsizei height, const char* what) {
    GLTexture texture = GLTexture::create();
    glBindTexture(GL_TEXTURE_2D, texture.get());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    allocateTexture2D(GL_R32F, width, height, GL_RED, GL_FLOAT, CREATE, what);
    return texture;
}

}  // namespace

hist2d_impl::hist2d_impl(unsigned npoints, unsigned nx, unsigned ny, zv::ZVType dataType)
    : hist2d_impl(npoints, nx, ny, accept(npoints, nx, ny, dataType)) {}

hist2d_impl::Accepted hist2d_impl::accept(unsigned npoints, unsigned nx, unsigned ny,
                                          zv::ZVType dataType) {
    // The element type is the constructor's last argument.
    const bool accepted = dataType == zv::ZV_UINT8 || dataType == zv::ZV_INT32 ||
                          dataType == zv::ZV_UINT32 || dataType == zv::ZV_FLOAT32;
    if (!accepted) ZV_FAIL(Hist2DDataType, CREATE, dataType);
    const GLenum gl = ZVTypeToGLenum(dataType);
    checkDrawCount(npoints, CREATE, "points");
    const GLint most = maxBinsPerAxis();
    checkBins(nx, 2, "x", most);
    checkBins(ny, 3, "y", most);
    return Accepted{gl};
}

hist2d_impl::hist2d_impl(unsigned npoints, unsigned nx, unsigned ny, Accepted type)
    : mGLType(type.gl), mPoints(npoints), mNx(nx), mNy(ny) {
    GLStateGuard guard;
    mBinProgram = groupProgram<Hist2DBinUniforms>("2-D histogram binning", [] {
        return makeProgram(gHist2DBinVertexShaderSrc, gHist2DBinFragmentShaderSrc);
    });
    mMaxProgram = groupProgram<Hist2DMaxUniforms>(
        "2-D histogram largest count",
        [] { return makeProgram(gHist2DMaxVertexShaderSrc, gHist2DMaxFragmentShaderSrc); },
        [](UniformCache& u) { u.setConstant(Hist2DMaxUniforms::COUNTS, 0); });
    mShowProgram = groupProgram<Hist2DShowUniforms>(
        "2-D histogram",
        [] { return makeProgram(gHist2DShowVertexShaderSrc, gHist2DShowFragmentShaderSrc); },
        [](UniformCache& u) {
            const GLuint program = u.program();
            glUniformBlockBinding(program, glGetUniformBlockIndex(program, "ColorMap"), 0);
            u.setConstant(Hist2DShowUniforms::COUNTS, 0);
            u.setConstant(Hist2DShowUniforms::MAX_COUNT, 1);
        });
    mVBOSize = static_cast<size_t>(npoints) * 2 * bytesPerElement(mGLType);
    mVBO = makeDataBuffer(GL_ARRAY_BUFFER, mVBOSize, GL_DYNAMIC_DRAW, CREATE,
                          "the 2-D histogram's point buffer");
    mExtent = makeDataBuffer(GL_ARRAY_BUFFER, 4 * sizeof(float), GL_DYNAMIC_DRAW, CREATE,
                             "the 2-D histogram's extent buffer");
    mCounts = makeCountTexture(static_cast<GLsizei>(nx), static_cast<GLsizei>(ny),
                               "the 2-D histogram's count texture");
    mMax = makeCountTexture(1, 1, "the 2-D histogram's largest count");
    setBinRange(0.0f, 1.0f, 0.0f, 1.0f);
    setAxesLimits(1.0f, 0.0f, 1.0f, 0.0f, CREATE);
    SeriesSlot self;
    self.series = this;
    self.key = this;
    series().push_back(std::move(self));
}

// The per-window framebuffers and vertex arrays go first, then textures, buffers, programs.
hist2d_impl::~hist2d_impl() = default;

void hist2d_impl::setBinRange(float xmin, float xmax, float ymin, float ymax, const char* label) {
    const float v[4] = {xmin, xmax, ymin, ymax};
    for (int i = 0; i < 4; ++i) {
        if (!std::isfinite(v[i])) {
            ZV_FAIL_ARG(Hist2DLimitNotFinite, label, i + 1);
        }
    }
    if (!(xmax > xmin)) {
        ZV_FAIL(Hist2DXRangeEmpty, label);
    }
    if (!(ymax > ymin)) {
        ZV_FAIL(Hist2DYRangeEmpty, label);
    }
    // Bins narrower than a float step would all fall onto the same few values.
    if (!(static_cast<float>(xmax - xmin) > 0.0f) || !std::isfinite(xmax - xmin) ||
        !(static_cast<float>(ymax - ymin) > 0.0f) || !std::isfinite(ymax - ymin)) {
        ZV_FAIL(Hist2DRangeTooWide, label);
    }
    std::copy(v, v + 4, mRange);
    // The corners a fit reduces: uploaded now, in a context of the group, so that a fit
    // before the next draw sees them.
    ContextScope scope(group());
    if (!scope.ok()) return;  // no window left: nothing will be drawn or fitted
    const float corners[4] = {xmin, ymin, xmax, ymax};
    GLint previous = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previous);
    glBindBuffer(GL_ARRAY_BUFFER, mExtent.get());
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(corners), corners);
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(previous));
}

void hist2d_impl::setSwatchColor(float red, float green, float blue) {
    mSwatch[0] = red;
    mSwatch[1] = green;
    mSwatch[2] = blue;
    mSwatch[3] = 1.0f;
    mColorSet = true;
}

void hist2d_impl::takeCycleColor(zv::Color c) {
    setSwatchColor(static_cast<float>(c >> 24) / 255.0f,
                   static_cast<float>((c >> 16) & 0xFF) / 255.0f,
                   static_cast<float>((c >> 8) & 0xFF) / 255.0f);
}

void hist2d_impl::applyFit(const SeriesBounds& b) {
    const DataBounds& p = b.points;
    if (p.empty()) return;
    if (p.xmax == xmax() && p.xmin == xmin() && p.ymax == ymax() && p.ymin == ymin()) return;
    setAxesLimits(p.xmax, p.xmin, p.ymax, p.ymin, fitLabel());
}

void hist2d_impl::bin(int windowId) {
    // What the chart draw had, put back at the end; read before this window's objects are
    // made, which binds them.
    GLint framebuffer = 0, viewport[4] = {0, 0, 0, 0};
    GLfloat clear[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    WindowObjects& w = mWindows.get(windowId, [&] {
        WindowObjects made;
        made.counts = GLFramebuffer::create();
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, made.counts.get());
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                               mCounts.get(), 0);
        made.max = GLFramebuffer::create();
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, made.max.get());
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                               mMax.get(), 0);
        made.points = GLVertexArray::create();
        glBindVertexArray(made.points.get());
        glEnableVertexAttribArray(CHART_POINT_LOCATION);
        glBindBuffer(GL_ARRAY_BUFFER, mVBO.get());
        glVertexAttribPointer(CHART_POINT_LOCATION, 2, mGLType, GL_FALSE, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        made.empty = GLVertexArray::create();
        glBindVertexArray(0);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
        return made;
    });

    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    const GLboolean blend = glIsEnabled(GL_BLEND);
    GLint blendFunc[4] = {GL_ONE, GL_ZERO, GL_ONE, GL_ZERO};
    GLint blendEquation[2] = {GL_FUNC_ADD, GL_FUNC_ADD};
    glGetIntegerv(GL_BLEND_SRC_RGB, &blendFunc[0]);
    glGetIntegerv(GL_BLEND_DST_RGB, &blendFunc[1]);
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &blendFunc[2]);
    glGetIntegerv(GL_BLEND_DST_ALPHA, &blendFunc[3]);
    glGetIntegerv(GL_BLEND_EQUATION_RGB, &blendEquation[0]);
    glGetIntegerv(GL_BLEND_EQUATION_ALPHA, &blendEquation[1]);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glBlendEquation(GL_FUNC_ADD);

    // Every point adds 1 to its bin.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, w.counts.get());
    glViewport(0, 0, static_cast<GLsizei>(mNx), static_cast<GLsizei>(mNy));
    glClear(GL_COLOR_BUFFER_BIT);
    UniformCache& b = mBinProgram->uniforms;
    b.use(windowId);
    const float range[4] = {mRange[0], mRange[2], mRange[1], mRange[3]};
    const float bins[2] = {static_cast<float>(mNx), static_cast<float>(mNy)};
    b.setVec4(Hist2DBinUniforms::RANGE, range);
    b.setVec2(Hist2DBinUniforms::BINS, bins);
    glBindVertexArray(w.points.get());
    if (mPoints > 0) glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(mPoints));

    // The largest count, for the colour scale.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, w.max.get());
    glViewport(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBlendEquation(GL_MAX);
    UniformCache& m = mMaxProgram->uniforms;
    m.use(windowId);
    m.setInt(Hist2DMaxUniforms::NX, static_cast<GLint>(mNx));
    glBindVertexArray(w.empty.get());
    glBindTexture(GL_TEXTURE_2D, mCounts.get());
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(mNx * mNy));
    glBindTexture(GL_TEXTURE_2D, 0);

    glBlendEquationSeparate(static_cast<GLenum>(blendEquation[0]),
                            static_cast<GLenum>(blendEquation[1]));
    glBlendFuncSeparate(static_cast<GLenum>(blendFunc[0]), static_cast<GLenum>(blendFunc[1]),
                        static_cast<GLenum>(blendFunc[2]), static_cast<GLenum>(blendFunc[3]));
    if (!blend) glDisable(GL_BLEND);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    if (scissor) glEnable(GL_SCISSOR_TEST);
}

void hist2d_impl::drawSeries(const FrameDraw& f, const ChartAxes& axes) {
    const int windowId = f.draw.windowId;
    // A buffer the application still has mapped cannot be read by the draw.
    glBindBuffer(GL_ARRAY_BUFFER, mVBO.get());
    GLint mapped = GL_FALSE;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_MAPPED, &mapped);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (mapped) {
        ZV_FAIL(Hist2DBufferMapped, "Window::draw");
    }
    bin(windowId);
    if (f.draw.colorMap == 0 || f.draw.colorMapRows == 0) {
        glBindVertexArray(0);
        glUseProgram(0);
        return;
    }
    // The rectangle's corners on the chart's axes (the frame is [-1, 1]^2).
    const float corners[4] = {static_cast<float>(chartPosition(axes.x, mRange[0])),
                              static_cast<float>(chartPosition(axes.y, mRange[2])),
                              static_cast<float>(chartPosition(axes.x, mRange[1])),
                              static_cast<float>(chartPosition(axes.y, mRange[3]))};
    UniformCache& u = mShowProgram->uniforms;
    u.use(windowId);
    u.setMatrix4(Hist2DShowUniforms::TRANSFORM, &f.layout.transform[0][0]);
    u.setVec4(Hist2DShowUniforms::CORNERS, corners);
    u.setFloat(Hist2DShowUniforms::CMAPLEN, static_cast<float>(f.draw.colorMapRows));
    u.setInt(Hist2DShowUniforms::LOG_SCALE, mLogScale ? 1 : 0);
    glBindBufferBase(GL_UNIFORM_BUFFER, 0, f.draw.colorMap);
    glBindTexture(GL_TEXTURE_2D, mCounts.get());
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, mMax.get());
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindBuffer(GL_UNIFORM_BUFFER, 0);
    glBindVertexArray(0);
    glUseProgram(0);
}

}  // namespace internal
