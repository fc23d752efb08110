#include "plot/line_lod.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "chart/chart_shaders.hpp"
#include "gl/context.hpp"
#include "gl/uniforms.hpp"
#include "plot/line_geometry.hpp"

namespace internal {

namespace {
// Reduced points are kept for this many columns at least, so that resizing a window rarely
// makes the texture again.
constexpr unsigned MIN_CAPACITY = 2048;

GLTexture elementTexture(GLuint buffer, GLenum internalFormat) {
    GLTexture t = GLTexture::create();
    glBindTexture(GL_TEXTURE_BUFFER, t.get());
    glTexBuffer(GL_TEXTURE_BUFFER, internalFormat, buffer);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
    return t;
}
}  // namespace

LineLod::LineLod(const PointSource& source) : mSource(source) {
    const ElementFormat format = elementFormat(source.type);
    mSampler = format.sampler;
    mReduceProgram = groupProgram<LodReduceUniforms>(
        std::string("line reduction ") + format.sampler,
        [&] {
            const std::string source = std::string(ZV_GLSL_HEADER "#define POINTS ") +
                                       format.sampler + "\n" +
                                       gLodReduceFragmentShaderBody.data();
            return makeProgram(gLodQuadVertexShaderSrc, source.c_str());
        },
        [](UniformCache& u) { setPointSamplers<LodReduceUniforms>(u); });
    mVerdictProgram = groupProgram<LodVerdictUniforms>("line reduction verdict", [] {
        return makeProgram(gLodQuadVertexShaderSrc, gLodVerdictFragmentShaderSrc);
    });
    mLineProgram = groupProgram<LodLineUniforms>("reduced line", [] {
        return makeProgram(gLodLineVertexShaderSrc, gLineGeometryShaderSrc,
                           gChartFragmentShaderSrc);
    });

    mMaxTexels = maxTextureBufferTexels();
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &mMaxTextureSize);
    // One texture over one buffer serves x and y alike.
    mY = elementTexture(source.buffers[1], format.internalFormat);
    if (source.twoBuffers()) mX = elementTexture(source.buffers[0], format.internalFormat);

    // The verdict pixels are only counted, never read.
    mVerdict = GLTexture::create();
    glBindTexture(GL_TEXTURE_2D, mVerdict.get());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, 1, 1, 0, GL_RED, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
}

// Each window's framebuffers and queries go with their owners, in that window's context.
LineLod::~LineLod() = default;

unsigned LineLod::partsFor(int columns) const {
    const unsigned long long share = 2ull * mN / static_cast<unsigned>(columns);
    return static_cast<unsigned>(std::max(1ull, (share + RUN_BUDGET - 1) / RUN_BUDGET));
}

bool LineLod::worthIt(int columns) const {
    const unsigned long long texels = static_cast<unsigned long long>(mMaxTexels);
    if (columns <= 0 || mN / 2u <= static_cast<unsigned>(columns) ||
        mSource.elements(1) > texels || (!mSource.implicitX && mSource.elements(0) > texels))
        return false;
    const unsigned long long reduced =
        (static_cast<unsigned long long>(columns) + 2u) * partsFor(columns);
    return reduced <= static_cast<unsigned long long>(mMaxTextureSize);
}

void LineLod::reserve(unsigned texels) {
    if (texels <= mCapacity) return;
    unsigned capacity = MIN_CAPACITY;
    while (capacity < texels) capacity *= 2;
    // Never past the largest texture (worthIt keeps `texels` within it).
    capacity = std::max(texels, std::min(capacity, static_cast<unsigned>(mMaxTextureSize)));
    if (!mReduced) mReduced = GLTexture::create();
    glBindTexture(GL_TEXTURE_2D_ARRAY, mReduced.get());
    glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA32F, static_cast<GLsizei>(capacity), 1, 3, 0,
                 GL_RGBA, GL_FLOAT, nullptr);
    // Fetched texel by texel: one level, no filtering.
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
    mCapacity = capacity;
}

