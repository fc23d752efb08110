#pragma once
// Shader sources of bars: a vertex stage that places the bar of one category (one point per
// category) and a geometry stage that fills its rectangle; and the stack pass, which adds
// the tops of the bars below to the values by transform feedback. The fragment stage of the
// bars is the chart frame's plain one ("color").

#include "common/shader_interface.hpp"

namespace internal {

// "value" is the bar's top (the value, or a stack's top), "base" where it starts when
// "stacked" is 1 (0 otherwise); the category is the vertex number. The bar covers the
// category coordinates gl_VertexID + place.x to + place.x + place.y, and from base to value
// along the value axis; with "horizontal" 1 categories run along y. Each coordinate is
// taken to log10 on a logarithmic axis ("logAxes"), less the axis' origin, then through
// "transform" (see the plot's data vertex stage). On a logarithmic axis a base at or below
// zero starts at "logFloor" (log10 units below the frame's bottom), and a top or category
// edge at or below zero, or any coordinate that is not finite, leaves the bar out.
inline constexpr const char* gBarsVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
layout(location = CHART_POINT_LOCATION) in float value;
layout(location = BARS_BASE_LOCATION) in float base;
uniform mat4 transform;
uniform vec2 origin;
uniform ivec2 logAxes;
uniform vec2 logFloor;
uniform int stacked;
uniform int horizontal;
uniform vec2 place;
out vec4 vLow;
out vec4 vHigh;
out float vDrawn;
float axisValue(float v, int axis, bool isBase, inout bool drawn) {
    drawn = drawn && !isnan(v) && !isinf(v);
    if (logAxes[axis] == 1) {
        if (v > 0.0) return log2(v) * 0.30102999566398120 - origin[axis];
        if (isBase) return logFloor[axis] - origin[axis];
        drawn = false;
        return 0.0;
    }
    return v - origin[axis];
}
void main(void) {
    bool drawn = true;
    int c = horizontal == 1 ? 1 : 0;
    int v = 1 - c;
    float c0 = float(gl_VertexID) + place.x;
    vec2 low, high;
    low[c] = axisValue(c0, c, false, drawn);
    high[c] = axisValue(c0 + place.y, c, false, drawn);
    low[v] = axisValue(stacked == 1 ? base : 0.0, v, true, drawn);
    high[v] = axisValue(value, v, false, drawn);
    vLow = transform * vec4(drawn ? low : vec2(0.0), 0.0, 1.0);
    vHigh = transform * vec4(drawn ? high : vec2(0.0), 0.0, 1.0);
    vDrawn = drawn ? 1.0 : 0.0;
    gl_Position = vLow;
}
)glsl";

// The rectangle between the two corners (the transform maps each axis on its own, so the
// other two corners mix their coordinates).
inline constexpr const char* gBarsGeometryShaderSrc = ZV_GLSL_HEADER R"glsl(
layout(points) in;
layout(triangle_strip, max_vertices = 4) out;
in vec4 vLow[];
in vec4 vHigh[];
in float vDrawn[];
void emit(vec4 p) {
    gl_Position = p;
    gl_ClipDistance[0] = 1.0;
    EmitVertex();
}
void main(void) {
    if (vDrawn[0] < 0.5)
        return;
    vec4 a = vLow[0], b = vHigh[0];
    emit(a);
    emit(vec4(b.x, a.y, a.zw));
    emit(vec4(a.x, b.y, a.zw));
    emit(vec4(b.x, b.y, a.zw));
    EndPrimitive();
}
)glsl";

// The stack pass: "top" = the top of the bar below ("base") plus the value, captured.
inline constexpr const char* gBarsStackVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
layout(location = CHART_POINT_LOCATION) in float value;
layout(location = BARS_BASE_LOCATION) in float base;
uniform float baseWeight;
out float top;
void main(void) {
    top = baseWeight * base + value;
    gl_Position = vec4(0.0, 0.0, 0.0, 1.0);
}
)glsl";

// Nothing is rasterised by the stack pass; a fragment stage only completes the program.
inline constexpr const char* gBarsStackFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(
out vec4 outColor;
void main(void) {
    outColor = vec4(0.0);
}
)glsl";

struct BarsUniforms {
    enum : int { TRANSFORM, COLOR, ORIGIN, LOG_AXES, LOG_FLOOR, STACKED, HORIZONTAL, PLACE, COUNT };
    static constexpr const char* NAMES[COUNT] = {"transform", "color",   "origin",
                                                 "logAxes",   "logFloor", "stacked",
                                                 "horizontal", "place"};
};

struct BarsStackUniforms {
    enum : int { BASE_WEIGHT, COUNT };
    static constexpr const char* NAMES[COUNT] = {"baseWeight"};
};

}  // namespace internal
