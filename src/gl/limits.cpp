#include "gl/limits.hpp"

#include <algorithm>

namespace internal {

namespace {
GLint gTexelCap = 0;
bool gWithoutImageAtomics = false;
}  // namespace

GLint maxTextureBufferTexels() {
    GLint texels = 0;
    glGetIntegerv(GL_MAX_TEXTURE_BUFFER_SIZE, &texels);
    return gTexelCap > 0 ? std::min(texels, gTexelCap) : texels;
}

void limitTextureBufferTexelsForTests(GLint texels) { gTexelCap = std::max(texels, 0); }

bool imageAtomics() {
    return !gWithoutImageAtomics && (GLEW_VERSION_4_2 || GLEW_ARB_shader_image_load_store);
}

const char* imageAtomicsGlslHeader() {
    return GLEW_VERSION_4_2 ? "#version 420\n"
                            : "#version 330\n#extension GL_ARB_shader_image_load_store : require\n";
}

void withoutImageAtomicsForTests(bool without) { gWithoutImageAtomics = without; }

}  // namespace internal
