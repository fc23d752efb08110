#pragma once
// Shader sources of error bars: a vertex stage that places each point and the ends of its
// bars, a geometry stage that makes the bars and their caps rectangles of whole pixels, and
// a capture stage that writes each point's extent (the corners of its bars' box) for fits.
// The fragment stage is the chart frame's plain one ("color").

#include "common/shader_interface.hpp"

namespace internal {

// What both the draw and the capture read of point i: (x, y), its y errors (below, above:
// one value used for both when symmetric) and its x errors (left, right), each taken as its
// magnitude. "errorsY"/"errorsX" are 0 (none), 1 (symmetric) or 2 (asymmetric).
inline constexpr char gErrorBarsPointGlsl[] = R"glsl(
layout(location = CHART_POINT_LOCATION) in vec2 point;
layout(location = ERROR_Y_LOCATION) in vec2 errorY;
layout(location = ERROR_X_LOCATION) in vec2 errorX;
uniform int errorsY;
uniform int errorsX;
bool finite(float v) { return !isnan(v) && !isinf(v); }
vec2 errorsOf(vec2 e, int kind) {
    return abs(kind == 2 ? e : vec2(e.x));
}
)glsl";

// Each coordinate goes to log10 on a logarithmic axis ("logAxes"), less the axis' origin,
// through "transform". Outputs, in clip space: the point, the ends of its y bar (below,
// above) and of its x bar (left, right); "vBars": whether the y bar and the x bar are drawn
// (a bar with an error that is not finite is not); "vCaps": whether each end gets a cap (an
// end with no logarithm on a logarithmic axis runs off the frame, without a cap). A point
// whose x or y is not finite, or has no logarithm, draws nothing.
inline constexpr auto gErrorBarsVertexShaderText = glslJoin(ZV_GLSL_HEADER, gErrorBarsPointGlsl, R"glsl(
uniform mat4 transform;
uniform vec2 origin;
uniform ivec2 logAxes;
out vec4 vPoint;
out vec4 vYLow;
out vec4 vYHigh;
out vec4 vXLow;
out vec4 vXHigh;
out vec2 vBars;
out vec4 vCaps;
float axis(float v, int log, bool low, inout bool capped) {
    if (log == 1) {
        if (!(v > 0.0)) {
            capped = false;
            return low ? -1e6 : 1e6;
        }
        return log2(v) * 0.30102999566398120;
    }
    return v;
}
vec4 place(vec2 v) { return transform * vec4(v - origin, 0.0, 1.0); }
void main(void) {
    vec2 p = point;
    bool drawn = finite(p.x) && finite(p.y) && (logAxes.x == 0 || p.x > 0.0) &&
                 (logAxes.y == 0 || p.y > 0.0);
    vec2 ey = errorsOf(errorY, errorsY);
    vec2 ex = errorsOf(errorX, errorsX);
    bool barY = drawn && errorsY != 0 && finite(ey.x) && finite(ey.y);
    bool barX = drawn && errorsX != 0 && finite(ex.x) && finite(ex.y);
    bool c0 = true, c1 = true, c2 = true, c3 = true;
    vec2 q = drawn ? vec2(axis(p.x, logAxes.x, true, c0), axis(p.y, logAxes.y, true, c0)) : origin;
    c0 = true;
    float yLow = axis(p.y - ey.x, logAxes.y, true, c0);
    float yHigh = axis(p.y + ey.y, logAxes.y, false, c1);
    float xLow = axis(p.x - ex.x, logAxes.x, true, c2);
    float xHigh = axis(p.x + ex.y, logAxes.x, false, c3);
    vPoint = place(q);
    vYLow = barY ? place(vec2(q.x, yLow)) : vPoint;
    vYHigh = barY ? place(vec2(q.x, yHigh)) : vPoint;
    vXLow = barX ? place(vec2(xLow, q.y)) : vPoint;
    vXHigh = barX ? place(vec2(xHigh, q.y)) : vPoint;
    vBars = vec2(barY ? 1.0 : 0.0, barX ? 1.0 : 0.0);
    vCaps = vec4(c0 ? 1.0 : 0.0, c1 ? 1.0 : 0.0, c2 ? 1.0 : 0.0, c3 ? 1.0 : 0.0);
    gl_Position = vPoint;
}
)glsl");
inline constexpr const char* gErrorBarsVertexShaderSrc = gErrorBarsVertexShaderText.data();

