#pragma once
// The arithmetic of an image's draw, apart from OpenGL objects so that it needs no context:
// the quad's scale in its area, the texture's internal format and the pixel buffer's size.

#include <cstdint>

#include "gl/gl.hpp"

namespace internal {

// Scale of the quad (which spans -1..1 on both axes) in an area of areaWidth x areaHeight
// pixels for an image of imageWidth x imageHeight. Without keepAspect the image fills the
// area (1, 1). With it the image's longer side spans the area's corresponding side and the
// other follows the image's aspect ratio (a square image follows the area's height); the
// quad may then reach past the area on one side, where the viewport clips it. An empty image
// or area gives (1, 1).
struct ImageScale {
    float sx, sy;
};
ImageScale imageScale(unsigned imageWidth, unsigned imageHeight, int areaWidth, int areaHeight,
                      bool keepAspect);

// The texture's internal format for pixels of this OpenGL format and type: the format
// itself (unsized) for integer data, a 32-bit float format for float data.
GLenum imageInternalFormat(GLenum format, GLenum type);

// An element value as the image's shader sees it: OpenGL normalises integer elements (an
// unsigned byte k reads k / 255), float elements arrive as they are. The unit is what an
// element value of 1.0 in the shader stands for: 255 for unsigned bytes, 127 for signed
// bytes, 2^32 - 1 and 2^31 - 1 for the 32-bit integers, 1 for floats.
double imageElementUnit(GLenum type);

// What the shader does to a normalised texel value n before it picks a colour-map row:
// n * scale + offset, 0 being the map's first row and 1 its last. Without a value range the
// normalised value itself picks the row (scale 1, offset 0: the picture is that of an image
// without a range, bit for bit). With the range [min, max] in element units, min lands on
// the first row and max on the last, and everything between linearly; a reversed range
// reverses the map. min must differ from max (the caller checks).
struct ImageValueMap {
    float scale, offset;
};
ImageValueMap imageValueMap(GLenum type, bool hasRange, double min, double max);

// Byte size of the pixel buffer of width x height pixels of `channels` elements of
// `bytesPerElement` bytes, in 64 bits so that it cannot wrap.
uint64_t imageByteSize(unsigned width, unsigned height, unsigned channels,
                       unsigned bytesPerElement);

}  // namespace internal
