#pragma once
// Shader building: two GLSL sources compiled and linked into a program.

#include "gl/gl.hpp"

namespace internal {

struct shaders_t {
    GLuint vertex;
    GLuint fragment;
};

// A linked program from two NUL-terminated GLSL sources. Needs a current context with
// loaded entry points. Raises zv::Error (ZV_ERR_GL) when a shader does not compile or the
// program does not link; the objects made so far are deleted before the raise.
GLuint initShaders(const char* vertexSource, const char* fragmentSource);
// The same with a geometry stage between the two, raising the same way.
GLuint initShaders(const char* vertexSource, const char* geometrySource,
                   const char* fragmentSource);
shaders_t loadShaders(const char* vertexSource, const char* fragmentSource);
void attachAndLinkProgram(GLuint program, shaders_t shaders);

}  // namespace internal
