#pragma once
// The image program: one quad scaled by "matrix", each texel looked up channel by channel in
// the colour map bound to the "ColorMap" block.

#include "common/shader_interface.hpp"

namespace internal {

inline constexpr const char* gImageVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
layout(location = IMAGE_POSITION_LOCATION) in vec3 pos;
layout(location = IMAGE_TEXCOORD_LOCATION) in vec2 tex;

uniform mat4 matrix;

out vec2 texcoord;

void main() {
    gl_Position = matrix * vec4(pos, 1.0);
    texcoord = tex;
}
)glsl";

// Uniforms of the image program; the colour map comes through the "ColorMap" block.
struct ImageUniforms {
    enum : int { MATRIX, CMAPLEN, VALUE_MAP, TEX, IS_GRAYSCALE, COUNT };
    static constexpr const char* NAMES[COUNT] = {"matrix", "cmaplen", "valueMap", "tex",
                                                 "isGrayScale"};
};

// The block is declared with the rows of the longest map; cmaplen says how many the bound
// map really has. "valueMap" (scale, offset, prescale) takes OpenGL's normalised texel to the
// map's [0, 1]: (1, 0, 1) unless the image has a value range. The prescale, a power of two
// applied first, is 1 unless the scale alone would not be a normal float (see ImageValueMap),
// so that ranges as wide as the float range, or very narrow ones, neither flush to zero nor
// overflow. Indices are clamped into the map: signed
// pixels normalise below 0 and float pixels may exceed 1, and either would read outside it.
// The float clamp keeps the int conversion in range. A NaN in a shown channel has no row to
// read (its int conversion is undefined), so the pixel is a hole: transparent black.
inline constexpr const char* gImageFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(
const int size = 259;

uniform float cmaplen;
layout(std140) uniform ColorMap {
    vec4 ch[size];
};
uniform sampler2D tex;
uniform bool isGrayScale;
uniform vec4 valueMap;

in vec2 texcoord;
out vec4 fragColor;

void main() {
    vec4 tcolor = texture(tex, texcoord);
    vec4 clrs = isGrayScale ? vec4(tcolor.r, tcolor.r, tcolor.r, 1.0) : tcolor;
    if (any(isnan(clrs.rgb))) {
        fragColor = vec4(0.0);
        return;
    }
    clrs = (clrs * valueMap.z) * valueMap.x + valueMap.y;
    float last = cmaplen - 1.0;
    vec4 fidx = clamp(last * clrs, 0.0, last);
    ivec4 idx = clamp(ivec4(fidx), 0, int(last));
    fragColor = vec4(ch[idx.x].r, ch[idx.y].g, ch[idx.z].b, 1.0);
}
)glsl";

}  // namespace internal
