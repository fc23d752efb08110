#pragma once
// Conversions between the public enumerations and OpenGL enumerants and small numeric
// helpers shared by the drawing code.

#include <cstddef>
#include <string>

#include "gl/gl.hpp"
#include "zarvo/defines.h"

namespace internal {

// OpenGL type of a ZVType; anything but the six integer types gives GL_FLOAT.
GLenum ZVTypeToGLenum(zv::ZVType type);
// ZVType of an OpenGL type; every enumerant but the six integer ones gives ZV_FLOAT32.
zv::ZVType GLenumToZVType(GLenum type);
// OpenGL pixel format of a ColorMode: 1 GL_RED, 3 GL_RGB, anything else GL_RGBA.
GLenum ZVModeToGLColor(zv::ColorMode mode);
// Bytes of one element of an OpenGL type: 1 for GL_BYTE and GL_UNSIGNED_BYTE, 2 for GL_SHORT
// and GL_UNSIGNED_SHORT, 4 for every other type (the library's are GL_INT, GL_UNSIGNED_INT
// and GL_FLOAT).
size_t bytesPerElement(GLenum type);
// Elements per pixel of an OpenGL pixel format: GL_RED 1, GL_RGB 3, anything else 4.
unsigned channelCount(GLenum format);

// Smallest power of two >= n; 0 for n <= 0. Raises zv::ArgumentError above 2^30.
int next_p2(int n);
// x limited to [0, 1]; NaN and -0.0 pass unchanged.
float clampTo01(float x);
// value in fixed-point notation with precision digits after the point (printf's %f).
std::string toString(float value, int precision);

}  // namespace internal
