#include "image/image_layout.hpp"

#include <cmath>

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
    const auto sized = [format](GLenum red, GLenum rgb, GLenum rgba) {
        switch (format) {
            case GL_RED: return red;
            case GL_RGB: return rgb;
            default: return rgba;
        }
    };
    // Float data goes into a float texture as it is. An unsized format would make the driver
    // convert every frame's pixels to 8 bits on the CPU (about 4.5 ms for a 1080p RGBA frame
    // with software OpenGL); the shader clamps the map index either way, so values outside
    // [0, 1] still show the first and last rows, and 8 bits against 32 moves an index by at
    // most one row.
    if (type == GL_FLOAT) return sized(GL_R32F, GL_RGB32F, GL_RGBA32F);
    // Signed data needs a format that keeps the sign: an unsized format stores unsigned
    // normalised texels and clamps every negative value to 0. Signed bytes keep their bits in
    // a signed normalised texture (k reads k / 127); 32-bit integers are normalised by the
    // upload (k / (2^31 - 1)) into a float texture, which keeps 24 of their bits.
    if (type == GL_BYTE) return sized(GL_R8_SNORM, GL_RGB8_SNORM, GL_RGBA8_SNORM);
    if (type == GL_INT) return sized(GL_R32F, GL_RGB32F, GL_RGBA32F);
    // 16-bit channels keep all their bits, normalised like bytes: k / 65535 unsigned,
    // k / 32767 signed (an unsized format would keep 8 of them).
    if (type == GL_SHORT) return sized(GL_R16_SNORM, GL_RGB16_SNORM, GL_RGBA16_SNORM);
    if (type == GL_UNSIGNED_SHORT) return sized(GL_R16, GL_RGB16, GL_RGBA16);
    return format;
}

double imageElementUnit(GLenum type) {
    switch (type) {
        case GL_UNSIGNED_BYTE: return 255.0;
        case GL_BYTE: return 127.0;
        case GL_UNSIGNED_SHORT: return 65535.0;
        case GL_SHORT: return 32767.0;
        case GL_UNSIGNED_INT: return 4294967295.0;
        case GL_INT: return 2147483647.0;
        default: return 1.0;
    }
}

ImageValueMap imageValueMap(GLenum type, bool hasRange, double min, double max) {
    if (!hasRange) return {1.0f, 0.0f, 1.0f};
    // Formed in double: a range far from zero (temperatures in kelvin, say) would otherwise
    // lose most of the float's digits in the offset. The offset stays within 2^24 or so
    // (two different floats are at least a unit in the last place of either apart).
    const double span = max - min;
    const double scale = imageElementUnit(type) / span;
    // A scale outside the normal floats (a range near 2 FLT_MAX wide gives 1.5e-39, which a
    // GPU flushes to zero; a very narrow one passes FLT_MAX) is split into a power of two,
    // applied to the texel first, and a scale that is a normal float again.
    double prescale = 1.0;
    if (std::fabs(scale) < std::ldexp(1.0, -60)) prescale = std::ldexp(1.0, -64);
    if (std::fabs(scale) > std::ldexp(1.0, 60)) prescale = std::ldexp(1.0, 64);
    return {static_cast<float>(scale / prescale), static_cast<float>(-min / span),
            static_cast<float>(prescale)};
}

uint64_t imageByteSize(unsigned width, unsigned height, unsigned channels,
                       unsigned bytesPerElement) {
    return static_cast<uint64_t>(width) * height * channels * bytesPerElement;
}

}  // namespace internal
