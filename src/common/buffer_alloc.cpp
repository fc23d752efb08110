#include "common/buffer_alloc.hpp"

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/raise.hpp"

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
    // Drivers keep one error flag or several; read until the out-of-memory error (ours) or
    // none is left, keeping what else was pending.
    std::string earlier;
    for (int i = 0; i < 8; ++i) {
        const GLenum e = glGetError();
        if (e == GL_NO_ERROR || e == GL_OUT_OF_MEMORY) break;
        earlier += (earlier.empty() ? "" : ", ") + errorName(e);
    }
    std::string message = std::string("OpenGL could not allocate ") + what + " of " +
                          std::to_string(size) +
                          " bytes; ask for fewer elements or a smaller element type";
    if (!earlier.empty()) {
        message += " (OpenGL errors pending from before, taken while checking: " + earlier + ")";
    }
    ZV_RAISE_AT(label, __LINE__, message, zv::ZV_ERR_GL);
}

}  // namespace internal
