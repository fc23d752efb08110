#include "plot/marker_coverage.hpp"

#include <algorithm>

#include "gl/uniforms.hpp"
#include "plot/line_lod.hpp"
#include "plot/marker_lod_shaders.hpp"

namespace internal {

namespace {
// The textures are made at least this size, so that resizing a window rarely makes them again.
constexpr unsigned MIN_WIDTH = 1024;
constexpr unsigned MIN_CHUNKS = 8;

// Corner columns and rows that hold the centre of a marker reaching into a frame of `pixels`:
// 4 before its first pixel to 5 after its last (a marker spans 10 pixels around its corner).
int reach(int pixels) { return pixels + 9; }

unsigned grown(unsigned minimum, unsigned needed) {
    unsigned size = minimum;
    while (size < needed) size *= 2;
    return size;
}

void allocate(GLTexture& texture, GLenum format, GLenum external, unsigned w, unsigned h) {
    if (!texture) texture = GLTexture::create();
    glBindTexture(GL_TEXTURE_2D, texture.get());
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), static_cast<GLsizei>(w),
                 static_cast<GLsizei>(h), 0, external, GL_UNSIGNED_INT, nullptr);
    // Fetched texel by texel: one level, no filtering.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

bool attach(GLuint fbo, GLuint texture) {
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    return glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}
}  // namespace

MarkerCoverage::MarkerCoverage() {
    mCoverageProgram = groupProgram<MarkerCoverageUniforms>("marker coverage", [] {
        return makeProgram(gMarkerCoverageVertexShaderSrc, gMarkerCoverageFragmentShaderSrc);
    });
    mPackProgram = groupProgram<MarkerPackUniforms>("marker coverage packing", [] {
        return makeProgram(gLodQuadVertexShaderSrc, gMarkerPackFragmentShaderSrc);
    });
    mStampProgram = groupProgram<MarkerStampUniforms>("marker stamp", [] {
        return makeProgram(gLodQuadVertexShaderSrc, gMarkerStampFragmentShaderSrc);
    });
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &mMaxTextureSize);
}

// Each window's framebuffers go with their owners, in that window's context.
MarkerCoverage::~MarkerCoverage() = default;

const MarkerCoverage::WindowTargets* MarkerCoverage::targets(int windowId, unsigned width,
                                                             unsigned chunks) {
    const unsigned max = static_cast<unsigned>(mMaxTextureSize);
    if (width > max || (chunks + 1) > max || static_cast<unsigned long long>(chunks) *
                                                    MARKER_ROWS_PER_TEXEL > max)
        return nullptr;
    if (width > mSize[0] || chunks + 1 > mSize[1]) {
        mSize[0] = grown(MIN_WIDTH, width);
        mSize[1] = grown(MIN_CHUNKS, chunks + 1);
        // The coverage needs `chunks` rows of 128 corners; its height stays within the limit.
        const unsigned coverageRows =
            std::min(max, (mSize[1] - 1) * static_cast<unsigned>(MARKER_ROWS_PER_TEXEL));
        allocate(mCoverage, GL_R8UI, GL_RED_INTEGER, mSize[0], coverageRows);
        allocate(mBitmap, GL_RGBA32UI, GL_RGBA_INTEGER, mSize[0], mSize[1]);
        ++mGeneration;
    }
    WindowTargets& w = mWindows.get(windowId, [] { return WindowTargets(); });
    if (w.attached != mGeneration) {
        GLint drawFbo = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFbo);
        if (!w.coverageFbo) w.coverageFbo = GLFramebuffer::create();
        if (!w.bitmapFbo) w.bitmapFbo = GLFramebuffer::create();
        const bool coverage = attach(w.coverageFbo.get(), mCoverage.get());
        const bool bitmap = attach(w.bitmapFbo.get(), mBitmap.get());
        w.complete = coverage && bitmap;
        w.attached = mGeneration;
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFbo));
    }
    return w.complete ? &w : nullptr;
}

bool MarkerCoverage::draw(int windowId, const std::function<void(UniformCache&)>& points,
                          const glm::mat4& transform, const float origin[2], const int logAxes[2],
                          const float color[4], int markerType, const int frame[4],
                          const int viewport[4]) {
    const int columns = reach(frame[2]);
    const int chunks = (reach(frame[3]) + MARKER_ROWS_PER_TEXEL - 1) / MARKER_ROWS_PER_TEXEL;
    const WindowTargets* w =
        targets(windowId, static_cast<unsigned>(columns), static_cast<unsigned>(chunks));
    if (!w) return false;
    const int rows = chunks * MARKER_ROWS_PER_TEXEL;
    // Corners from 4 left of and below the frame, in the viewport's pixels.
    const GLint gridOrigin[2] = {frame[0] - viewport[0] - 4, frame[1] - viewport[1] - 4};
    GLint drawFbo = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFbo);
    const bool scissor = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    glDisable(GL_SCISSOR_TEST);

    // 1. A pixel at every marker's centre corner.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, w->coverageFbo.get());
    glViewport(0, 0, columns, rows);
    static const GLuint ZERO[4] = {0u, 0u, 0u, 0u};
    glClearBufferuiv(GL_COLOR, 0, ZERO);
    UniformCache& cover = mCoverageProgram->uniforms;
    cover.use(windowId);
    cover.setMatrix4(MarkerCoverageUniforms::TRANSFORM, &transform[0][0]);
    cover.setVec2(MarkerCoverageUniforms::ORIGIN, origin);
    cover.setIVec2(MarkerCoverageUniforms::LOG_AXES, logAxes);
    cover.setVec2(MarkerCoverageUniforms::HALF_VIEWPORT, halfViewportOf(viewport).data());
    cover.setIVec2(MarkerCoverageUniforms::GRID_ORIGIN, gridOrigin);
    const GLfloat gridSize[2] = {static_cast<float>(columns), static_cast<float>(rows)};
    cover.setVec2(MarkerCoverageUniforms::GRID_SIZE, gridSize);
    points(cover);

    // 2. The corners packed into the bitmap, and the marker's own pixels in its last row.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, w->bitmapFbo.get());
    glViewport(0, 0, columns, chunks + 1);
    glBindTexture(GL_TEXTURE_2D, mCoverage.get());
    UniformCache& pack = mPackProgram->uniforms;
    pack.use(windowId);
    pack.setInt(MarkerPackUniforms::CHUNKS, chunks);
    pack.setInt(MarkerPackUniforms::MARKER_TYPE, markerType);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);

    // 3. The stamp, over the frame.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFbo));
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    glBindTexture(GL_TEXTURE_2D, mBitmap.get());
    const GLint viewportOrigin[2] = {viewport[0], viewport[1]};
    UniformCache& stamp = mStampProgram->uniforms;
    stamp.use(windowId);
    stamp.setIVec2(MarkerStampUniforms::GRID_ORIGIN, gridOrigin);
    stamp.setIVec2(MarkerStampUniforms::VIEWPORT_ORIGIN, viewportOrigin);
    stamp.setInt(MarkerStampUniforms::CHUNKS, chunks);
    stamp.setVec4(MarkerStampUniforms::COLOR, color);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    return true;
}

}  // namespace internal
