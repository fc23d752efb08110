#include "gl/shaders.hpp"

#include <iostream>
#include <functional>
#include <initializer_list>
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
    GLint len = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &len);
    if (len < 2) {
        std::cerr << stage << " shader not compiled." << std::endl;
        return;
    }
    std::unique_ptr<char[]> log(new char[len]);
    GLsizei written = 0;
    glGetShaderInfoLog(shader, len, &written, log.get());
    ZV_FAIL_AT(ShaderNotCompiled, "printShaderInfoLog", 106, stage, log.get());
}
}  // namespace

GLShader compileStage(GLenum stage, const char* source, const char* name) {
    GLShader shader = GLShader::create(stage);
    const GLuint s = shader.get();
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    checkCompiled(s, name);
    return shader;
}

GLProgram linkProgram(std::initializer_list<const GLShader*> stages,
                      const std::function<void(GLuint)>& beforeLink) {
    GLProgram program = GLProgram::create();
    for (const GLShader* stage : stages) glAttachShader(program.get(), stage->get());
    if (beforeLink) beforeLink(program.get());
    glLinkProgram(program.get());
    GLint ok = GL_FALSE;
    glGetProgramiv(program.get(), GL_LINK_STATUS, &ok);
    if (!ok) {
        ZV_FAIL_AT(ProgramNotLinked, "attachAndLinkProgram", 140);
    }
    // The stages stay attached; flagged for deletion when their owners go, they go with the
    // program.
    return program;
}

GLProgram buildProgram(const char* vertexSource, const char* fragmentSource) {
    const GLShader vertex = compileStage(GL_VERTEX_SHADER, vertexSource, "Vertex");
    const GLShader fragment = compileStage(GL_FRAGMENT_SHADER, fragmentSource, "Fragment");
    return linkProgram({&vertex, &fragment});
}

GLProgram buildProgram(const char* vertexSource, const char* geometrySource,
                       const char* fragmentSource) {
    const GLShader vertex = compileStage(GL_VERTEX_SHADER, vertexSource, "Vertex");
    const GLShader fragment = compileStage(GL_FRAGMENT_SHADER, fragmentSource, "Fragment");
    const GLShader geometry = compileStage(GL_GEOMETRY_SHADER, geometrySource, "Geometry");
    return linkProgram({&vertex, &geometry, &fragment});
}

void releaseStageReferences() {
    static const char* const VERTEX =
        "#version 330 core\nvoid main() { gl_Position = vec4(0.0); }\n";
    static const char* const GEOMETRY =
        "#version 330 core\nlayout(points) in;\nlayout(points, max_vertices = 1) out;\n"
        "void main() { gl_Position = vec4(0.0); EmitVertex(); }\n";
    static const char* const FRAGMENT =
        "#version 330 core\nout vec4 colour;\nvoid main() { colour = vec4(0.0); }\n";
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    try {
        const GLProgram every = buildProgram(VERTEX, GEOMETRY, FRAGMENT);
        glUseProgram(every.get());
        glUseProgram(static_cast<GLuint>(previous));
    } catch (const zv::Error&) {
        // A context that cannot build it cannot hold what it releases either.
    }
}

}  // namespace internal
