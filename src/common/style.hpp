#pragma once
// The library's side of zv::Style: checking a style handed in, comparing two, and its colours
// as the shaders take them.

#include "zarvo/style.h"

namespace internal {

// Raises zv::ArgumentError (argument 1, recorded as `label`) for a font size outside
// 6 .. 64, a line width outside 1 .. 64 (or NaN), or an enumeration value outside its list.
void checkStyle(const zv::Style& style, const char* label);
bool sameStyle(const zv::Style& a, const zv::Style& b);
// 0xRRGGBBAA as four floats of 0 .. 1.
void colorToFloats(zv::Color c, float out[4]);

// The library's own look: what a draw without any style takes.
const zv::Style& defaultStyle();

// The foreground (frame, ticks, labels) of `style`, or of the library's own look for null, as
// four floats.
inline void foregroundOf(const zv::Style* style, float out[4]) {
    colorToFloats((style ? *style : defaultStyle()).foreground, out);
}

}  // namespace internal
