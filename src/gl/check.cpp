#include "gl/check.hpp"

#include "gl/gl.hpp"
#include "exception/raise.hpp"

namespace internal {

void glForceErrorCheck(const char* message, const char* file, int line) {
    GLenum e = glGetError();
    if (e == GL_NO_ERROR) return;
    ZV_FAIL_AT(GLErrorPending, file, line, file, line, message, static_cast<unsigned>(e));
}

}  // namespace internal
