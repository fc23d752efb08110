#include "gl/state_guard.hpp"

#include "gl/context.hpp"

namespace internal {

namespace {

// One capability: what the library needs, and whether its own code switches it inside a
// guarded scope (then the application's value is always put back).
struct CapEntry {
    GLenum cap;
    bool value;
    bool changedInside;
};
const CapEntry CAPS[GLStateGuard::CAP_COUNT] = {
    {GL_BLEND, false, true},  // text and legends blend
    {GL_CULL_FACE, false, false},
    {GL_DEPTH_TEST, false, false},
    {GL_STENCIL_TEST, false, false},
    {GL_SCISSOR_TEST, false, true},  // charts clip their data, cells their area
    {GL_PRIMITIVE_RESTART, false, false},
    {GL_RASTERIZER_DISCARD, false, true},  // the data-range reduction rasterises nothing
    {GL_COLOR_LOGIC_OP, false, false},
    {GL_FRAMEBUFFER_SRGB, false, false},
    {GL_SAMPLE_ALPHA_TO_COVERAGE, false, false},
    {GL_PROGRAM_POINT_SIZE, false, false},
    {GL_MULTISAMPLE, true, false},
};

// One integer: how it is read, what the library needs, and whether its own code sets it.
struct IntEntry {
    GLenum query;
    GLint value;
    bool changedInside;
};
const IntEntry INTS[GLStateGuard::INT_COUNT] = {
    {GL_DRAW_FRAMEBUFFER_BINDING, 0, false},
    {GL_READ_FRAMEBUFFER_BINDING, 0, true},  // a snapshot reads through a framebuffer of its own
    // Read after the read framebuffer is the default one, so this is the default
    // framebuffer's read buffer; an application framebuffer's own read buffer is never set.
    {GL_READ_BUFFER, GL_BACK, false},
    {GL_RENDERBUFFER_BINDING, 0, false},
    {GL_CURRENT_PROGRAM, 0, true},
    {GL_VERTEX_ARRAY_BINDING, 0, true},
    {GL_ARRAY_BUFFER_BINDING, 0, true},
    {GL_PIXEL_UNPACK_BUFFER_BINDING, 0, true},
    {GL_PIXEL_PACK_BUFFER_BINDING, 0, false},
    {GL_UNIFORM_BUFFER_BINDING, 0, true},
    {GL_COPY_READ_BUFFER_BINDING, 0, true},   // the reduction reads its result through it
    {GL_COPY_WRITE_BUFFER_BINDING, 0, true},  // and makes its buffers on it
    {GL_TRANSFORM_FEEDBACK_BUFFER_BINDING, 0, true},
    {GL_ACTIVE_TEXTURE, GL_TEXTURE0, false},
    {GL_TEXTURE_BINDING_2D, 0, true},
    {GL_TEXTURE_BINDING_BUFFER, 0, true},    // dense lines read their points through one
    {GL_TEXTURE_BINDING_2D_ARRAY, 0, true},  // and their reduced points through one
    {GL_SAMPLER_BINDING, 0, true},
    {GL_UNPACK_ALIGNMENT, 4, true},
    {GL_UNPACK_ROW_LENGTH, 0, false},
    {GL_UNPACK_SKIP_ROWS, 0, false},
    {GL_UNPACK_SKIP_PIXELS, 0, false},
    {GL_UNPACK_IMAGE_HEIGHT, 0, false},
    {GL_UNPACK_SKIP_IMAGES, 0, false},
    {GL_UNPACK_SWAP_BYTES, GL_FALSE, false},
    {GL_UNPACK_LSB_FIRST, GL_FALSE, false},
    {GL_PACK_ALIGNMENT, 4, false},
    {GL_PACK_ROW_LENGTH, 0, false},
    {GL_PACK_SKIP_ROWS, 0, false},
    {GL_PACK_SKIP_PIXELS, 0, false},
    {GL_BLEND_EQUATION_RGB, GL_FUNC_ADD, false},
    {GL_BLEND_EQUATION_ALPHA, GL_FUNC_ADD, false},
    {GL_BLEND_SRC_RGB, GL_ONE, true},  // text sets its blend function
    {GL_BLEND_DST_RGB, GL_ZERO, true},
    {GL_BLEND_SRC_ALPHA, GL_ONE, true},
    {GL_BLEND_DST_ALPHA, GL_ZERO, true},
    {GL_FRONT_FACE, GL_CCW, false},
    {GL_DEPTH_FUNC, GL_LESS, false},
    {GL_POLYGON_MODE, GL_FILL, false},
    {GL_POINT_SPRITE_COORD_ORIGIN, GL_UPPER_LEFT, false},
};

void setCap(GLenum cap, bool on) {
    if (on) {
        glEnable(cap);
    } else {
        glDisable(cap);
    }
}

GLuint name(GLint v) { return static_cast<GLuint>(v); }
GLenum token(GLint v) { return static_cast<GLenum>(v); }

}  // namespace

GLint GLStateGuard::wanted(int i) const {
    if (mFrame != 0) {
        if (i == DRAW_FRAMEBUFFER || i == READ_FRAMEBUFFER) return static_cast<GLint>(mFrame);
        if (i == READ_BUFFER) return GL_COLOR_ATTACHMENT0;
    }
    return INTS[i].value;
}

// Sets one integer of the table. The blend equations and functions are set in pairs and
// fours by apply(), since OpenGL takes them together.
void GLStateGuard::setInt(int which, GLint v) const {
    switch (which) {
        case GLStateGuard::DRAW_FRAMEBUFFER: glBindFramebuffer(GL_DRAW_FRAMEBUFFER, name(v)); break;
        case GLStateGuard::READ_FRAMEBUFFER: glBindFramebuffer(GL_READ_FRAMEBUFFER, name(v)); break;
        case GLStateGuard::READ_BUFFER:
            // The read buffer belongs to the framebuffer bound for reading: the default one
            // (or the window's stand-in) here. The destructor puts the application's read
            // framebuffer back right after.
            glBindFramebuffer(GL_READ_FRAMEBUFFER, mFrame);
            glReadBuffer(token(v));
            break;
        case GLStateGuard::RENDERBUFFER: glBindRenderbuffer(GL_RENDERBUFFER, name(v)); break;
        case GLStateGuard::PROGRAM: glUseProgram(name(v)); break;
        case GLStateGuard::VERTEX_ARRAY: glBindVertexArray(name(v)); break;
        case GLStateGuard::ARRAY_BUFFER: glBindBuffer(GL_ARRAY_BUFFER, name(v)); break;
        case GLStateGuard::PIXEL_UNPACK_BUFFER: glBindBuffer(GL_PIXEL_UNPACK_BUFFER, name(v)); break;
        case GLStateGuard::PIXEL_PACK_BUFFER: glBindBuffer(GL_PIXEL_PACK_BUFFER, name(v)); break;
        case GLStateGuard::UNIFORM_BUFFER: glBindBuffer(GL_UNIFORM_BUFFER, name(v)); break;
        case GLStateGuard::COPY_READ_BUFFER: glBindBuffer(GL_COPY_READ_BUFFER, name(v)); break;
        case GLStateGuard::COPY_WRITE_BUFFER: glBindBuffer(GL_COPY_WRITE_BUFFER, name(v)); break;
        case GLStateGuard::TRANSFORM_FEEDBACK_BUFFER:
            glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, name(v));
            break;
        case GLStateGuard::ACTIVE_TEXTURE: glActiveTexture(token(v)); break;
        case GLStateGuard::TEXTURE_2D: glBindTexture(GL_TEXTURE_2D, name(v)); break;
        case GLStateGuard::TEXTURE_BUFFER: glBindTexture(GL_TEXTURE_BUFFER, name(v)); break;
        case GLStateGuard::TEXTURE_2D_ARRAY: glBindTexture(GL_TEXTURE_2D_ARRAY, name(v)); break;
        case GLStateGuard::SAMPLER: glBindSampler(0, name(v)); break;
        case GLStateGuard::UNPACK_ALIGNMENT: glPixelStorei(GL_UNPACK_ALIGNMENT, v); break;
        case GLStateGuard::UNPACK_ROW_LENGTH: glPixelStorei(GL_UNPACK_ROW_LENGTH, v); break;
        case GLStateGuard::UNPACK_SKIP_ROWS: glPixelStorei(GL_UNPACK_SKIP_ROWS, v); break;
        case GLStateGuard::UNPACK_SKIP_PIXELS: glPixelStorei(GL_UNPACK_SKIP_PIXELS, v); break;
        case GLStateGuard::UNPACK_IMAGE_HEIGHT: glPixelStorei(GL_UNPACK_IMAGE_HEIGHT, v); break;
        case GLStateGuard::UNPACK_SKIP_IMAGES: glPixelStorei(GL_UNPACK_SKIP_IMAGES, v); break;
        case GLStateGuard::UNPACK_SWAP_BYTES: glPixelStorei(GL_UNPACK_SWAP_BYTES, v); break;
        case GLStateGuard::UNPACK_LSB_FIRST: glPixelStorei(GL_UNPACK_LSB_FIRST, v); break;
        case GLStateGuard::PACK_ALIGNMENT: glPixelStorei(GL_PACK_ALIGNMENT, v); break;
        case GLStateGuard::PACK_ROW_LENGTH: glPixelStorei(GL_PACK_ROW_LENGTH, v); break;
        case GLStateGuard::PACK_SKIP_ROWS: glPixelStorei(GL_PACK_SKIP_ROWS, v); break;
        case GLStateGuard::PACK_SKIP_PIXELS: glPixelStorei(GL_PACK_SKIP_PIXELS, v); break;
        case GLStateGuard::FRONT_FACE: glFrontFace(token(v)); break;
        case GLStateGuard::DEPTH_FUNC: glDepthFunc(token(v)); break;
        case GLStateGuard::POLYGON_MODE: glPolygonMode(GL_FRONT_AND_BACK, token(v)); break;
        case GLStateGuard::POINT_SPRITE_COORD_ORIGIN:
            glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, v);
            break;
        default: break;
    }
}

