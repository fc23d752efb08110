#include "common/common.hpp"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iostream>
#include <limits>
#include <memory>
#include <sstream>

#include "gl/raise.hpp"

namespace internal {

GLenum ZVTypeToGLenum(zv::ZVType type) {
    switch (type) {
        case zv::ZV_INT8: return GL_BYTE;
        case zv::ZV_UINT8: return GL_UNSIGNED_BYTE;
        case zv::ZV_INT32: return GL_INT;
        case zv::ZV_UINT32: return GL_UNSIGNED_INT;
        default: return GL_FLOAT;
    }
}

zv::ZVType GLenumToZVType(GLenum type) {
    switch (type) {
        case GL_BYTE: return zv::ZV_INT8;
        case GL_UNSIGNED_BYTE: return zv::ZV_UINT8;
        case GL_INT: return zv::ZV_INT32;
        case GL_UNSIGNED_INT: return zv::ZV_UINT32;
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

zv::ColorMode GLModeToZVColor(GLenum format) {
    switch (format) {
        case GL_RED: return zv::ZV_GRAYSCALE;
        case GL_RGB: return zv::ZV_RGB;
        default: return zv::ZV_RGBA;
    }
}

size_t bytesPerElement(GLenum type) {
    return (type == GL_BYTE || type == GL_UNSIGNED_BYTE) ? 1 : 4;
}

unsigned channelCount(GLenum format) {
    switch (format) {
        case GL_RED: return 1;
        case GL_RGB: return 3;
        default: return 4;
    }
}

std::string getName(zv::ZVType type) {
    switch (type) {
        case zv::ZV_INT8: return "int8";
        case zv::ZV_UINT8: return "uint8";
        case zv::ZV_INT32: return "int32";
        case zv::ZV_UINT32: return "uint32";
        case zv::ZV_FLOAT32: return "float32";
        default: return "unknown type " + std::to_string(static_cast<int>(type));
    }
}

void stringcopy(char* dst, const char* src, size_t n) { std::strncpy(dst, src, n); }

char* loadFile(const char* path, int& length) {
    std::ifstream file(path, std::ios::in | std::ios::binary | std::ios::ate);
    if (!file.is_open() || !file.seekg(0, std::ios::end)) {
        ZV_RAISE_AT("loadFile", 89, std::string("Unable to open file ") + path, zv::ZV_ERR_GL);
    }
    std::streamoff end = file.tellg();
    if (end < 0) {
        ZV_RAISE_AT("loadFile", 89, std::string("Unable to open file ") + path, zv::ZV_ERR_GL);
    }
    if (end > std::numeric_limits<int>::max()) {
        ZV_RAISE_AT("loadFile", 89,
                    std::string("File ") + path + " is too large: at most 2 GiB - 1 bytes can be loaded",
                    zv::ZV_ERR_GL);
    }
    length = static_cast<int>(end);
    char* buffer = new char[length];
    file.seekg(0, std::ios::beg);
    file.read(buffer, length);
    file.close();
    std::cerr << "file " << path << " loaded" << std::endl;
    return buffer;
}

int next_p2(int n) {
    if (n <= 0) return 0;
    if (n > (1 << 30)) {
        ZV_RAISE_ARG("next_p2", 1, "n must be at most 2^30, whose next power of two fits in int");
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
