#include "hist2d/hist2d_impl.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/common.hpp"
#include "exception/raise.hpp"
#include "gl/context.hpp"
#include "gl/gl_alloc.hpp"
#include "gl/limits.hpp"
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

// The buffer texture format and sampler of a point (x, y) of each accepted type, read as
// the point pass's attribute reads it (integers as their values, not normalised).
struct PairFormat {
    GLenum internalFormat;
    const char* sampler;
};
PairFormat pairFormat(GLenum type) {
    switch (type) {
        case GL_UNSIGNED_BYTE: return {GL_RG8UI, "usamplerBuffer"};
        case GL_INT: return {GL_RG32I, "isamplerBuffer"};
        case GL_UNSIGNED_INT: return {GL_RG32UI, "usamplerBuffer"};
        default: return {GL_RG32F, "samplerBuffer"};
    }
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
    // Each fragment of the nx x ny pass takes this many points at most; a pass whose loops
    // would run past what the driver runs in one invocation draws points instead.
    const unsigned long long fragments = static_cast<unsigned long long>(nx) * ny;
    mPerFragment = static_cast<int>(
        std::min<unsigned long long>((npoints + fragments - 1) / fragments, LOOP_BUDGET + 1ull));
    mByFragments = npoints > 0 && imageAtomics() && mPerFragment <= LOOP_BUDGET &&
                   static_cast<long long>(npoints) <= maxTextureBufferTexels();
    if (mByFragments) {
        const PairFormat format = pairFormat(mGLType);
        mAtomicProgram = groupProgram<Hist2DAtomicBinUniforms>(
            std::string("2-D histogram binning by fragments ") + format.sampler,
            [&] {
                const std::string source = std::string(imageAtomicsGlslHeader()) +
                                           "#define POINTS " + format.sampler + "\n" +
                                           gHist2DAtomicBinFragmentShaderBody;
                return makeProgram(gHist2DQuadVertexShaderSrc, source.c_str());
            },
            [](UniformCache& u) {
                u.setConstant(Hist2DAtomicBinUniforms::POINTS, 0);
                u.setConstant(Hist2DAtomicBinUniforms::BIN_COUNTS, 0);
            });
        mTakeProgram = groupProgram<Hist2DTakeUniforms>(
            "2-D histogram counts taken",
            [] {
                const std::string source =
                    std::string(imageAtomicsGlslHeader()) + gHist2DTakeFragmentShaderBody;
                return makeProgram(gHist2DQuadVertexShaderSrc, source.c_str());
            },
            [](UniformCache& u) { u.setConstant(Hist2DTakeUniforms::BIN_COUNTS, 0); });
        // Zeros to start from; every draw leaves zeros again.
        mBinImage = GLTexture::create();
        glBindTexture(GL_TEXTURE_2D, mBinImage.get());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        allocateTexture2D(GL_R32UI, static_cast<GLsizei>(nx), static_cast<GLsizei>(ny),
                          GL_RED_INTEGER, GL_UNSIGNED_INT, CREATE,
                          "the 2-D histogram's bin image");
        const std::vector<GLuint> zeros(static_cast<size_t>(fragments), 0u);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(nx),
                        static_cast<GLsizei>(ny), GL_RED_INTEGER, GL_UNSIGNED_INT, zeros.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        mPointTexture = GLTexture::create();
        glBindTexture(GL_TEXTURE_BUFFER, mPointTexture.get());
        glTexBuffer(GL_TEXTURE_BUFFER, format.internalFormat, mVBO.get());
        glBindTexture(GL_TEXTURE_BUFFER, 0);
    }
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
    if (mByFragments) {
        binByFragments(windowId, w.empty.get());
    } else {
        useBinning(mBinProgram->uniforms, windowId);
        glBindVertexArray(w.points.get());
        if (mPoints > 0) glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(mPoints));
    }

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

void hist2d_impl::useBinning(UniformCache& u, int windowId) const {
    u.use(windowId);
    const float range[4] = {mRange[0], mRange[2], mRange[1], mRange[3]};
    const float bins[2] = {static_cast<float>(mNx), static_cast<float>(mNy)};
    u.setVec4(Hist2DBinUniforms::RANGE, range);
    u.setVec2(Hist2DBinUniforms::BINS, bins);
}

void hist2d_impl::binByFragments(int windowId, GLuint emptyVertexArray) {
    // Image unit 0 as it was, put back at the end.
    GLint image = 0, level = 0, layered = GL_FALSE, layer = 0;
    GLint access = GL_READ_ONLY, format = GL_R32UI;
    glGetIntegeri_v(GL_IMAGE_BINDING_NAME, 0, &image);
    glGetIntegeri_v(GL_IMAGE_BINDING_LEVEL, 0, &level);
    glGetIntegeri_v(GL_IMAGE_BINDING_LAYERED, 0, &layered);
    glGetIntegeri_v(GL_IMAGE_BINDING_LAYER, 0, &layer);
    glGetIntegeri_v(GL_IMAGE_BINDING_ACCESS, 0, &access);
    glGetIntegeri_v(GL_IMAGE_BINDING_FORMAT, 0, &format);

    // The last draw's zeros are written before this draw's atomics add to them.
    glMemoryBarrier(GL_SHADER_IMAGE_ACCESS_BARRIER_BIT);
    glBindImageTexture(0, mBinImage.get(), 0, GL_FALSE, 0, GL_READ_WRITE, GL_R32UI);
    glBindVertexArray(emptyVertexArray);
    UniformCache& a = mAtomicProgram->uniforms;
    useBinning(a, windowId);
    a.setInt(Hist2DAtomicBinUniforms::N, static_cast<GLint>(mPoints));
    a.setInt(Hist2DAtomicBinUniforms::PER_FRAGMENT, mPerFragment);
    glBindTexture(GL_TEXTURE_BUFFER, mPointTexture.get());
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindTexture(GL_TEXTURE_BUFFER, 0);

    // Every add done, the counts move into the float texture (added to its cleared texels).
    glMemoryBarrier(GL_SHADER_IMAGE_ACCESS_BARRIER_BIT);
    mTakeProgram->uniforms.use(windowId);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);

    glBindImageTexture(0, static_cast<GLuint>(image), level, static_cast<GLboolean>(layered),
                       layer, static_cast<GLenum>(access), static_cast<GLenum>(format));
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
