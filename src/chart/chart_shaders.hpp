#pragma once
// Shader sources of the chart frame: the border program (vertex + plain fragment) and the
// tick sprite program (the same vertex stage + the sprite fragment).

#include "common/shader_interface.hpp"

namespace internal {

// Every program that reads a chart's or a plot's vertex arrays takes "point" from
// CHART_POINT_LOCATION, so one vertex array serves all of them.
inline constexpr const char* gChartVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
layout(location = CHART_POINT_LOCATION) in vec2 point;
uniform mat4 transform;
void main(void) {
    gl_Position = transform * vec4(point.x, point.y, 0.0, 1.0);
}
)glsl";

// Uniforms of the border program (gChartVertexShaderSrc + gChartFragmentShaderSrc).
struct ChartBorderUniforms {
    enum : int { TRANSFORM, COLOR, COUNT };
    static constexpr const char* NAMES[COUNT] = {"transform", "color"};
};

// Uniforms of the tick sprite program (gChartVertexShaderSrc + gChartSpriteFragmentShaderSrc).
struct ChartSpriteUniforms {
    enum : int { TRANSFORM, TICK_COLOR, IS_Y_AXIS, COUNT };
    static constexpr const char* NAMES[COUNT] = {"transform", "tick_color", "isYAxis"};
};

inline constexpr const char* gChartFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(
uniform vec4 color;
out vec4 outputColor;
void main(void) {
    outputColor = color;
}
)glsl";

// A tick is a square point sprite of which only a strip a fifth of its size through the
// sprite's centre is kept: a horizontal dash across the left edge for a y-axis tick, a
// vertical dash across the bottom edge for an x-axis tick, each centred on the tick's value.
inline constexpr const char* gChartSpriteFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(
uniform bool isYAxis;
uniform vec4 tick_color;
out vec4 outputColor;
void main(void) {
    if (isYAxis && abs(gl_PointCoord.y - 0.5) > 0.1)
        discard;
    if (!isYAxis && abs(gl_PointCoord.x - 0.5) > 0.1)
        discard;
    outputColor = tick_color;
}
)glsl";

}  // namespace internal
