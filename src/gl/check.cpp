#include "gl/check.hpp"

#include <sstream>

#include "gl/gl.hpp"
#include "exception/raise.hpp"

namespace internal {

void glForceErrorCheck(const char* message, const char* file, int line) {
    GLenum e = glGetError();
    if (e == GL_NO_ERROR) return;
    std::ostringstream text;
    text << "GL Error at: " << file << ":" << line << " Message: " << message
         << " Error Code: " << static_cast<unsigned>(e) << "\n";
    ZV_RAISE_AT(file, line, text.str(), zv::ZV_ERR_GL);
}

}  // namespace internal
