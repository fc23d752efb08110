#pragma once
// Uniform values belong to a program, and a program is shared by every context of its share
// group; but a driver may keep a copy of the values per context, refreshed only when a write
// changes the value stored in the program (Mesa skips a write equal to the stored value).
// So after a program was used in another window, a write of exactly what that window left
// would leave this context drawing with its own old values. A program drawn in several
// windows therefore has its uniforms moved away once whenever the window changes, and then
// the real values are written.

#include <array>
#include <cstddef>
#include <vector>

#include "gl/gl.hpp"

namespace internal {

// Uniform values that never change for a program are written once, when it is built: `set`
// runs with `program` in use, and the program that was in use is put back afterwards.
template <class Set>
void setProgramConstants(GLuint program, Set&& set) {
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(program);
    set();
    glUseProgram(static_cast<GLuint>(previous));
}

// Half the width and height of `viewport` (x, y, width, height), as the programs that work
// in the viewport's pixels take it ("halfViewport").
inline std::array<GLfloat, 2> halfViewportOf(const GLint viewport[4]) {
    return {0.5f * static_cast<GLfloat>(viewport[2]), 0.5f * static_cast<GLfloat>(viewport[3])};
}

// The uniforms of one program, kept beside it (see gl/shared_program.hpp): their locations,
// all looked up when the program is built, the values last uploaded and the window they
// were uploaded in. Uniforms are named by their index in the program's table of names (an
// enumeration beside the shader source), so no draw can write a location that was never
// looked up, and no draw uploads a value the program already holds in that window.
//
// A table is a struct with an enumeration of its uniforms ending in COUNT and
// `static constexpr const char* NAMES[COUNT]`, in the same order.
class UniformCache {
public:
    UniformCache() = default;
    // Looks up every name of table U in `program`, which stays owned elsewhere and must
    // outlive the cache's use. Raises zv::Error (ZV_ERR_GL) when a name is not an active
    // uniform of the program: the table and the shader source disagree.
    template <class U>
    static UniformCache of(GLuint program) {
        return UniformCache(program, U::NAMES, U::COUNT);
    }

    // Puts the program in use for a draw in window `windowId`. When its last use was in
    // another window, every uniform but the constants is first moved away and forgotten
    // (see the comment at the top).
    void use(int windowId) {
        glUseProgram(mProgram);
        if (windowId != mWindow) enterWindow(windowId);
    }

    // Uploads the value unless the program holds it already in this window. The program
    // must be in use (use()).
    void setMatrix4(int u, const GLfloat* value);
    void setVec2(int u, const GLfloat* value);
    void setVec4(int u, const GLfloat* value);
    void setFloat(int u, GLfloat value);
    void setInt(int u, GLint value);
    void setIVec2(int u, const GLint* value);
    // Uploads without comparing, for a value that differs with nearly every write (a
    // glyph's position); the value is not compared by the next write.
    void uploadMatrix4(int u, const GLfloat* value);
    // A value written once, while the program is built (the same for every object drawing
    // with it), and never moved away (see setProgramConstants; the program must be in use).
    void setConstant(int u, GLint value);
    void setConstant(int u, GLfloat value);
    void setConstantVec4(int u, const GLfloat* value);

    // The int the program holds in uniform u in the window of the last use(), if known.
    bool heldInt(int u, GLint* value) const;
    GLint location(int u) const { return mSlots[static_cast<size_t>(u)].location; }
    GLuint program() const { return mProgram; }

private:
    UniformCache(GLuint program, const char* const* names, size_t count);
    enum class Kind { Unset, Float, Int, Matrix4 };
    struct Slot {
        GLint location = -1;
        Kind kind = Kind::Unset;  // the type last written, which the move away writes again
        int size = 0;             // floats or ints held
        bool held = false;
        bool constant = false;
        GLfloat value[16] = {};
        GLint intValue[2] = {};
    };
    // True, remembering the value, when slot u does not hold these n floats yet.
    bool update(int u, Kind kind, const GLfloat* value, int n);
    // The same for n ints.
    bool update(int u, const GLint* value, int n);
    void enterWindow(int windowId);

    GLuint mProgram = 0;
    int mWindow = -1;
    std::vector<Slot> mSlots;
};

}  // namespace internal
