#pragma once
// Uniform values belong to a program, and a program is shared by every context of its share
// group; but a driver may keep a copy of the values per context, refreshed only when a write
// changes the value stored in the program (Mesa skips a write equal to the stored value).
// So after a program was used in another window, a write of exactly what that window left
// would leave this context drawing with its own old values. A renderable drawn in several
// windows therefore moves its uniforms away once whenever the window changes, then writes
// the real values.

#include "gl/gl.hpp"

namespace internal {

// Uniform values that never change for an object are written once, when it is built: `set`
// runs with `program` in use, and the program that was in use is put back afterwards.
template <class Set>
void setProgramConstants(GLuint program, Set&& set) {
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(program);
    set();
    glUseProgram(static_cast<GLuint>(previous));
}

class UniformRefresh {
public:
    // True when the program is about to be used in another window than last time; the
    // caller then writes a throw-away value (see away()) before each real one.
    bool windowChanged(int windowId) {
        bool changed = windowId != mLastWindow;
        mLastWindow = windowId;
        return changed;
    }

    // Writes values no draw uses to the given locations, so that the next real writes
    // differ from what the program holds.
    static void awayMatrix(GLint location) {
        static const GLfloat NONE[16] = {};
        glUniformMatrix4fv(location, 1, GL_FALSE, NONE);
    }
    static void awayVec4(GLint location) { glUniform4f(location, -1.0f, -1.0f, -1.0f, -1.0f); }
    static void awayFloat(GLint location) { glUniform1f(location, -1.0f); }
    static void awayInt(GLint location) { glUniform1i(location, -1); }

private:
    int mLastWindow = -1;
};

}  // namespace internal
