#include "common/common.hpp"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iostream>
#include <limits>
#include <memory>
#include <sstream>

#include "exception/raise.hpp"

namespace internal {

GLenum ZVTypeToGLenum(zv::ZVType type) {
    switch (type) {
        case zv::ZV_INT8: return GL_BYTE;
        case zv::ZV_UINT8: return GL_UNSIGNED_BYTE;
        case zv::ZV_INT32: return GL_INT;
        case zv::ZV_UINT32: return GL_UNSIGNED_INT;
        case zv::ZV_INT16: return GL_SHORT;
        case zv::ZV_UINT16: return GL_UNSIGNED_SHORT;
        default: return GL_FLOAT;
    }
}

zv::ZVType GLenumToZVType(GLenum type) {
    switch (type) {
        case GL_BYTE: return zv::ZV_INT8;
        case GL_UNSIGNED_BYTE: return zv::ZV_UINT8;
        case GL_INT: return zv::ZV_INT32;
        case GL_UNSIGNED_INT: return zv::ZV_UINT32;
        case GL_SHORT: return zv::ZV_INT16;
        case GL_UNSIGNED_SHORT: return zv::ZV_UINT16;
        default: return zv::ZV_FLOAT32;
    }
}

GLenum ZVModeToGLColor(zv::ColorMode mode) {
    switch (static_cast<int>(mode)) {
        case 1: return GL_RED;
        case 3: return GL_RGB;
        default: return GL_RGBA;
    }
}

size_t bytesPerElement(GLenum type) {
    if (type == GL_BYTE || type == GL_UNSIGNED_BYTE) return 1;
    if (type == GL_SHORT || type == GL_UNSIGNED_SHORT) return 2;
    return 4;
}

unsigned channelCount(GLenum format) {
    switch (format) {
        case GL_RED: return 1;
        case GL_RGB: return 3;
        default: return 4;
    }
}

int next_p2(int n) {
    if (n <= 0) return 0;
    if (n > (1 << 30)) {
        ZV_FAIL(PowerOfTwoTooLarge, "next_p2");
    }
    return static_cast<int>(std::exp2(std::ceil(std::log2(static_cast<double>(n)))));
}

float clampTo01(float x) {
    if (0 > x) return 0.0f;
    return (x > 1.0f) ? 1.0f : x;
}

std::string toString(float value, int precision) {
    std::ostringstream ss;
    ss.imbue(std::locale::classic());
    ss << std::fixed;
    ss.precision(precision);
    ss << value;
    return ss.str();
}

}  // namespace internal
