#pragma once
// The application's OpenGL state around the library's own work. The application shares the
// context with us and does real OpenGL of its own (it fills our buffers from GL, CUDA or
// OpenCL), so it may leave anything bound or enabled. Every draw, and every creation or load
// that uploads or binds, runs inside one GLStateGuard: the constructor backs up the state
// the library's pictures depend on and sets what they need, the destructor puts back what
// the application had. One list, kept in state_guard.cpp.
//
// What the guard leaves set is the library's starting state: the window's default draw and
// read framebuffers, reading from the back buffer (for a window with no window system, its
// framebuffer object in their place, reading from its colour attachment: see
// Context::frameBuffer; the application's bindings, 0 included, come back as they were); no program, vertex array, array,
// pixel-unpack, pixel-pack, uniform buffer (generic binding) or renderbuffer bound; texture
// unit 0 active with no texture (2-D, buffer or 2-D array) or sampler on it; tightly packed
// unpack state (alignment 4, no row length, skips, image height or byte swapping) and pack
// state (alignment 4, no row length or skips: a snapshot reads RGBA bytes, so byte swapping
// and the 3-D image parameters of packing have no effect on it); no
// blending (equation add, funcs one/zero), face culling (front face counter-clockwise),
// depth test (func less), stencil or scissor test; polygons filled; no primitive restart;
// all colour channels written; no rasterizer discard, logic op, sRGB conversion or
// alpha-to-coverage; multisampling on; sprite coordinates from the upper left; point size 1
// set by the program off and point size 1; no copy-read, copy-write or transform-feedback
// buffer bound (generic binding, and binding point 0 of the transform feedback object in
// use); and a transform feedback object that is not active. An application's transform
// feedback that is active is paused for the scope and resumed after (one that it paused
// stays paused), and the library works in another transform feedback object meanwhile: the
// default one, or, when the application's active one is the default, one made for the scope.
// The data-range reduction (the fit) captures its results through transform feedback and
// reads the data through a buffer texture, so it depends on all of these.
//
// Nothing is allocated; a steady frame pays for a few dozen state queries. Values that the
// library's code changes inside the scope are always put back; the others only when the
// application's value differed from the one set here. Needs a current context with loaded
// entry points. Not for nesting across contexts: the state belongs to the context current
// at construction, which must still be current at destruction.

#include "gl/gl.hpp"

namespace internal {

class GLStateGuard {
public:
    GLStateGuard();
    ~GLStateGuard();
    GLStateGuard(const GLStateGuard&) = delete;
    GLStateGuard& operator=(const GLStateGuard&) = delete;

    // Capabilities the guard switches, in the order of its table.
    enum Cap : int {
        BLEND,
        CULL_FACE,
        DEPTH_TEST,
        STENCIL_TEST,
        SCISSOR_TEST,
        PRIMITIVE_RESTART,
        RASTERIZER_DISCARD,
        COLOR_LOGIC_OP,
        FRAMEBUFFER_SRGB,
        SAMPLE_ALPHA_TO_COVERAGE,
        PROGRAM_POINT_SIZE,
        MULTISAMPLE,
        CAP_COUNT
    };
    // Integer state, in the order of its table.
    enum Int : int {
        DRAW_FRAMEBUFFER,
        READ_FRAMEBUFFER,
        READ_BUFFER,  // of the default framebuffer
        RENDERBUFFER,
        PROGRAM,
        VERTEX_ARRAY,
        ARRAY_BUFFER,
        PIXEL_UNPACK_BUFFER,
        PIXEL_PACK_BUFFER,
        UNIFORM_BUFFER,
        COPY_READ_BUFFER,
        COPY_WRITE_BUFFER,
        TRANSFORM_FEEDBACK_BUFFER,  // the generic binding
        ACTIVE_TEXTURE,
        TEXTURE_2D,        // on unit 0
        TEXTURE_BUFFER,    // on unit 0
        TEXTURE_2D_ARRAY,  // on unit 0
        SAMPLER,           // on unit 0
        UNPACK_ALIGNMENT,
        UNPACK_ROW_LENGTH,
        UNPACK_SKIP_ROWS,
        UNPACK_SKIP_PIXELS,
        UNPACK_IMAGE_HEIGHT,
        UNPACK_SKIP_IMAGES,
        UNPACK_SWAP_BYTES,
        UNPACK_LSB_FIRST,
        PACK_ALIGNMENT,
        PACK_ROW_LENGTH,
        PACK_SKIP_ROWS,
        PACK_SKIP_PIXELS,
        BLEND_EQUATION_RGB,
        BLEND_EQUATION_ALPHA,
        BLEND_SRC_RGB,
        BLEND_DST_RGB,
        BLEND_SRC_ALPHA,
        BLEND_DST_ALPHA,
        FRONT_FACE,
        DEPTH_FUNC,
        POLYGON_MODE,
        POINT_SPRITE_COORD_ORIGIN,
        INT_COUNT
    };

private:
    // The value the library needs for integer i (the table's, or the window's framebuffer).
    GLint wanted(int i) const;
    void setInt(int which, GLint v) const;

    // The current window's stand-in for the default framebuffer (0: the default one).
    GLuint mFrame = 0;
    bool mCaps[CAP_COUNT];
    GLint mInts[INT_COUNT];
    GLint mScissorBox[4];
    GLboolean mColorMask[4];
    GLfloat mPointSize;
    // Uniform-buffer binding point 0, where images find the colour map.
    GLint mUniformBinding0;
    GLint64 mUniformStart0;
    GLint64 mUniformSize0;
    // Binding point 0 of the transform feedback object the library works in, where the
    // reduction captures its results.
    GLint mFeedbackBinding0;
    GLint64 mFeedbackStart0;
    GLint64 mFeedbackSize0;
    // The application's transform feedback object, whether we paused it, and the object
    // made for the scope (0 when none was needed).
    GLint mFeedbackObject = 0;
    bool mPausedFeedback = false;
    GLuint mScopeFeedback = 0;
    bool mSwitchedFeedback = false;
};

}  // namespace internal
