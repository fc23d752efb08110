#pragma once
// Shader sources of the plot: the data vertex stage shared by the line and the markers, the
// markers' geometry stage, which makes each point a 10-pixel square, and their fragment
// stage, which shapes it. The line's fragment stage is the chart frame's plain one.

#include "common/shader_interface.hpp"

namespace internal {

// The data pass of a plot, line and markers alike. "point" sits at the location every chart
// program uses (CHART_POINT_LOCATION), so the plot's one vertex array serves both passes.
// Each coordinate is taken to log10 on a logarithmic axis ("logAxes" 1), then the axis'
// origin (the minimum, or its log10) is subtracted before "transform" scales it onto the
// frame: the difference of two nearby floats is exact, so narrow ranges far from zero keep
// their precision. A point at or below zero on a logarithmic axis has no logarithm: it gets
// a clip distance so negative that the clipper cuts every segment to it down to its other
// end, and drops it as a marker (the plot enables GL_CLIP_DISTANCE0 for logarithmic axes).
inline constexpr const char* gMarkerVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
layout(location = CHART_POINT_LOCATION) in vec2 point;
uniform mat4 transform;
uniform vec2 origin;
uniform ivec2 logAxes;
void main(void) {
    vec2 v = point;
    bool drawn = true;
    if (logAxes.x == 1) {
        drawn = drawn && v.x > 0.0;
        v.x = log2(max(v.x, 1e-30)) * 0.30102999566398120;
    }
    if (logAxes.y == 1) {
        drawn = drawn && v.y > 0.0;
        v.y = log2(max(v.y, 1e-30)) * 0.30102999566398120;
    }
    v = drawn ? v - origin : vec2(0.0);
    gl_Position = transform * vec4(v, 0.0, 1.0);
    gl_ClipDistance[0] = drawn ? 1.0 : -1e30;
    gl_PointSize = 10.0;
}
)glsl";

// Uniforms of the line program (gMarkerVertexShaderSrc, gLineGeometryShaderSrc and
// gChartFragmentShaderSrc; see makeLineProgram).
struct LineUniforms {
    enum : int { TRANSFORM, COLOR, ORIGIN, LOG_AXES, HALF_VIEWPORT, HALF_WIDTH, COUNT };
    static constexpr const char* NAMES[COUNT] = {"transform", "color",        "origin",
                                                 "logAxes",   "halfViewport", "halfWidth"};
};

// Each point becomes a square of 10 x 10 pixels centred on it, two triangles with the
// sprite coordinate (u, v) of a point sprite: (0, 0) at the top-left corner. A software
// rasteriser widens points into squares on the CPU one by one, several times slower than
// this stage; triangles also look the same on every rasteriser. "halfViewport" is half the
// viewport's width and height in pixels. A point the data vertex stage clipped away (no
// logarithm on a logarithmic axis) makes nothing.
inline constexpr const char* gMarkerGeometryShaderSrc = ZV_GLSL_HEADER R"glsl(
layout(points) in;
layout(triangle_strip, max_vertices = 4) out;
uniform vec2 halfViewport;
out vec2 spriteCoord;
void corner(vec4 centre, vec2 side, vec2 uv) {
    gl_Position = centre + vec4(side * (5.0 / halfViewport) * centre.w, 0.0, 0.0);
    gl_ClipDistance[0] = 1.0;
    spriteCoord = uv;
    EmitVertex();
}
void main(void) {
    if (gl_in[0].gl_ClipDistance[0] < 0.0)
        return;
    vec4 c = gl_in[0].gl_Position;
    corner(c, vec2(-1.0, -1.0), vec2(0.0, 1.0));
    corner(c, vec2(-1.0, 1.0), vec2(0.0, 0.0));
    corner(c, vec2(1.0, -1.0), vec2(1.0, 1.0));
    corner(c, vec2(1.0, 1.0), vec2(1.0, 0.0));
    EndPrimitive();
}
)glsl";

// Uniforms of the marker program (gMarkerVertexShaderSrc, gMarkerGeometryShaderSrc and
// gMarkerSpriteFragmentShaderSrc).
struct MarkerUniforms {
    enum : int { TRANSFORM, LINE_COLOR, MARKER_TYPE, ORIGIN, LOG_AXES, HALF_VIEWPORT, COUNT };
    static constexpr const char* NAMES[COUNT] = {"transform", "line_color", "marker_type",
                                                 "origin",    "logAxes",    "halfViewport"};
};

// (u, v) is the sprite coordinate, v = 0 at the top edge. Marker types 1 to 7 are a disc,
// a ring, a square outline, a triangle with its apex up, a diagonal cross, an upright
// cross and both crosses together; any other value keeps the whole square.
inline constexpr const char* gMarkerSpriteFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(
uniform int marker_type;
uniform vec4 line_color;
in vec2 spriteCoord;
out vec4 outputColor;
void main(void) {
    float u = spriteCoord.x;
    float v = spriteCoord.y;
    float a = u - 0.5;
    float b = v - 0.5;
    float dist = sqrt(a * a + b * b);
    bool keep = true;
    switch (marker_type) {
        case 1:
            keep = dist < 0.3;
            break;
        case 2:
            keep = dist > 0.3 && dist < 0.5;
            break;
        case 3:
            keep = u < 0.15 || u > 0.85 || v < 0.15 || v > 0.85;
            break;
        case 4:
            keep = 2.0 * (u - 0.25) - (v + 0.5) < 0.0 && 2.0 * (u - 0.25) + (v + 0.5) > 1.0;
            break;
        case 5:
            keep = abs(a + b) < 0.13 || abs(a - b) < 0.13;
            break;
        case 6:
            keep = abs(a) < 0.07 || abs(b) < 0.07;
            break;
        case 7:
            keep = abs(a + b) < 0.07 || abs(a - b) < 0.07 || abs(a) < 0.07 || abs(b) < 0.07;
            break;
        default:
            keep = true;
            break;
    }
    if (!keep)
        discard;
    outputColor = line_color;
}
)glsl";

}  // namespace internal