namespace {

// Whether a name the application had bound still names an object. The library's own work may
// have deleted it (a font reload deletes the glyph textures and buffer that its last draw
// left bound, which the guard took for the application's); binding a deleted name is an
// error, and OpenGL has already unbound it, so it is left unbound.
bool stillExists(int which, GLint v) {
    if (v == 0) return true;
    switch (which) {
        case GLStateGuard::DRAW_FRAMEBUFFER:
        case GLStateGuard::READ_FRAMEBUFFER: return glIsFramebuffer(name(v)) == GL_TRUE;
        case GLStateGuard::RENDERBUFFER: return glIsRenderbuffer(name(v)) == GL_TRUE;
        case GLStateGuard::PROGRAM: return glIsProgram(name(v)) == GL_TRUE;
        case GLStateGuard::VERTEX_ARRAY: return glIsVertexArray(name(v)) == GL_TRUE;
        case GLStateGuard::ARRAY_BUFFER:
        case GLStateGuard::PIXEL_UNPACK_BUFFER:
        case GLStateGuard::PIXEL_PACK_BUFFER:
        case GLStateGuard::UNIFORM_BUFFER:
        case GLStateGuard::COPY_READ_BUFFER:
        case GLStateGuard::COPY_WRITE_BUFFER:
        case GLStateGuard::TRANSFORM_FEEDBACK_BUFFER: return glIsBuffer(name(v)) == GL_TRUE;
        case GLStateGuard::TEXTURE_2D:
        case GLStateGuard::TEXTURE_BUFFER:
        case GLStateGuard::TEXTURE_2D_ARRAY: return glIsTexture(name(v)) == GL_TRUE;
        case GLStateGuard::SAMPLER: return glIsSampler(name(v)) == GL_TRUE;
        default: return true;
    }
}

bool isBlendEquation(int which) {
    return which == GLStateGuard::BLEND_EQUATION_RGB || which == GLStateGuard::BLEND_EQUATION_ALPHA;
}
bool isBlendFunc(int which) {
    return which >= GLStateGuard::BLEND_SRC_RGB && which <= GLStateGuard::BLEND_DST_ALPHA;
}

// Pausing, resuming and switching transform feedback objects came with OpenGL 4.0; without
// them an application cannot keep transform feedback active between its own draws either.
bool feedbackObjects() { return GLEW_VERSION_4_0 || GLEW_ARB_transform_feedback2; }

// A buffer binding point's buffer, start and size, put back as found.
void bindIndexed(GLenum target, GLuint index, GLint buffer, GLint64 start, GLint64 size) {
    if (buffer != 0 && glIsBuffer(name(buffer)) != GL_TRUE) buffer = 0;
    if (buffer != 0 && size > 0) {
        glBindBufferRange(target, index, name(buffer), static_cast<GLintptr>(start),
                          static_cast<GLsizeiptr>(size));
    } else {
        glBindBufferBase(target, index, name(buffer));
    }
}

}  // namespace

