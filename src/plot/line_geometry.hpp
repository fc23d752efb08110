#pragma once
// Lines drawn as triangles. A rasteriser's own wide or thin lines leave out segments much
// shorter than a pixel (a multisampling software rasteriser drops most of them), so a dense
// line would come out dotted. Here each segment becomes a rectangle the line's width wide,
// lengthened by half the width at both ends: however short the segment, the rectangle
// covers a full width's square, and consecutive rectangles overlap, so every pixel column
// the line crosses gets ink on any rasteriser, multisampled or not. The data vertex stage
// (gMarkerVertexShaderSrc) places the points; the chart's plain fragment stage colours.

#include "common/shader_interface.hpp"
#include "gl/gl_objects.hpp"

namespace internal {

// The widest line a plot accepts, in pixels: wider is surely a mistake (a frame is a few
// thousand pixels wide at most).
constexpr float MAX_LINE_WIDTH = 1000.0f;
// The narrowest line drawn, in pixels. A strip a pixel wide holds a sample of every pixel
// column it crosses (the samples of a pixel sit at different heights, a pixel apart in all);
// a narrower one slips between them and leaves most columns blank. Narrower widths are
// accepted and drawn at this one.
constexpr float MIN_DRAWN_LINE_WIDTH = 1.0f;

// Expands each segment (a GL_LINES or GL_LINE_STRIP primitive) into a strip of two
// triangles in the viewport's pixels: "halfViewport" is half the viewport's width and
// height, "halfWidth" half the line's width, both in pixels. A segment with an end the data
// vertex stage clipped away (no logarithm on a logarithmic axis) is not drawn at all, nor
// is a segment of zero length (a rasterised line of one point draws nothing either, and
// strips may repeat a point to stand still).
// "stepMode" other than 0 joins the two ends by axis-parallel pieces instead, each widened
// the same way, so that their corners are filled squares: 1 rises at the first end's x and
// runs across at the second end's y, 2 runs across at the first end's y and rises at the
// second end's x, 3 runs across to midway in x, rises, and runs across. A pair with a
// coordinate that is not finite is not joined. Programs that leave "stepMode" unset (0)
// draw straight segments.
inline constexpr const char* gLineGeometryShaderSrc = ZV_GLSL_HEADER R"glsl(
layout(lines) in;
layout(triangle_strip, max_vertices = 12) out;
uniform vec2 halfViewport;
uniform float halfWidth;
uniform int stepMode;
void corner(vec2 p) {
    gl_Position = vec4(p / halfViewport, 0.0, 1.0);
    gl_ClipDistance[0] = 1.0;
    EmitVertex();
}
void piece(vec2 a, vec2 b) {
    vec2 d = b - a;
    float len = length(d);
    if (!(len > 0.0))
        return;
    vec2 t = d * (halfWidth / len);
    vec2 n = vec2(-t.y, t.x);
    corner(a - t - n);
    corner(a - t + n);
    corner(b + t - n);
    corner(b + t + n);
    EndPrimitive();
}
bool finite(vec2 p) {
    return !any(isnan(p)) && !any(isinf(p));
}
void main(void) {
    if (gl_in[0].gl_ClipDistance[0] < 0.0 || gl_in[1].gl_ClipDistance[0] < 0.0)
        return;
    vec2 a = gl_in[0].gl_Position.xy / gl_in[0].gl_Position.w * halfViewport;
    vec2 b = gl_in[1].gl_Position.xy / gl_in[1].gl_Position.w * halfViewport;
    if (stepMode == 0) {
        piece(a, b);
        return;
    }
    if (!finite(a) || !finite(b))
        return;
    if (stepMode == 1) {
        piece(a, vec2(a.x, b.y));
        piece(vec2(a.x, b.y), b);
    } else if (stepMode == 2) {
        piece(a, vec2(b.x, a.y));
        piece(vec2(b.x, a.y), b);
    } else {
        float m = 0.5 * (a.x + b.x);
        piece(a, vec2(m, a.y));
        piece(vec2(m, a.y), vec2(m, b.y));
        piece(vec2(m, b.y), b);
    }
}
)glsl";

// The line program: the data vertex stage, the expanding geometry stage and the chart's
// plain fragment stage ("color"). Raises what the shader building raises.
GLProgram makeLineProgram();

}  // namespace internal
