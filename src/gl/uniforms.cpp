#include "gl/uniforms.hpp"

#include <algorithm>
#include <string>

#include "exception/raise.hpp"

namespace internal {

UniformCache::UniformCache(GLuint program, const char* const* names, size_t count)
    : mProgram(program), mSlots(count) {
    for (size_t u = 0; u < count; ++u) {
        mSlots[u].location = glGetUniformLocation(program, names[u]);
        if (mSlots[u].location < 0) {
            ZV_FAIL(UniformNotActive, __func__, names[u]);
        }
    }
}

bool UniformCache::update(int u, Kind kind, const GLfloat* value, int n) {
    Slot& s = mSlots[static_cast<size_t>(u)];
    s.kind = kind;
    if (s.held && s.size == n && std::equal(value, value + n, s.value)) return false;
    std::copy(value, value + n, s.value);
    s.size = n;
    s.held = true;
    return true;
}

bool UniformCache::update(int u, const GLint* value, int n) {
    Slot& s = mSlots[static_cast<size_t>(u)];
    s.kind = Kind::Int;
    if (s.held && s.size == n && std::equal(value, value + n, s.intValue)) return false;
    std::copy(value, value + n, s.intValue);
    s.size = n;
    s.held = true;
    return true;
}

void UniformCache::setMatrix4(int u, const GLfloat* value) {
    if (update(u, Kind::Matrix4, value, 16)) glUniformMatrix4fv(location(u), 1, GL_FALSE, value);
}

void UniformCache::setVec2(int u, const GLfloat* value) {
    if (update(u, Kind::Float, value, 2)) glUniform2fv(location(u), 1, value);
}

void UniformCache::setVec4(int u, const GLfloat* value) {
    if (update(u, Kind::Float, value, 4)) glUniform4fv(location(u), 1, value);
}

void UniformCache::setFloat(int u, GLfloat value) {
    if (update(u, Kind::Float, &value, 1)) glUniform1f(location(u), value);
}

void UniformCache::setInt(int u, GLint value) {
    if (update(u, &value, 1)) glUniform1i(location(u), value);
}

void UniformCache::setIVec2(int u, const GLint* value) {
    if (update(u, value, 2)) glUniform2iv(location(u), 1, value);
}

void UniformCache::uploadMatrix4(int u, const GLfloat* value) {
    Slot& s = mSlots[static_cast<size_t>(u)];
    s.kind = Kind::Matrix4;
    s.held = false;
    // Kept only so that a move away (enterWindow) writes something else.
    std::copy(value, value + 16, s.value);
    s.size = 16;
    glUniformMatrix4fv(s.location, 1, GL_FALSE, value);
}

void UniformCache::setConstant(int u, GLint value) {
    mSlots[static_cast<size_t>(u)].constant = true;
    glUniform1i(location(u), value);
}

void UniformCache::setConstant(int u, GLfloat value) {
    mSlots[static_cast<size_t>(u)].constant = true;
    glUniform1f(location(u), value);
}

void UniformCache::setConstantVec4(int u, const GLfloat* value) {
    mSlots[static_cast<size_t>(u)].constant = true;
    glUniform4fv(location(u), 1, value);
}

bool UniformCache::heldInt(int u, GLint* value) const {
    const Slot& s = mSlots[static_cast<size_t>(u)];
    if (!s.held || s.kind != Kind::Int || s.size != 1) return false;
    *value = s.intValue[0];
    return true;
}

void UniformCache::enterWindow(int windowId) {
    mWindow = windowId;
    // Values that differ from what the program holds in every component (0 where it holds
    // anything else, 1 where it holds 0: a boolean flips too), so that the real writes that
    // follow reach this context.
    for (Slot& s : mSlots) {
        s.held = false;
        if (s.constant) continue;
        switch (s.kind) {
            case Kind::Unset: break;
            case Kind::Int: {
                GLint away[2];
                for (int i = 0; i < 2; ++i) away[i] = s.intValue[i] == 0 ? 1 : 0;
                if (s.size == 2)
                    glUniform2iv(s.location, 1, away);
                else
                    glUniform1i(s.location, away[0]);
                break;
            }
            case Kind::Matrix4:
            case Kind::Float: {
                GLfloat away[16];
                for (int i = 0; i < 16; ++i) away[i] = s.value[i] == 0.0f ? 1.0f : 0.0f;
                switch (s.size) {
                    case 16: glUniformMatrix4fv(s.location, 1, GL_FALSE, away); break;
                    case 4: glUniform4fv(s.location, 1, away); break;
                    case 2: glUniform2fv(s.location, 1, away); break;
                    default: glUniform1f(s.location, away[0]); break;
                }
                break;
            }
        }
    }
}

}  // namespace internal
