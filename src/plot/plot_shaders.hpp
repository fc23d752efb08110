#pragma once
// Shader sources of the plot: the data vertex stage shared by the line and the markers, the
// markers' geometry stage, which makes each point a 10-pixel square on whole pixels, and
// their fragment stage, which shapes it. The line's fragment stage is the chart frame's
// plain one.

#include "common/shader_interface.hpp"

namespace internal {

// The data pass of a plot, line and markers alike. x ("pointX") sits at the location every
// chart program uses (CHART_POINT_LOCATION) and y at PLOT_Y_LOCATION, each an attribute of
// its own so that any layout of the buffers feeds them; the plot's one vertex array serves
// both passes. With "implicitOn" 1, x is i * implicitX.x + implicitX.y instead, i counting
// from the oldest point drawn: the vertex at place gl_VertexID of a ring of "ringCapacity"
// places whose oldest is at "ringStart" (the same arithmetic as range/point_source.hpp).
// Each coordinate is taken to log10 on a logarithmic axis ("logAxes" 1), then the axis'
// origin (the minimum, or its log10) is subtracted before "transform" scales it onto the
// frame: the difference of two nearby floats is exact, so narrow ranges far from zero keep
// their precision. A point at or below zero on a logarithmic axis has no logarithm: it gets
// a clip distance so negative that the clipper cuts every segment to it down to its other
// end, and drops it as a marker (the plot enables GL_CLIP_DISTANCE0 for logarithmic axes).
// The point a vertex of the data pass stands for, as every pass over a plot's points in
// their draw order reads it: x and y from their attributes (or x implicit), taken to log10
// on a logarithmic axis; `drawn` false when it has no logarithm there.
inline constexpr const char gPlotPointGlsl[] = R"glsl(
layout(location = CHART_POINT_LOCATION) in float pointX;
layout(location = PLOT_Y_LOCATION) in float pointY;
uniform ivec2 logAxes;
uniform int implicitOn;
uniform vec2 implicitX;
uniform int ringStart;
uniform int ringCapacity;
vec2 plotPoint(out bool drawn) {
    int i = gl_VertexID - ringStart;
    if (i < 0)
        i += ringCapacity;
    vec2 v = vec2(implicitOn == 1 ? float(i) * implicitX.x + implicitX.y : pointX, pointY);
    drawn = true;
    if (logAxes.x == 1) {
        drawn = drawn && v.x > 0.0;
        v.x = log2(max(v.x, 1e-30)) * 0.30102999566398120;
    }
    if (logAxes.y == 1) {
        drawn = drawn && v.y > 0.0;
        v.y = log2(max(v.y, 1e-30)) * 0.30102999566398120;
    }
    return v;
}
)glsl";
inline constexpr auto gMarkerVertexShaderText = glslJoin(ZV_GLSL_HEADER, gPlotPointGlsl, R"glsl(
uniform mat4 transform;
uniform vec2 origin;
void main(void) {
    bool drawn;
    vec2 v = plotPoint(drawn);
    v = drawn ? v - origin : vec2(0.0);
    gl_Position = transform * vec4(v, 0.0, 1.0);
    gl_ClipDistance[0] = drawn ? 1.0 : -1e30;
    gl_PointSize = 10.0;
}
)glsl");
inline constexpr const char* gMarkerVertexShaderSrc = gMarkerVertexShaderText.data();

// Uniforms of the line program (gMarkerVertexShaderSrc, gLineGeometryShaderSrc and
// gChartFragmentShaderSrc; see makeLineProgram).
struct LineUniforms {
    enum : int {
        TRANSFORM,
        COLOR,
        ORIGIN,
        LOG_AXES,
        HALF_VIEWPORT,
        HALF_WIDTH,
        IMPLICIT_ON,
        IMPLICIT_X,
        RING_START,
        RING_CAPACITY,
        STEP_MODE,
        COUNT
    };
    static constexpr const char* NAMES[COUNT] = {
        "transform",  "color",     "origin",    "logAxes",      "halfViewport", "halfWidth",
        "implicitOn", "implicitX", "ringStart", "ringCapacity", "stepMode"};
};

