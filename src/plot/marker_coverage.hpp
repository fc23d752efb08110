#pragma once
// Markers of many points in any order, stamped per pixel instead of drawn one by one.
// Markers sit on whole pixels (see gMarkerShapeGlsl), so the picture depends only on which
// pixel corners hold a marker centre: a single-sample layer of those corners (one pixel a
// point), packed into the bitmap of centres the stamp of dense ordered markers reads
// (marker_lod_shaders.hpp), then that stamp over the frame. The pixels are those of the
// markers drawn one by one; the cost is a pixel a point plus two passes over the frame, where
// drawing one by one costs a multisampled 10 x 10 square a point.

#include <functional>

#include <glm/glm.hpp>

#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shared_program.hpp"
#include "gl/vertex_arrays.hpp"

namespace internal {

class MarkerCoverage {
public:
    // Programs of the share group; a window of it must be current. Raises what the shader
    // building raises.
    MarkerCoverage();
    ~MarkerCoverage();
    MarkerCoverage(const MarkerCoverage&) = delete;
    MarkerCoverage& operator=(const MarkerCoverage&) = delete;

    // Whether stamping pays for `n` points in a frame of width x height pixels: more points
    // than half the frame's columns, as for a dense line (each marker covers about a hundred
    // multisampled pixels; the stamp costs a few texel reads a pixel of the frame).
    static bool worthIt(unsigned n, int width, int height) {
        return width > 0 && height > 0 && n / 2u > static_cast<unsigned>(width);
    }

    // Draws the markers of the first n points of the bound vertex array (the plot's, its
    // points at CHART_POINT_LOCATION) as the marker program would, with the same transform,
    // origin, logarithmic flags, colour and marker type; `frame` is the scissor box of the
    // frame and `viewport` the viewport, in window pixels. Returns false, having drawn
    // nothing, when the frame is too large for a texture or a framebuffer is incomplete (the
    // caller then draws the markers one by one). The scissor test, scissor box, viewport and
    // draw framebuffer are as found afterwards; the stamp program stays in use and unit 0 has
    // no 2-D texture.
    // `points` writes where the points come from (the MarkerCoverageUniforms of the source:
    // implicit x, ring) into the coverage program's uniforms, which it finds in use, and
    // draws them as GL_POINTS with the plot's vertex array bound.
    bool draw(int windowId, const std::function<void(UniformCache&)>& points,
              const glm::mat4& transform, const float origin[2], const int logAxes[2],
              const float color[4], int markerType, const int frame[4], const int viewport[4]);

    // Number of windows with framebuffers of their own, for tests.
    size_t windows() const { return mWindows.size(); }

private:
    struct WindowTargets {
        GLFramebuffer coverageFbo, bitmapFbo;
        unsigned attached = 0;  // mGeneration the framebuffers were attached at
        bool complete = false;
    };
    // The textures at least width x height corners (grown, never shrunk) and this window's
    // framebuffers on them; null when too large or incomplete.
    const WindowTargets* targets(int windowId, unsigned width, unsigned chunks);

    GLint mMaxTextureSize = 0;
    GLTexture mCoverage;  // R8UI, one texel a pixel corner
    GLTexture mBitmap;    // RGBA32UI, 128 corners a texel plus the marker's row
    unsigned mSize[2] = {0, 0};  // the bitmap's texels; the coverage is 128 times as high
    unsigned mGeneration = 0;
    ProgramRef mCoverageProgram, mPackProgram, mStampProgram;
    ::internal::PerWindow<WindowTargets> mWindows;
};

}  // namespace internal