GLStateGuard::GLStateGuard() {
    if (const Context* window = currentWindow()) mFrame = window->frameBuffer();
    // First, so that nothing the library binds or draws below reaches the application's
    // transform feedback: while it is active, its bindings cannot change and every draw
    // would be captured into its buffers.
    if (feedbackObjects()) {
        GLboolean active = GL_FALSE, paused = GL_FALSE;
        glGetBooleanv(GL_TRANSFORM_FEEDBACK_BUFFER_ACTIVE, &active);
        glGetBooleanv(GL_TRANSFORM_FEEDBACK_BUFFER_PAUSED, &paused);
        glGetIntegerv(GL_TRANSFORM_FEEDBACK_BINDING, &mFeedbackObject);
        if (active && !paused) {
            glPauseTransformFeedback();
            mPausedFeedback = true;
        }
        if (active) {
            if (mFeedbackObject == 0) {
                glGenTransformFeedbacks(1, &mScopeFeedback);
                glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, mScopeFeedback);
            } else {
                glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, 0);
            }
            mSwitchedFeedback = true;
        }
    }
    for (int i = 0; i < CAP_COUNT; ++i) {
        mCaps[i] = glIsEnabled(CAPS[i].cap) == GL_TRUE;
        if (mCaps[i] != CAPS[i].value) setCap(CAPS[i].cap, CAPS[i].value);
    }
    for (int i = 0; i < INT_COUNT; ++i) {
        const GLint want = wanted(i);
        GLint v[2] = {want, want};  // the polygon mode may come as two
        glGetIntegerv(INTS[i].query, v);
        mInts[i] = v[0];
        // Read in table order, so texture unit 0 is active before its bindings are read and
        // the default framebuffer is bound for reading before its read buffer is read.
        if (v[0] != want && !isBlendEquation(i) && !isBlendFunc(i)) setInt(i, want);
    }
    if (mInts[BLEND_EQUATION_RGB] != GL_FUNC_ADD || mInts[BLEND_EQUATION_ALPHA] != GL_FUNC_ADD)
        glBlendEquation(GL_FUNC_ADD);
    bool blendFuncDefault = true;
    for (int i = BLEND_SRC_RGB; i <= BLEND_DST_ALPHA; ++i)
        blendFuncDefault = blendFuncDefault && mInts[i] == INTS[i].value;
    if (!blendFuncDefault) glBlendFunc(GL_ONE, GL_ZERO);

    glGetIntegerv(GL_SCISSOR_BOX, mScissorBox);
    glGetBooleanv(GL_COLOR_WRITEMASK, mColorMask);
    if (!(mColorMask[0] && mColorMask[1] && mColorMask[2] && mColorMask[3]))
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glGetFloatv(GL_POINT_SIZE, &mPointSize);
    if (mPointSize != 1.0f) glPointSize(1.0f);
    glGetIntegeri_v(GL_UNIFORM_BUFFER_BINDING, 0, &mUniformBinding0);
    glGetInteger64i_v(GL_UNIFORM_BUFFER_START, 0, &mUniformStart0);
    glGetInteger64i_v(GL_UNIFORM_BUFFER_SIZE, 0, &mUniformSize0);
    glGetIntegeri_v(GL_TRANSFORM_FEEDBACK_BUFFER_BINDING, 0, &mFeedbackBinding0);
    glGetInteger64i_v(GL_TRANSFORM_FEEDBACK_BUFFER_START, 0, &mFeedbackStart0);
    glGetInteger64i_v(GL_TRANSFORM_FEEDBACK_BUFFER_SIZE, 0, &mFeedbackSize0);
}