// Where a marker sits and which of its pixels it inks, shared by the stages that draw markers
// one by one and by those that stamp them from a bitmap of occupied pixels (marker_lod), so
// both make the same pixels. A marker is a 10 x 10 pixel square whose centre is the point's
// window position rounded to the nearest pixel corner: it covers whole pixels, the same on
// every rasteriser, multisampled or not, and two points rounded to one corner make one
// picture. markerCentre: that corner, from a clip-space position, in pixels of the viewport
// of half size `halfViewport`. markerKeeps: whether the pixel whose centre lies at `offset`
// pixels from the marker's centre (y up; each component k + 0.5 for k in -5..4) is inked by
// marker type `type`. Types 1 to 7 are a disc, a ring, a square outline, a triangle with its
// apex up, a diagonal cross, an upright cross and both crosses together; any other value
// keeps the whole square. The shapes read the sprite coordinate (u, v) of the pixel centre,
// (0, 0) at the square's top-left corner.
inline constexpr char gMarkerShapeGlsl[] = R"glsl(
vec2 markerCentre(vec4 clip, vec2 halfViewport) {
    return floor((clip.xy / clip.w + 1.0) * halfViewport + 0.5);
}
bool markerKeeps(vec2 offset, int type) {
    float u = (offset.x + 5.0) * 0.1;
    float v = (5.0 - offset.y) * 0.1;
    float a = u - 0.5;
    float b = v - 0.5;
    float dist = sqrt(a * a + b * b);
    switch (type) {
        case 1: return dist < 0.3;
        case 2: return dist > 0.3 && dist < 0.5;
        case 3: return u < 0.15 || u > 0.85 || v < 0.15 || v > 0.85;
        case 4: return 2.0 * (u - 0.25) - (v + 0.5) < 0.0 && 2.0 * (u - 0.25) + (v + 0.5) > 1.0;
        case 5: return abs(a + b) < 0.13 || abs(a - b) < 0.13;
        case 6: return abs(a) < 0.07 || abs(b) < 0.07;
        case 7: return abs(a + b) < 0.07 || abs(a - b) < 0.07 || abs(a) < 0.07 || abs(b) < 0.07;
        default: return true;
    }
}
)glsl";

// Each point becomes its marker's square, two triangles on whole pixels (see
// gMarkerShapeGlsl). A software rasteriser widens points into squares on the CPU one by
// one, several times slower than this stage. "halfViewport" is half the viewport's width and
// height in pixels, "viewportOrigin" its lower-left corner in the window; "centre" is the
// marker's centre in window pixels, as gl_FragCoord counts them. A point the data vertex
// stage clipped away (no logarithm on a logarithmic axis) makes nothing.
inline constexpr auto gMarkerGeometryShaderText = glslJoin(ZV_GLSL_HEADER, gMarkerShapeGlsl, R"glsl(
layout(points) in;
layout(triangle_strip, max_vertices = 4) out;
uniform vec2 halfViewport;
uniform vec2 viewportOrigin;
flat out vec2 centre;
void corner(vec2 c, vec2 side, float z) {
    gl_Position = vec4((c + 5.0 * side) / halfViewport - 1.0, z, 1.0);
    gl_ClipDistance[0] = 1.0;
    centre = c + viewportOrigin;
    EmitVertex();
}
void main(void) {
    if (gl_in[0].gl_ClipDistance[0] < 0.0)
        return;
    vec4 p = gl_in[0].gl_Position;
    vec2 c = markerCentre(p, halfViewport);
    float z = p.z / p.w;
    corner(c, vec2(-1.0, -1.0), z);
    corner(c, vec2(-1.0, 1.0), z);
    corner(c, vec2(1.0, -1.0), z);
    corner(c, vec2(1.0, 1.0), z);
    EndPrimitive();
}
)glsl");
inline constexpr const char* gMarkerGeometryShaderSrc = gMarkerGeometryShaderText.data();

// Uniforms of the marker program (gMarkerVertexShaderSrc, gMarkerGeometryShaderSrc and
// gMarkerSpriteFragmentShaderSrc).
struct MarkerUniforms {
    enum : int {
        TRANSFORM,
        LINE_COLOR,
        MARKER_TYPE,
        ORIGIN,
        LOG_AXES,
        HALF_VIEWPORT,
        VIEWPORT_ORIGIN,
        IMPLICIT_ON,
        IMPLICIT_X,
        RING_START,
        RING_CAPACITY,
        COUNT
    };
    static constexpr const char* NAMES[COUNT] = {
        "transform",      "line_color", "marker_type", "origin",    "logAxes",     "halfViewport",
        "viewportOrigin", "implicitOn", "implicitX",   "ringStart", "ringCapacity"};
};

// Shapes the square by marker_type (see markerKeeps).
inline constexpr auto gMarkerSpriteFragmentShaderText = glslJoin(ZV_GLSL_HEADER, gMarkerShapeGlsl, R"glsl(
uniform int marker_type;
uniform vec4 line_color;
flat in vec2 centre;
out vec4 outputColor;
void main(void) {
    if (!markerKeeps(gl_FragCoord.xy - centre, marker_type))
        discard;
    outputColor = line_color;
}
)glsl");
inline constexpr const char* gMarkerSpriteFragmentShaderSrc =
    gMarkerSpriteFragmentShaderText.data();

}  // namespace internal
