#include "gl/gl_alloc.hpp"

#include <cstdint>
#include <cstdio>
#include <string>

#include "exception/raise.hpp"

namespace internal {

namespace {
std::string errorName(GLenum e) {
    switch (e) {
        case GL_INVALID_ENUM: return "GL_INVALID_ENUM";
        case GL_INVALID_VALUE: return "GL_INVALID_VALUE";
        case GL_INVALID_OPERATION: return "GL_INVALID_OPERATION";
        case GL_INVALID_FRAMEBUFFER_OPERATION: return "GL_INVALID_FRAMEBUFFER_OPERATION";
        case GL_OUT_OF_MEMORY: return "GL_OUT_OF_MEMORY";
        default: {
            char hex[16];
            std::snprintf(hex, sizeof(hex), "0x%x", e);
            return hex;
        }
    }
}

// After the binding point has been cleared: takes back the GL_OUT_OF_MEMORY of the failed
// call and names what else was pending, for the failure's message.
std::string takeAllocationError() {
    // Drivers keep one error flag or several; read until the out-of-memory error (ours) or
    // none is left, keeping what else was pending.
    std::string earlier;
    for (int i = 0; i < 8; ++i) {
        const GLenum e = glGetError();
        if (e == GL_NO_ERROR || e == GL_OUT_OF_MEMORY) break;
        earlier += (earlier.empty() ? "" : ", ") + errorName(e);
    }
    if (earlier.empty()) return earlier;
    return " (OpenGL errors pending from before, taken while checking: " + earlier + ")";
}

}  // namespace

void allocateBuffer(GLenum target, size_t size, GLenum usage, const char* label,
                    const char* what) {
    GLint64 allocated = -1;
    if (size <= static_cast<size_t>(INT64_MAX)) {
        glBufferData(target, static_cast<GLsizeiptr>(size), nullptr, usage);
        glGetBufferParameteri64v(target, GL_BUFFER_SIZE, &allocated);
    }
    if (allocated >= 0 && static_cast<uint64_t>(allocated) == size) return;

    glBindBuffer(target, 0);
    ZV_FAIL(BufferAllocationFailed, label, what, size, takeAllocationError());
}

GLBuffer makeDataBuffer(GLenum target, size_t size, GLenum usage, const char* label,
                        const char* what) {
    GLBuffer buffer = GLBuffer::create();
    glBindBuffer(target, buffer.get());
    allocateBuffer(target, size, usage, label, what);
    glBindBuffer(target, 0);
    return buffer;
}

void allocateTexture2D(GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                       GLenum type, const char* label, const char* what) {
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, type, nullptr);
    if (width == 0 || height == 0) return;
    GLint allocated = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &allocated);
    if (allocated == width) return;

    glBindTexture(GL_TEXTURE_2D, 0);
    ZV_FAIL(TextureAllocationFailed, label, what, width, height, takeAllocationError());
}

}  // namespace internal
