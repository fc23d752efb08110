#pragma once
// Shader sources of the plot markers: 10-pixel point sprites shaped in the fragment stage.
// The line of a plot is drawn with the chart frame's border program.

namespace internal {

// "point" sits at the location every chart program uses (CHART_POINT_LOCATION), so the
// plot's one vertex array serves the line pass and the marker pass.
inline constexpr const char* gMarkerVertexShaderSrc = R"(#version 330
layout(location = 0) in vec2 point;
uniform mat4 transform;
void main(void) {
    gl_Position = transform * vec4(point.x, point.y, 0.0, 1.0);
    gl_PointSize = 10.0;
}
)";

// (u, v) is the sprite coordinate, v = 0 at the top edge. Marker types 1 to 7 are a disc,
// a ring, a square outline, a triangle with its apex up, a diagonal cross, an upright
// cross and both crosses together; any other value keeps the whole square.
inline constexpr const char* gMarkerSpriteFragmentShaderSrc = R"(#version 330
uniform int marker_type;
uniform vec4 line_color;
out vec4 outputColor;
void main(void) {
    float u = gl_PointCoord.x;
    float v = gl_PointCoord.y;
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
)";

}  // namespace internal
