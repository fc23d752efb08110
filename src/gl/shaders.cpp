#include "gl/shaders.hpp"

#include <iostream>
#include <memory>
#include <string>

#include "exception/raise.hpp"

namespace internal {

namespace {
// A stage that did not compile is reported on stderr with the driver's info log and raised.
// A driver that leaves no log gets the report alone and no raise here: the link, which
// cannot succeed, raises then.
void checkCompiled(GLuint shader, const char* stage) {
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok) return;
    const std::string report = std::string(stage) + " shader not compiled.";
    GLint len = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &len);
    if (len < 2) {
        std::cerr << report << std::endl;
        return;
    }
    std::unique_ptr<char[]> log(new char[len]);
    GLsizei written = 0;
    glGetShaderInfoLog(shader, len, &written, log.get());
    raiseWithReason("printShaderInfoLog", 106, "OpenGL Shader compilation failed",
                    zv::ZV_ERR_GL, "", (report + "\nInfoLog:\n" + log.get()).c_str());
}
}  // namespace

shaders_t loadShaders(const char* vertexSource, const char* fragmentSource) {
    shaders_t s{glCreateShader(GL_VERTEX_SHADER), glCreateShader(GL_FRAGMENT_SHADER)};
    glShaderSource(s.vertex, 1, &vertexSource, nullptr);
    glShaderSource(s.fragment, 1, &fragmentSource, nullptr);
    try {
        glCompileShader(s.vertex);
        checkCompiled(s.vertex, "Vertex");
        glCompileShader(s.fragment);
        checkCompiled(s.fragment, "Fragment");
    } catch (...) {
        glDeleteShader(s.vertex);
        glDeleteShader(s.fragment);
        throw;
    }
    return s;
}

void attachAndLinkProgram(GLuint program, shaders_t shaders) {
    glAttachShader(program, shaders.vertex);
    glAttachShader(program, shaders.fragment);
    glLinkProgram(program);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        raiseWithReason("attachAndLinkProgram", 140, "OpenGL program linking failed",
                        zv::ZV_ERR_GL, "", "Program did not link.");
    }
}

GLuint initShaders(const char* vertexSource, const char* fragmentSource) {
    shaders_t shaders = loadShaders(vertexSource, fragmentSource);
    GLuint program = glCreateProgram();
    try {
        attachAndLinkProgram(program, shaders);
    } catch (...) {
        glDeleteProgram(program);
        glDeleteShader(shaders.vertex);
        glDeleteShader(shaders.fragment);
        throw;
    }
    // The shaders stay attached; flagged for deletion, they go with the program.
    glDeleteShader(shaders.vertex);
    glDeleteShader(shaders.fragment);
    return program;
}

GLuint initShaders(const char* vertexSource, const char* geometrySource,
                   const char* fragmentSource) {
    shaders_t shaders = loadShaders(vertexSource, fragmentSource);
    const GLuint geometry = glCreateShader(GL_GEOMETRY_SHADER);
    GLuint program = 0;
    try {
        glShaderSource(geometry, 1, &geometrySource, nullptr);
        glCompileShader(geometry);
        checkCompiled(geometry, "Geometry");
        program = glCreateProgram();
        glAttachShader(program, geometry);
        attachAndLinkProgram(program, shaders);
    } catch (...) {
        if (program != 0) glDeleteProgram(program);
        glDeleteShader(geometry);
        glDeleteShader(shaders.vertex);
        glDeleteShader(shaders.fragment);
        throw;
    }
    glDeleteShader(geometry);
    glDeleteShader(shaders.vertex);
    glDeleteShader(shaders.fragment);
    return program;
}

}  // namespace internal
