#pragma once
// Shader sources of the colour-mapped scatter: a vertex stage that places each point and
// looks its value up in the window's colour map, a geometry stage that makes each point a
// square of whole pixels (as a plot's markers are), and a fragment stage that shapes it as
// the plot's markers are shaped (gMarkerShapeGlsl), scaled to the point's size.

#include "common/shader_interface.hpp"
#include "plot/plot_shaders.hpp"

namespace internal {

// "point" is (x, y), "value" the point's value and "size" its marker's side in pixels when
// "sized" is 1 ("markerSize" otherwise). Coordinates go to log10 on a logarithmic axis,
// less the axis' origin, through "transform" (see the plot's data vertex stage). The value
// maps onto the colour map as t = (value - range.x) / (range.y - range.x), taken in halves
// so that a range as wide as the float range does not overflow; the row is int(t x rows),
// clamped to the first and the last. A point whose coordinates, value or size are NaN or
// infinite, whose size is not above 0, or which has no logarithm on a logarithmic axis is
// not drawn.
inline constexpr const char* gScatterVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
const int rowsDeclared = 259;
layout(std140) uniform ColorMap {
    vec4 ch[rowsDeclared];
};
layout(location = CHART_POINT_LOCATION) in vec2 point;
layout(location = SCATTER_VALUE_LOCATION) in float value;
layout(location = SCATTER_SIZE_LOCATION) in float size;
uniform mat4 transform;
uniform vec2 origin;
uniform ivec2 logAxes;
uniform int sized;
uniform float markerSize;
uniform vec2 range;
uniform float cmaplen;
out vec4 vColor;
out float vSize;
out float vDrawn;
bool finite(float v) { return !isnan(v) && !isinf(v); }
void main(void) {
    vec2 v = point;
    bool drawn = finite(v.x) && finite(v.y) && finite(value);
    if (logAxes.x == 1) {
        drawn = drawn && v.x > 0.0;
        v.x = log2(max(v.x, 1e-30)) * 0.30102999566398120;
    }
    if (logAxes.y == 1) {
        drawn = drawn && v.y > 0.0;
        v.y = log2(max(v.y, 1e-30)) * 0.30102999566398120;
    }
    float s = sized == 1 ? size : markerSize;
    drawn = drawn && finite(s) && s > 0.0;
    vSize = clamp(s, 1.0, 256.0);
    float t = (0.5 * value - 0.5 * range.x) / (0.5 * range.y - 0.5 * range.x);
    int last = int(cmaplen) - 1;
    int row = int(clamp(t * cmaplen, 0.0, float(last)));
    vColor = vec4(ch[clamp(row, 0, last)].rgb, 1.0);
    vDrawn = drawn ? 1.0 : 0.0;
    v = drawn ? v - origin : vec2(0.0);
    gl_Position = transform * vec4(v, 0.0, 1.0);
}
)glsl";

// Each drawn point becomes a square of its size on whole pixels: centred on the pixel
// corner nearest the point (as a plot's markers) for even sizes, on the pixel centre for
// odd ones, so that the square covers whole pixels either way.
inline constexpr auto gScatterGeometryShaderText = glslJoin(ZV_GLSL_HEADER, R"glsl(
layout(points) in;
layout(triangle_strip, max_vertices = 4) out;
uniform vec2 halfViewport;
uniform vec2 viewportOrigin;
in vec4 vColor[];
in float vSize[];
in float vDrawn[];
flat out vec2 centre;
flat out vec4 color;
flat out float side;
void corner(vec2 c, float h, vec2 dir, float z) {
    gl_Position = vec4((c + h * dir) / halfViewport - 1.0, z, 1.0);
    centre = c + viewportOrigin;
    color = vColor[0];
    side = 2.0 * h;
    EmitVertex();
}
void main(void) {
    if (vDrawn[0] < 0.5)
        return;
    vec4 p = gl_in[0].gl_Position;
    vec2 w = (p.xy / p.w + 1.0) * halfViewport;
    float s = floor(vSize[0] + 0.5);
    bool odd = mod(s, 2.0) == 1.0;
    vec2 c = odd ? floor(w) + 0.5 : floor(w + 0.5);
    float z = p.z / p.w;
    float h = 0.5 * s;
    corner(c, h, vec2(-1.0, -1.0), z);
    corner(c, h, vec2(-1.0, 1.0), z);
    corner(c, h, vec2(1.0, -1.0), z);
    corner(c, h, vec2(1.0, 1.0), z);
    EndPrimitive();
}
)glsl");
inline constexpr const char* gScatterGeometryShaderSrc = gScatterGeometryShaderText.data();

// The plot's marker shapes, laid over the point's square: a pixel's offset from the centre
// is scaled to the 10-pixel square the shapes are defined on.
inline constexpr auto gScatterFragmentShaderText = glslJoin(ZV_GLSL_HEADER, gMarkerShapeGlsl, R"glsl(
uniform int marker_type;
flat in vec2 centre;
flat in vec4 color;
flat in float side;
out vec4 outputColor;
void main(void) {
    if (!markerKeeps((gl_FragCoord.xy - centre) * (10.0 / side), marker_type))
        discard;
    outputColor = color;
}
)glsl");
inline constexpr const char* gScatterFragmentShaderSrc = gScatterFragmentShaderText.data();

struct ScatterUniforms {
    enum : int {
        TRANSFORM,
        ORIGIN,
        LOG_AXES,
        SIZED,
        MARKER_SIZE,
        RANGE,
        CMAPLEN,
        HALF_VIEWPORT,
        VIEWPORT_ORIGIN,
        MARKER_TYPE,
        COUNT
    };
    static constexpr const char* NAMES[COUNT] = {
        "transform", "origin",  "logAxes",      "sized",          "markerSize",
        "range",     "cmaplen", "halfViewport", "viewportOrigin", "marker_type"};
};

}  // namespace internal