LineLod::WindowTargets& LineLod::window(int windowId) {
    WindowTargets& w = mWindows.get(windowId, [&] {
        WindowTargets made;
        made.reduceFbo = GLFramebuffer::create();
        made.verdictFbo = GLFramebuffer::create();
        made.queries[0] = GLQuery::create();
        made.queries[1] = GLQuery::create();
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, made.verdictFbo.get());
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                               mVerdict.get(), 0);
        return made;
    });
    if (w.attachedCapacity != mCapacity) {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, w.reduceFbo.get());
        for (GLint layer = 0; layer < 3; ++layer)
            glFramebufferTextureLayer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + layer,
                                      mReduced.get(), 0, layer);
        static const GLenum BUFFERS[3] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1,
                                          GL_COLOR_ATTACHMENT2};
        glDrawBuffers(3, BUFFERS);
        w.complete = glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, w.verdictFbo.get());
        w.complete = w.complete &&
                     glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        w.attachedCapacity = mCapacity;
    }
    return w;
}

const LineLod::WindowTargets* LineLod::reduce(int windowId, const glm::mat4& transform,
                                              const float origin[2], const int logAxes[2],
                                              const int frame[4], const int viewport[4]) {
    const int columns = frame[2];
    mParts = partsFor(columns);
    mTexels = (columns + 2) * static_cast<int>(mParts);
    GLint drawFbo = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFbo);
    reserve(static_cast<unsigned>(mTexels));
    const WindowTargets& w = window(windowId);
    if (!w.complete) {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFbo));
        return nullptr;
    }
    glDisable(GL_SCISSOR_TEST);

    // 1. Four points per column.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, w.reduceFbo.get());
    glViewport(0, 0, mTexels, 1);
    const GLint unit1 = bindPoints();
    UniformCache& reduction = mReduceProgram->uniforms;
    reduction.use(windowId);
    setPointFetch<LodReduceUniforms>(reduction, mSource, mWindow);
    reduction.setInt(LodReduceUniforms::N, static_cast<GLint>(mN));
    reduction.setInt(LodReduceUniforms::COLUMNS, columns);
    reduction.setMatrix4(LodReduceUniforms::TRANSFORM, &transform[0][0]);
    reduction.setVec2(LodReduceUniforms::ORIGIN, origin);
    reduction.setVec2(LodReduceUniforms::HALF_VIEWPORT, halfViewportOf(viewport).data());
    reduction.setFloat(LodReduceUniforms::FIRST_COLUMN,
                       static_cast<float>(frame[0] - viewport[0]));
    reduction.setInt(LodReduceUniforms::RUN_BUDGET, RUN_BUDGET);
    reduction.setInt(LodReduceUniforms::PARTS, static_cast<GLint>(mParts));
    reduction.setIVec2(LodReduceUniforms::LOG_AXES, logAxes);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    unbindPoints(unit1);

    // 2. The verdict, kept in two queries.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, w.verdictFbo.get());
    glViewport(0, 0, 1, 1);
    glBindTexture(GL_TEXTURE_2D_ARRAY, mReduced.get());
    UniformCache& verdict = mVerdictProgram->uniforms;
    verdict.use(windowId);
    verdict.setInt(LodVerdictUniforms::TEXELS, mTexels);
    for (int q = 0; q < 2; ++q) {
        verdict.setInt(LodVerdictUniforms::WANT_ORDERED, q == 0 ? 1 : 0);
        glBeginQuery(GL_ANY_SAMPLES_PASSED, w.queries[q].get());
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glEndQuery(GL_ANY_SAMPLES_PASSED);
    }

    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFbo));
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glEnable(GL_SCISSOR_TEST);
    return &w;
}

void LineLod::drawReduced(int windowId, const glm::mat4& transform, const float origin[2],
                          const int logAxes[2], const float color[4], float halfWidth,
                          const int viewport[4], int texels) {
    UniformCache& line = mLineProgram->uniforms;
    line.use(windowId);
    line.setMatrix4(LodLineUniforms::TRANSFORM, &transform[0][0]);
    line.setVec2(LodLineUniforms::ORIGIN, origin);
    line.setVec4(LodLineUniforms::COLOR, color);
    line.setVec2(LodLineUniforms::HALF_VIEWPORT, halfViewportOf(viewport).data());
    line.setFloat(LodLineUniforms::HALF_WIDTH, halfWidth);
    line.setIVec2(LodLineUniforms::LOG_AXES, logAxes);
    // The array texture is still bound on unit 0 from the verdict.
    glDrawArrays(GL_LINE_STRIP, 0, 4 * texels);
}

void LineLod::unbindTextures() {
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
}

GLint LineLod::bindPoints() const {
    return bindPointTextures(mSource.twoBuffers() ? mX.get() : mY.get(), mY.get());
}

void LineLod::unbindPoints(GLint previous) const {
    unbindPointTextures(mSource.twoBuffers(), previous);
}

}  // namespace internal
