#pragma once
// Where the GPU passes that read a series' points (the fit's reduction, the line's level of
// detail, the dense markers) find point i: x and y each fetched from a buffer texture of
// single elements laid over the series' buffer(s), at element p * stride + offset, or x made
// from the index (i * step + start). p is the point's place in the buffer: the points drawn
// run from `start` on, `count` of them, and wrap from the buffer's last point to its first
// (a ring whose oldest point is at `start`), i counting from the oldest.

#include "gl/gl.hpp"

namespace internal {

// A series' buffers and the places of x and y in them, in elements of `type`.
struct PointSource {
    GLuint buffers[2] = {0, 0};  // x, y (the same buffer for one-buffer layouts)
    GLenum type = GL_FLOAT;
    GLint stride[2] = {2, 2};
    GLint offset[2] = {0, 1};
    bool implicitX = false;  // x is i * step + start; buffers[0] is unused
    float step = 1.0f;
    float start = 0.0f;
    unsigned capacity = 0;  // points the buffers hold
    // Whether x and y lie in buffers of their own (and so in textures of their own).
    bool twoBuffers() const { return !implicitX && buffers[0] != buffers[1]; }
    // Elements a buffer texture over buffer k must cover.
    unsigned long long elements(int k) const {
        return capacity == 0 ? 0
                             : static_cast<unsigned long long>(capacity - 1) *
                                       static_cast<unsigned>(stride[k]) +
                                   static_cast<unsigned>(offset[k]) + 1;
    }
};

// The points drawn: `count` from place `start` on, wrapping at the capacity.
struct PointWindow {
    unsigned start = 0;
    unsigned count = 0;
};

// The single-element texture format and sampler of a point type.
struct ElementFormat {
    GLenum internalFormat;
    const char* sampler;
};
inline ElementFormat elementFormat(GLenum type) {
    switch (type) {
        case GL_UNSIGNED_BYTE: return {GL_R8UI, "usamplerBuffer"};
        case GL_SHORT: return {GL_R16I, "isamplerBuffer"};
        case GL_UNSIGNED_SHORT: return {GL_R16UI, "usamplerBuffer"};
        case GL_INT: return {GL_R32I, "isamplerBuffer"};
        case GL_UNSIGNED_INT: return {GL_R32UI, "usamplerBuffer"};
        default: return {GL_R32F, "samplerBuffer"};
    }
}

// The fetch, for a source put after ZV_GLSL_HEADER and a line defining POINTS (the
// sampler type). "xData" reads texture unit 0, "yData" unit 1 when y has a buffer of its
// own and unit 0 otherwise (one texture over the one buffer); "pointBase" is the place
// of the first point the textures hold (0 unless a piece of the data was copied out).
// point(i) takes i from the oldest point drawn; placeOf(i) gives its place, and
// pointAt(p, i) fetches the point at place p whose index is i.
inline constexpr char gPointFetchGlsl[] = R"glsl(
uniform POINTS xData;
uniform POINTS yData;
uniform ivec2 layoutStride;
uniform ivec2 layoutOffset;
uniform int implicitOn;
uniform vec2 implicitX;
uniform int ringStart;
uniform int ringCapacity;
uniform int pointBase;
int placeOf(int i) {
    int p = ringStart + i;
    return p >= ringCapacity ? p - ringCapacity : p;
}
vec2 pointAt(int p, int i) {
    int q = p - pointBase;
    float y = float(texelFetch(yData, q * layoutStride.y + layoutOffset.y).r);
    float x = implicitOn == 1 ? float(i) * implicitX.x + implicitX.y
                              : float(texelFetch(xData, q * layoutStride.x + layoutOffset.x).r);
    return vec2(x, y);
}
vec2 point(int i) {
    return pointAt(placeOf(i), i);
}
)glsl";

// The uniform names of the fetch, for a program's table (in this order, after its own).
#define ZV_POINT_FETCH_NAMES                                                             \
    "xData", "yData", "layoutStride", "layoutOffset", "implicitOn", "implicitX", "ringStart", \
        "ringCapacity", "pointBase"
#define ZV_POINT_FETCH_ENUM                                                                 \
    X_DATA, Y_DATA, LAYOUT_STRIDE, LAYOUT_OFFSET, IMPLICIT_ON, IMPLICIT_X, RING_START,     \
        RING_CAPACITY, POINT_BASE

// Writes the fetch's uniforms of table U (whose enumeration holds ZV_POINT_FETCH_ENUM) for
// `source` and `window`; the program must be in use. xData's unit (0) is written as a
// constant when the program is built (setPointSamplers).
template <class U, class Cache>
void setPointFetch(Cache& u, const PointSource& source, const PointWindow& window,
                   GLint base = 0) {
    u.setInt(U::Y_DATA, source.twoBuffers() ? 1 : 0);
    u.setIVec2(U::LAYOUT_STRIDE, source.stride);
    u.setIVec2(U::LAYOUT_OFFSET, source.offset);
    u.setInt(U::IMPLICIT_ON, source.implicitX ? 1 : 0);
    const GLfloat implicit[2] = {source.step, source.start};
    u.setVec2(U::IMPLICIT_X, implicit);
    u.setInt(U::RING_START, static_cast<GLint>(window.start));
    u.setInt(U::RING_CAPACITY, static_cast<GLint>(source.capacity));
    u.setInt(U::POINT_BASE, base);
}
template <class U, class Cache>
void setPointSamplers(Cache& u) {
    u.setConstant(U::X_DATA, 0);
}

// Binds the buffer textures of x (unit 0) and y (unit 1 when it differs from x's, leaving
// unit 0 active) for the fetch. Returns what unit 1's buffer target held, which
// unbindPointTextures puts back: the application's binding there is no business of ours.
inline GLint bindPointTextures(GLuint x, GLuint y) {
    GLint previous = 0;
    if (y != x) {
        glActiveTexture(GL_TEXTURE1);
        glGetIntegerv(GL_TEXTURE_BINDING_BUFFER, &previous);
        glBindTexture(GL_TEXTURE_BUFFER, y);
        glActiveTexture(GL_TEXTURE0);
    }
    glBindTexture(GL_TEXTURE_BUFFER, x);
    return previous;
}
inline void unbindPointTextures(bool twoTextures, GLint previous) {
    if (twoTextures) {
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_BUFFER, static_cast<GLuint>(previous));
        glActiveTexture(GL_TEXTURE0);
    }
    glBindTexture(GL_TEXTURE_BUFFER, 0);
}

}  // namespace internal
