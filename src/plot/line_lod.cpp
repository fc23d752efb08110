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

// The texture unit the reduction reads the block summaries from (units 0 and 1 hold the
// points).
constexpr GLint SUMMARY_UNIT = 2;

std::string blockDefines() {
    return "#define BLOCK " + std::to_string(LineLod::BLOCK) + "\n#define SUMMARY_WIDTH " +
           std::to_string(LineLod::SUMMARY_WIDTH) + "\n";
}

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
                                       format.sampler + "\n" + blockDefines() +
                                       gLodReduceFragmentShaderBody.data();
            return makeProgram(gLodQuadVertexShaderSrc, source.c_str());
        },
        [](UniformCache& u) {
            setPointSamplers<LodReduceUniforms>(u);
            u.setConstant(LodReduceUniforms::BLOCK_SUMMARY, SUMMARY_UNIT);
        });
    mSummaryProgram = groupProgram<BlockSummaryUniforms>(
        std::string("block summary ") + format.sampler,
        [&] {
            const std::string source = std::string(ZV_GLSL_HEADER "#define POINTS ") +
                                       format.sampler + "\n" + blockDefines() +
                                       gBlockSummaryFragmentBody.data();
            return makeProgram(gLodQuadVertexShaderSrc, source.c_str());
        },
        [](UniformCache& u) { setPointSamplers<BlockSummaryUniforms>(u); });
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

void LineLod::noteChanges(bool appendedOnly, unsigned first, unsigned count) {
    const unsigned cap = mSource.capacity;
    if (!appendedOnly || cap == 0) {
        mSummaryValid = false;
        mPendingCount = 0;
        return;
    }
    if (count == 0) return;
    if (mPendingCount == 0) {
        mPendingFirst = first % cap;
        mPendingCount = std::min(count, cap);
    } else if (first % cap == (mPendingFirst + mPendingCount) % cap) {
        mPendingCount = static_cast<unsigned>(
            std::min<unsigned long long>(cap, 0ull + mPendingCount + count));
    } else {
        mSummaryValid = false;  // not where the last ones ended: sum everything again
        mPendingCount = 0;
    }
}

bool LineLod::updateSummary(int windowId, WindowTargets& w) {
    const unsigned cap = mSource.capacity;
    const unsigned blocks = (cap + BLOCK - 1) / BLOCK;
    const unsigned rows = (blocks + SUMMARY_WIDTH - 1) / SUMMARY_WIDTH;
    if (cap == 0 || rows > static_cast<unsigned>(mMaxTextureSize)) return false;
    if (!mSummary) {
        mSummary = GLTexture::create();
        glBindTexture(GL_TEXTURE_2D_ARRAY, mSummary.get());
        glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA32F, SUMMARY_WIDTH,
                     static_cast<GLsizei>(rows), 2, 0, GL_RGBA, GL_FLOAT, nullptr);
        glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAX_LEVEL, 0);
        glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
        mSummaryRows = rows;
        mSummaryValid = false;
    }
    if (!w.summaryFbo) {
        w.summaryFbo = GLFramebuffer::create();
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, w.summaryFbo.get());
        for (GLint layer = 0; layer < 2; ++layer)
            glFramebufferTextureLayer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + layer,
                                      mSummary.get(), 0, layer);
        static const GLenum BUFFERS[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
        glDrawBuffers(2, BUFFERS);
        w.summaryComplete =
            glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    if (!w.summaryComplete) return false;
    unsigned first = 0, count = blocks;
    if (mSummaryValid) {
        if (mPendingCount == 0) {
            mBlocksSummed = 0;
            return true;
        }
        if (mPendingCount < cap) {
            first = mPendingFirst / BLOCK;
            const unsigned last = ((mPendingFirst + mPendingCount - 1) % cap) / BLOCK;
            count = (last + blocks - first) % blocks + 1;
        }
    }
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, w.summaryFbo.get());
    glViewport(0, 0, static_cast<GLsizei>(SUMMARY_WIDTH), static_cast<GLsizei>(mSummaryRows));
    UniformCache& u = mSummaryProgram->uniforms;
    u.use(windowId);
    setPointFetch<BlockSummaryUniforms>(u, mSource, mWindow);
    u.setInt(BlockSummaryUniforms::BLOCKS, static_cast<GLint>(blocks));
    u.setInt(BlockSummaryUniforms::DIRTY_FIRST, static_cast<GLint>(first));
    u.setInt(BlockSummaryUniforms::DIRTY_COUNT, static_cast<GLint>(count));
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    mSummaryValid = true;
    mPendingCount = 0;
    mBlocksSummed = count;
    return true;
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
    WindowTargets& w = window(windowId);
    if (!w.complete) {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFbo));
        return nullptr;
    }
    glDisable(GL_SCISSOR_TEST);

    // 0. The block summaries, where points changed.
    const GLint unit1 = bindPoints();
    mBlocksUsed = updateSummary(windowId, w);
    GLint unit2 = 0;
    glActiveTexture(GL_TEXTURE0 + SUMMARY_UNIT);
    glGetIntegerv(GL_TEXTURE_BINDING_2D_ARRAY, &unit2);
    glBindTexture(GL_TEXTURE_2D_ARRAY, mBlocksUsed ? mSummary.get() : 0);
    glActiveTexture(GL_TEXTURE0);

    // 1. Four points per column.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, w.reduceFbo.get());
    glViewport(0, 0, mTexels, 1);
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
    reduction.setInt(LodReduceUniforms::BLOCKS_ON, mBlocksUsed ? 1 : 0);
    // Whether columns grow with x: a block of x that never falls is ordered then.
    const float scale = transform[0][0];
    reduction.setInt(LodReduceUniforms::X_DIRECTION, scale > 0.0f ? 1 : scale < 0.0f ? -1 : 0);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glActiveTexture(GL_TEXTURE0 + SUMMARY_UNIT);
    glBindTexture(GL_TEXTURE_2D_ARRAY, static_cast<GLuint>(unit2));
    glActiveTexture(GL_TEXTURE0);
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
