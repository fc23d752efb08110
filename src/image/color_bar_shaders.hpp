#pragma once
// Shader sources of an image's colour bar: the image's quad placed by "matrix" over the bar,
// showing the colour map from its first row at the bottom to its last at the top, or one
// solid colour (the ticks) when "solid" has a non-zero alpha.

#include "common/shader_interface.hpp"

namespace internal {

inline constexpr const char* gColorBarVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
layout(location = IMAGE_POSITION_LOCATION) in vec3 pos;
layout(location = IMAGE_TEXCOORD_LOCATION) in vec2 tex;

uniform mat4 matrix;

out float value;

void main() {
    gl_Position = matrix * vec4(pos, 1.0);
    // The quad's texture coordinate runs from 1 at the bottom to 0 at the top.
    value = 1.0 - tex.y;
}
)glsl";

// The rows are read as an image reads them: row int((rows - 1) * value).
inline constexpr const char* gColorBarFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(
const int size = 259;

uniform float cmaplen;
layout(std140) uniform ColorMap {
    vec4 ch[size];
};
uniform vec4 solid;

in float value;
out vec4 fragColor;

void main() {
    if (solid.a > 0.0) {
        fragColor = solid;
        return;
    }
    float last = cmaplen - 1.0;
    int row = clamp(int(clamp(last * value, 0.0, last)), 0, int(last));
    fragColor = vec4(ch[row].rgb, 1.0);
}
)glsl";

// Uniforms of the colour bar program.
struct ColorBarUniforms {
    enum : int { MATRIX, ROWS, SOLID, COUNT };
    static constexpr const char* NAMES[COUNT] = {"matrix", "cmaplen", "solid"};
};

}  // namespace internal
