#include "gl/limits.hpp"

#include <algorithm>

namespace internal {

namespace {
GLint gTexelCap = 0;
}  // namespace

GLint maxTextureBufferTexels() {
    GLint texels = 0;
    glGetIntegerv(GL_MAX_TEXTURE_BUFFER_SIZE, &texels);
    return gTexelCap > 0 ? std::min(texels, gTexelCap) : texels;
}

void limitTextureBufferTexelsForTests(GLint texels) { gTexelCap = std::max(texels, 0); }

}  // namespace internal
