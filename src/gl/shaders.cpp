#include "gl/shaders.hpp"

#include <iostream>
#include <memory>

#include "gl/raise.hpp"

namespace internal {

namespace {
// Reads an info log of `len` bytes through `get` and prints it in the "InfoLog:" layout.
template <class Getter>
void printLog(GLint len, Getter get) {
    std::unique_ptr<char[]> log(new char[len]);
    GLsizei written = 0;
    get(len, &written, log.get());
    std::cerr << "InfoLog:" << std::endl << log.get() << std::endl;
}
}  // namespace

void printShaderInfoLog(int shader) {
    GLint len = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &len);
    if (len < 2) return;
    printLog(len, [&](GLint n, GLsizei* w, char* b) { glGetShaderInfoLog(shader, n, w, b); });
    ZV_RAISE_AT("printShaderInfoLog", 106, "OpenGL Shader compilation failed", zv::ZV_ERR_GL);
}

void printLinkInfoLog(int program) {
    GLint len = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &len);
    if (len < 2) return;
    printLog(len, [&](GLint n, GLsizei* w, char* b) { glGetProgramInfoLog(program, n, w, b); });
    ZV_RAISE_AT("printLinkInfoLog", 125, "OpenGL Shader linking failed", zv::ZV_ERR_GL);
}

shaders_t loadShaders(const char* vertexSource, const char* fragmentSource) {
    shaders_t s{glCreateShader(GL_VERTEX_SHADER), glCreateShader(GL_FRAGMENT_SHADER)};
    glShaderSource(s.vertex, 1, &vertexSource, nullptr);
    glShaderSource(s.fragment, 1, &fragmentSource, nullptr);
    try {
        GLint ok = GL_FALSE;
        glCompileShader(s.vertex);
        glGetShaderiv(s.vertex, GL_COMPILE_STATUS, &ok);
        if (!ok) {
            std::cerr << "Vertex shader not compiled." << std::endl;
            printShaderInfoLog(s.vertex);
        }
        glCompileShader(s.fragment);
        glGetShaderiv(s.fragment, GL_COMPILE_STATUS, &ok);
        if (!ok) {
            std::cerr << "Fragment shader not compiled." << std::endl;
            printShaderInfoLog(s.fragment);
        }
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
        std::cerr << "Program did not link." << std::endl;
        ZV_RAISE_AT("attachAndLinkProgram", 140, "OpenGL program linking failed", zv::ZV_ERR_GL);
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
        GLint ok = GL_FALSE;
        glGetShaderiv(geometry, GL_COMPILE_STATUS, &ok);
        if (!ok) {
            std::cerr << "Geometry shader not compiled." << std::endl;
            printShaderInfoLog(static_cast<int>(geometry));
        }
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
