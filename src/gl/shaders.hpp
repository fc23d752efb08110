#pragma once
// Shader building, the one way: stages compiled into owned shaders, linked into an owned
// program. Whatever fails is deleted by its owner on the way out.

#include <functional>
#include <initializer_list>

#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"

namespace internal {

// One stage (GL_VERTEX_SHADER, ...) from a NUL-terminated GLSL source; `name` ("Vertex")
// names it in the report. Raises zv::Error (ZV_ERR_GL) with the driver's log when it does
// not compile.
GLShader compileStage(GLenum stage, const char* source, const char* name);
// A program of these stages; `beforeLink`, when given, sets what must be set before linking
// (transform feedback varyings). Raises zv::Error (ZV_ERR_GL) when it does not link.
GLProgram linkProgram(std::initializer_list<const GLShader*> stages,
                      const std::function<void(GLuint)>& beforeLink = {});
// A linked program from two sources, or three with a geometry stage between them. Needs a
// current context with loaded entry points; raises as the two above.
GLProgram buildProgram(const char* vertexSource, const char* fragmentSource);
GLProgram buildProgram(const char* vertexSource, const char* geometrySource,
                       const char* fragmentSource);

// Lets go of the programs the current context still holds for the stages no program in use
// has. Some drivers (Mesa) keep a reference, for such a stage, to the last program that was
// made current while the stage went from a program's shader to none; deleting that program
// then only flags it, and its name and shaders live on in the context. Using a program of
// every stage the library uses (vertex, geometry, fragment) once and then the program in use
// before drops those references. For a context that outlives the library's objects (a
// target's), just before they are deleted; the program in use stays in use.
void releaseStageReferences();

}  // namespace internal
