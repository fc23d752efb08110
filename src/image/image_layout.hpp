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
// itself (unsized) for unsigned integer data, a signed normalised 8-bit format for signed
// bytes, a 32-bit float format for float data and for 32-bit signed integers (normalised by
// the upload), so that negative values keep their sign.
GLenum imageInternalFormat(GLenum format, GLenum type);

// An element value as the image's shader sees it: OpenGL normalises integer elements (an
// unsigned byte k reads k / 255), float elements arrive as they are. The unit is what an
// element value of 1.0 in the shader stands for: 255 for unsigned bytes, 127 for signed
// bytes, 2^32 - 1 and 2^31 - 1 for the 32-bit integers, 1 for floats.
double imageElementUnit(GLenum type);

// What the shader does to a normalised texel value n before it picks a colour-map row:
// (n * prescale) * scale + offset, 0 being the map's first row and 1 its last. Without a
// value range the normalised value itself picks the row (scale 1, offset 0, prescale 1: the
// picture is that of an image without a range, bit for bit). With the range [min, max] in
// element units, min lands on the first row and max on the last, and everything between
// linearly; a reversed range reverses the map. prescale is a power of two, 1 unless the
// scale alone would not be a normal float (ranges near the whole float range wide, or
// extremely narrow ones); all three are then normal floats for any finite range at least
// MIN_VALUE_SPAN wide. min must differ from max by that much (the caller checks).
struct ImageValueMap {
    float scale, offset, prescale;
};
// The narrowest value range an image takes: 2^-110, about 7.7e-34. GPUs may read floats
// below FLT_MIN (about 1.2e-38, the denormal floats) as 0; in a range at least this wide
// that moves a value by less than 1/65536 of the range, so both ends still land on the
// map's ends.
constexpr double MIN_VALUE_SPAN = 7.7037197775489434e-34;
ImageValueMap imageValueMap(GLenum type, bool hasRange, double min, double max);

// Byte size of the pixel buffer of width x height pixels of `channels` elements of
// `bytesPerElement` bytes, in 64 bits so that it cannot wrap.
uint64_t imageByteSize(unsigned width, unsigned height, unsigned channels,
                       unsigned bytesPerElement);

}  // namespace internal