GLStateGuard::~GLStateGuard() {
    // Binding points first: binding one also sets the generic binding, put back below.
    bindIndexed(GL_TRANSFORM_FEEDBACK_BUFFER, 0, mFeedbackBinding0, mFeedbackStart0,
                mFeedbackSize0);
    // Binding point 0 first: binding it also sets the generic binding, put back below.
    if (!stillExists(UNIFORM_BUFFER, mUniformBinding0)) {
        glBindBufferBase(GL_UNIFORM_BUFFER, 0, 0);
    } else if (mUniformSize0 > 0) {
        glBindBufferRange(GL_UNIFORM_BUFFER, 0, name(mUniformBinding0),
                          static_cast<GLintptr>(mUniformStart0),
                          static_cast<GLsizeiptr>(mUniformSize0));
    } else {
        glBindBufferBase(GL_UNIFORM_BUFFER, 0, name(mUniformBinding0));
    }
    glPointSize(mPointSize);
    if (!(mColorMask[0] && mColorMask[1] && mColorMask[2] && mColorMask[3]))
        glColorMask(mColorMask[0], mColorMask[1], mColorMask[2], mColorMask[3]);
    glScissor(mScissorBox[0], mScissorBox[1], mScissorBox[2], mScissorBox[3]);

    if (mInts[BLEND_EQUATION_RGB] != GL_FUNC_ADD || mInts[BLEND_EQUATION_ALPHA] != GL_FUNC_ADD)
        glBlendEquationSeparate(token(mInts[BLEND_EQUATION_RGB]),
                                token(mInts[BLEND_EQUATION_ALPHA]));
    glBlendFuncSeparate(token(mInts[BLEND_SRC_RGB]), token(mInts[BLEND_DST_RGB]),
                        token(mInts[BLEND_SRC_ALPHA]), token(mInts[BLEND_DST_ALPHA]));
    // Backwards, so unit 0's texture and sampler go back before the active unit does, and the
    // default framebuffer's read buffer before the application's read framebuffer.
    for (int i = INT_COUNT - 1; i >= 0; --i) {
        if (isBlendEquation(i) || isBlendFunc(i)) continue;
        if (!INTS[i].changedInside && mInts[i] == wanted(i)) continue;
        setInt(i, stillExists(i, mInts[i]) ? mInts[i] : 0);
    }
    for (int i = 0; i < CAP_COUNT; ++i) {
        if (CAPS[i].changedInside || mCaps[i] != CAPS[i].value) setCap(CAPS[i].cap, mCaps[i]);
    }
    if (mSwitchedFeedback) {
        glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, name(mFeedbackObject));
        if (mScopeFeedback) glDeleteTransformFeedbacks(1, &mScopeFeedback);
        if (mPausedFeedback) glResumeTransformFeedback();
    }
}

}  // namespace internal