// Bars and caps as rectangles in the viewport's pixels ("halfViewport" half its size),
// "halfWidth" half the line's width. The point's column (y bar) and row (x bar) are snapped
// as a line of the width is on whole pixels: the pixel centre under the point for odd
// widths, the nearest pixel corner for even ones; so is each cap's row (column). A cap is
// "capHalf" pixels each side of its bar (none for 0).
inline constexpr auto gErrorBarsGeometryShaderText = glslJoin(ZV_GLSL_HEADER, R"glsl(
layout(points) in;
layout(triangle_strip, max_vertices = 24) out;
uniform vec2 halfViewport;
uniform float halfWidth;
uniform float capHalf;
in vec4 vPoint[];
in vec4 vYLow[];
in vec4 vYHigh[];
in vec4 vXLow[];
in vec4 vXHigh[];
in vec2 vBars[];
in vec4 vCaps[];
vec2 pixels(vec4 clip) { return (clip.xy / clip.w + 1.0) * halfViewport; }
float snap(float v) {
    bool odd = mod(2.0 * halfWidth, 2.0) == 1.0;
    return odd ? floor(v) + 0.5 : floor(v + 0.5);
}
void rect(vec2 lo, vec2 hi) {
    gl_Position = vec4(lo / halfViewport - 1.0, 0.0, 1.0);
    gl_ClipDistance[0] = 1.0;
    EmitVertex();
    gl_Position = vec4(vec2(lo.x, hi.y) / halfViewport - 1.0, 0.0, 1.0);
    gl_ClipDistance[0] = 1.0;
    EmitVertex();
    gl_Position = vec4(vec2(hi.x, lo.y) / halfViewport - 1.0, 0.0, 1.0);
    gl_ClipDistance[0] = 1.0;
    EmitVertex();
    gl_Position = vec4(hi / halfViewport - 1.0, 0.0, 1.0);
    gl_ClipDistance[0] = 1.0;
    EmitVertex();
    EndPrimitive();
}
void main(void) {
    vec2 c = pixels(vPoint[0]);
    float w = halfWidth;
    if (vBars[0].x > 0.5) {
        float x = snap(c.x);
        float y0 = snap(pixels(vYLow[0]).y);
        float y1 = snap(pixels(vYHigh[0]).y);
        rect(vec2(x - w, min(y0, y1) - w), vec2(x + w, max(y0, y1) + w));
        if (capHalf > 0.0) {
            if (vCaps[0].x > 0.5) rect(vec2(x - capHalf, y0 - w), vec2(x + capHalf, y0 + w));
            if (vCaps[0].y > 0.5) rect(vec2(x - capHalf, y1 - w), vec2(x + capHalf, y1 + w));
        }
    }
    if (vBars[0].y > 0.5) {
        float y = snap(c.y);
        float x0 = snap(pixels(vXLow[0]).x);
        float x1 = snap(pixels(vXHigh[0]).x);
        rect(vec2(min(x0, x1) - w, y - w), vec2(max(x0, x1) + w, y + w));
        if (capHalf > 0.0) {
            if (vCaps[0].z > 0.5) rect(vec2(x0 - w, y - capHalf), vec2(x0 + w, y + capHalf));
            if (vCaps[0].w > 0.5) rect(vec2(x1 - w, y - capHalf), vec2(x1 + w, y + capHalf));
        }
    }
}
)glsl");
inline constexpr const char* gErrorBarsGeometryShaderSrc = gErrorBarsGeometryShaderText.data();

struct ErrorBarsUniforms {
    enum : int {
        TRANSFORM,
        ORIGIN,
        LOG_AXES,
        ERRORS_Y,
        ERRORS_X,
        HALF_VIEWPORT,
        HALF_WIDTH,
        CAP_HALF,
        COLOR,
        COUNT
    };
    static constexpr const char* NAMES[COUNT] = {
        "transform",    "origin",    "logAxes", "errorsY", "errorsX",
        "halfViewport", "halfWidth", "capHalf", "color"};
};

// Point i's extent for fits, captured as "low" then "high": the corners of the box its bars
// span. An error that is not finite counts as 0; on a logarithmic axis ("logAxes") an end
// at or below zero is left out (the point's own coordinate stands for it), so that the fit
// keeps the decades the axis can show. A point with a coordinate that is not finite gives
// corners that are not finite, which the fit leaves out.
inline constexpr auto gErrorBarsExtentShaderText = glslJoin(ZV_GLSL_HEADER, gErrorBarsPointGlsl, R"glsl(
uniform ivec2 logAxes;
out vec2 low;
out vec2 high;
vec2 finiteOr0(vec2 e) {
    return vec2(finite(e.x) ? e.x : 0.0, finite(e.y) ? e.y : 0.0);
}
void main(void) {
    vec2 ey = errorsY == 0 ? vec2(0.0) : finiteOr0(errorsOf(errorY, errorsY));
    vec2 ex = errorsX == 0 ? vec2(0.0) : finiteOr0(errorsOf(errorX, errorsX));
    low = point - vec2(ex.x, ey.x);
    high = point + vec2(ex.y, ey.y);
    if (logAxes.x == 1 && !(low.x > 0.0)) low.x = point.x;
    if (logAxes.y == 1 && !(low.y > 0.0)) low.y = point.y;
}
)glsl");
inline constexpr const char* gErrorBarsExtentShaderSrc = gErrorBarsExtentShaderText.data();

struct ErrorBarsExtentUniforms {
    enum : int { ERRORS_Y, ERRORS_X, LOG_AXES, COUNT };
    static constexpr const char* NAMES[COUNT] = {"errorsY", "errorsX", "logAxes"};
};

}  // namespace internal
