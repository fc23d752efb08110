#pragma once
// Shader sources of the chart frame: the border program (vertex + plain fragment) and the
// tick sprite program (the same vertex stage + the sprite fragment).

namespace internal {

// Every program that reads a chart's or a plot's vertex arrays takes "point" from this
// location, fixed in the shader source, so one vertex array serves all of them.
constexpr unsigned CHART_POINT_LOCATION = 0;

inline constexpr const char* gChartVertexShaderSrc = R"(#version 330
layout(location = 0) in vec2 point;
uniform mat4 transform;
void main(void) {
    gl_Position = transform * vec4(point.x, point.y, 0.0, 1.0);
}
)";

inline constexpr const char* gChartFragmentShaderSrc = R"(#version 330
uniform vec4 color;
out vec4 outputColor;
void main(void) {
    outputColor = color;
}
)";

// A tick is a square point sprite of which only a strip a fifth of its size through the
// sprite's centre is kept: a horizontal dash across the left edge for a y-axis tick, a
// vertical dash across the bottom edge for an x-axis tick, each centred on the tick's value.
inline constexpr const char* gChartSpriteFragmentShaderSrc = R"(#version 330
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
)";

}  // namespace internal
