// Dense markers: the bitmap of marker centres and the stamp (see marker_lod_shaders.hpp),
// drawn by LineLod::drawMarkers on a frame whose line was reduced.

#include <string>

#include "plot/line_lod.hpp"
#include "plot/marker_lod_shaders.hpp"

namespace internal {

namespace {
// The bitmap is made at least this size, so that resizing a window rarely makes it again.
constexpr unsigned MIN_BITMAP_WIDTH = 1024;
constexpr unsigned MIN_BITMAP_HEIGHT = 8;

// Columns and rows of marker centres that reach into a frame of `pixels`: 4 before its
// first pixel to 5 after its last.
int reach(int pixels) { return pixels + 9; }

// Texel rows of centres for a frame of `rows` pixel rows.
int chunks(int rows) {
    return (reach(rows) + MARKER_ROWS_PER_TEXEL - 1) / MARKER_ROWS_PER_TEXEL;
}

unsigned grown(unsigned minimum, unsigned needed) {
    unsigned size = minimum;
    while (size < needed) size *= 2;
    return size;
}
}  // namespace

const LineLod::WindowTargets* LineLod::bitmapTarget(int windowId, const int frame[4]) {
    const unsigned width = static_cast<unsigned>(reach(frame[2]));
    const unsigned height = static_cast<unsigned>(chunks(frame[3]) + 1);
    if (width > static_cast<unsigned>(mMaxTextureSize) ||
        height > static_cast<unsigned>(mMaxTextureSize))
        return nullptr;
    if (!mBitmapProgram) {
        mBitmapProgram = groupProgram<MarkerBitmapUniforms>(
            std::string("marker bitmap ") + mSampler,
            [&] {
                const std::string source = std::string(ZV_GLSL_HEADER "#define POINTS ") +
                                           mSampler + "\n" +
                                           gMarkerBitmapFragmentShaderBody.data();
                return makeProgram(gLodQuadVertexShaderSrc, source.c_str());
            },
            [](UniformCache& u) { setPointSamplers<MarkerBitmapUniforms>(u); });
        mStampProgram = groupProgram<MarkerStampUniforms>("marker stamp", [] {
            return makeProgram(gLodQuadVertexShaderSrc, gMarkerStampFragmentShaderSrc);
        });
    }
    if (width > mBitmapSize[0] || height > mBitmapSize[1]) {
        mBitmapSize[0] = grown(MIN_BITMAP_WIDTH, width);
        mBitmapSize[1] = grown(MIN_BITMAP_HEIGHT, height);
        if (!mBitmap) mBitmap = GLTexture::create();
        glBindTexture(GL_TEXTURE_2D, mBitmap.get());
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32UI, static_cast<GLsizei>(mBitmapSize[0]),
                     static_cast<GLsizei>(mBitmapSize[1]), 0, GL_RGBA_INTEGER, GL_UNSIGNED_INT,
                     nullptr);
        // Fetched texel by texel: one level, no filtering.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glBindTexture(GL_TEXTURE_2D, 0);
        ++mBitmapGeneration;
    }
    WindowTargets& w = window(windowId);
    if (w.bitmapAttached != mBitmapGeneration) {
        GLint drawFbo = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFbo);
        if (!w.bitmapFbo) w.bitmapFbo = GLFramebuffer::create();
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, w.bitmapFbo.get());
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                               mBitmap.get(), 0);
        w.bitmapComplete =
            glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        w.bitmapAttached = mBitmapGeneration;
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFbo));
    }
    return w.bitmapComplete ? &w : nullptr;
}

void LineLod::stampMarkers(int windowId, const WindowTargets& w, const glm::mat4& transform,
                           const float origin[2], const float color[4], int markerType,
                           const int frame[4], const int viewport[4]) {
    const int rows = chunks(frame[3]);
    const GLint gridOrigin[2] = {frame[0] - viewport[0] - 4, frame[1] - viewport[1] - 4};
    GLint drawFbo = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFbo);

    // 1. The bitmap of centres, and the marker's own pixels in its last row.
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, w.bitmapFbo.get());
    glViewport(0, 0, reach(frame[2]), rows + 1);
    const GLint unit1 = bindPoints();
    UniformCache& bitmap = mBitmapProgram->uniforms;
    bitmap.use(windowId);
    setPointFetch<MarkerBitmapUniforms>(bitmap, mSource, mWindow);
    bitmap.setInt(MarkerBitmapUniforms::N, static_cast<GLint>(mN));
    bitmap.setMatrix4(MarkerBitmapUniforms::TRANSFORM, &transform[0][0]);
    bitmap.setVec2(MarkerBitmapUniforms::ORIGIN, origin);
    bitmap.setVec2(MarkerBitmapUniforms::HALF_VIEWPORT, halfViewportOf(viewport).data());
    bitmap.setIVec2(MarkerBitmapUniforms::GRID_ORIGIN, gridOrigin);
    bitmap.setInt(MarkerBitmapUniforms::CHUNKS, rows);
    bitmap.setInt(MarkerBitmapUniforms::MARKER_TYPE, markerType);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    unbindPoints(unit1);

    // 2. The stamp, over the frame.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFbo));
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glEnable(GL_SCISSOR_TEST);
    glBindTexture(GL_TEXTURE_2D, mBitmap.get());
    const GLint viewportOrigin[2] = {viewport[0], viewport[1]};
    UniformCache& stamp = mStampProgram->uniforms;
    stamp.use(windowId);
    stamp.setIVec2(MarkerStampUniforms::GRID_ORIGIN, gridOrigin);
    stamp.setIVec2(MarkerStampUniforms::VIEWPORT_ORIGIN, viewportOrigin);
    stamp.setInt(MarkerStampUniforms::CHUNKS, rows);
    stamp.setVec4(MarkerStampUniforms::COLOR, color);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace internal
