#pragma once
// Shader sources of the band: a vertex stage that places point i of both edges, and a
// geometry stage that fills between points i and i + 1 of both, split where the edges
// cross. The fragment stage is the chart frame's plain one ("color").

#include "common/shader_interface.hpp"

namespace internal {

// "lower" is point i of the first edge, "upper" point i of the second; with "toBaseline" 1
// the second edge is (lower.x, baseline) and "upper" is not read. Each coordinate is taken
// to log10 on a logarithmic axis ("logAxes"), less the axis' origin, then through
// "transform" (see the plot's data vertex stage). A point that is not finite, or has no
// logarithm on a logarithmic axis, marks the vertex as not drawn.
inline constexpr const char* gBandVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
layout(location = CHART_POINT_LOCATION) in vec2 lower;
layout(location = BAND_UPPER_LOCATION) in vec2 upper;
uniform mat4 transform;
uniform vec2 origin;
uniform ivec2 logAxes;
uniform int toBaseline;
uniform float baseline;
out vec4 vLower;
out vec4 vUpper;
out float vDrawn;
bool place(vec2 p, out vec4 clip) {
    vec2 v = p;
    bool drawn = !any(isnan(v)) && !any(isinf(v));
    if (logAxes.x == 1) {
        drawn = drawn && v.x > 0.0;
        v.x = log2(max(v.x, 1e-30)) * 0.30102999566398120;
    }
    if (logAxes.y == 1) {
        drawn = drawn && v.y > 0.0;
        v.y = log2(max(v.y, 1e-30)) * 0.30102999566398120;
    }
    v = drawn ? v - origin : vec2(0.0);
    clip = transform * vec4(v, 0.0, 1.0);
    return drawn;
}
void main(void) {
    vec2 second = toBaseline == 1 ? vec2(lower.x, baseline) : upper;
    bool a = place(lower, vLower);
    bool b = place(second, vUpper);
    vDrawn = (a && b) ? 1.0 : 0.0;
    gl_Position = vLower;
}
)glsl";

// From each pair of consecutive points (a GL_LINE_STRIP's segment), the quadrilateral
// between the edges; where the edges cross between the points (their difference in y
// changes sign) two triangles meeting at the crossing instead, so that the fill never
// covers what lies outside the band. A pair with an end not drawn makes nothing.
inline constexpr const char* gBandGeometryShaderSrc = ZV_GLSL_HEADER R"glsl(
layout(lines) in;
layout(triangle_strip, max_vertices = 6) out;
in vec4 vLower[];
in vec4 vUpper[];
in float vDrawn[];
void emit(vec4 p) {
    gl_Position = p;
    gl_ClipDistance[0] = 1.0;
    EmitVertex();
}
void main(void) {
    if (vDrawn[0] < 0.5 || vDrawn[1] < 0.5)
        return;
    vec4 a0 = vLower[0], a1 = vUpper[0], b0 = vLower[1], b1 = vUpper[1];
    float da = a1.y - a0.y;
    float db = b1.y - b0.y;
    if (da * db < 0.0) {
        vec4 c = mix(a0, b0, da / (da - db));
        emit(a0);
        emit(a1);
        emit(c);
        EndPrimitive();
        emit(c);
        emit(b0);
        emit(b1);
        EndPrimitive();
        return;
    }
    emit(a0);
    emit(a1);
    emit(b0);
    emit(b1);
    EndPrimitive();
}
)glsl";

// Uniforms of the band program.
struct BandUniforms {
    enum : int { TRANSFORM, COLOR, ORIGIN, LOG_AXES, TO_BASELINE, BASELINE, COUNT };
    static constexpr const char* NAMES[COUNT] = {"transform",  "color",     "origin",
                                                 "logAxes",    "toBaseline", "baseline"};
};

}  // namespace internal
