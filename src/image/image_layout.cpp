#include "image/image_layout.hpp"

namespace internal {

ImageScale imageScale(unsigned imageWidth, unsigned imageHeight, int areaWidth, int areaHeight,
                      bool keepAspect) {
    if (!keepAspect || imageWidth == 0 || imageHeight == 0 || areaWidth <= 0 || areaHeight <= 0)
        return {1.0f, 1.0f};
    const float w = static_cast<float>(areaWidth);
    const float h = static_cast<float>(areaHeight);
    const float W = static_cast<float>(imageWidth);
    const float H = static_cast<float>(imageHeight);
    float tW, tH;
    if (imageWidth > imageHeight) {
        tH = w * H / W;
        tW = W * tH / H;
    } else {
        tW = h * W / H;
        tH = H * tW / W;
    }
    return {tW / w, tH / h};
}

GLenum imageInternalFormat(GLenum format, GLenum type) {
    // Float data goes into a float texture as it is. An unsized format would make the driver
    // convert every frame's pixels to 8 bits on the CPU (about 4.5 ms for a 1080p RGBA frame
    // with software OpenGL); the shader clamps the map index either way, so values outside
    // [0, 1] still show the first and last rows, and 8 bits against 32 moves an index by at
    // most one row.
    if (type == GL_FLOAT) {
        switch (format) {
            case GL_RED: return GL_R32F;
            case GL_RGB: return GL_RGB32F;
            default: return GL_RGBA32F;
        }
    }
    return format;
}

double imageElementUnit(GLenum type) {
    switch (type) {
        case GL_UNSIGNED_BYTE: return 255.0;
        case GL_BYTE: return 127.0;
        case GL_UNSIGNED_INT: return 4294967295.0;
        case GL_INT: return 2147483647.0;
        default: return 1.0;
    }
}

ImageValueMap imageValueMap(GLenum type, bool hasRange, double min, double max) {
    if (!hasRange) return {1.0f, 0.0f};
    // Formed in double: a range far from zero (temperatures in kelvin, say) would otherwise
    // lose most of the float's digits in the offset.
    const double span = max - min;
    return {static_cast<float>(imageElementUnit(type) / span), static_cast<float>(-min / span)};
}

uint64_t imageByteSize(unsigned width, unsigned height, unsigned channels,
                       unsigned bytesPerElement) {
    return static_cast<uint64_t>(width) * height * channels * bytesPerElement;
}

}  // namespace internal
