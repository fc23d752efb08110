#pragma once
// Shader sources of dense markers. Markers sit on whole pixels (see gMarkerShapeGlsl), so
// every point whose centre rounds to one pixel corner makes the same picture: a frame of far
// more points than pixel columns is drawn as
//
//   1. a bitmap of the corners some marker is centred on, one fragment per corner column and
//      128 rows: it finds the column's points by binary search over x in the plot's buffer
//      (the points are ordered by x: the line's verdict says so) and sets a bit per point;
//      its last row holds the marker's own 10 x 10 pixels, one word per column of them;
//   2. the stamp: each pixel of the frame looks at the corners within reach of a marker and
//      is inked when one of them holds a marker that inks it.
//
// Both cost a pass over a few rows and over the frame, not a square per point, and make the
// pixels the markers drawn one by one make.

#include "common/shader_interface.hpp"
#include "plot/plot_shaders.hpp"
#include "range/point_source.hpp"

namespace internal {

// Rows of marker centres per texel of the bitmap: four 32-bit words.
inline constexpr int MARKER_ROWS_PER_TEXEL = 128;

// The bitmap's last row: texel `texel` holds in component k the marker's pixel column
// 4 texel + k, left to right, bit r its pixel row r from the top, as markerKeeps makes them
// (needs gMarkerShapeGlsl before it).
inline constexpr char gMarkerShapeWordsGlsl[] = R"glsl(
uvec4 markerShapeWords(int texel, int markerType) {
    uvec4 words = uvec4(0u);
    for (int k = 0; k < 4; ++k) {
        int a = 4 * texel + k;
        for (int r = 0; r < 10 && a < 10; ++r) {
            if (markerKeeps(vec2(float(a) - 4.5, 4.5 - float(r)), markerType))
                words[k] |= 1u << uint(r);
        }
    }
    return words;
}
)glsl";

// Pass 1, one fragment per texel of a (columns + 9) x (chunks + 1) target. Texel (i, c)
// holds the centres of column gridOrigin.x + i, rows gridOrigin.y + 128 c + 32 k + b in bit b
// of word k, in the viewport's pixels: the corners from 4 left of the frame's first column
// (and 4 below its first row) to 5 right of its last, the markers that reach into it. Row
// "chunks" holds in word a (texel a / 4, component a % 4) the marker's column a of pixels,
// left to right, bit r its pixel row r from the top, as markerKeeps makes them. The code
// puts ZV_GLSL_HEADER in front, then a line defining the sampler type (POINTS: samplerBuffer,
// isamplerBuffer or usamplerBuffer, after the plot's element type). The points are the n
// drawn, oldest first (point(), see range/point_source.hpp).
inline constexpr auto gMarkerBitmapFragmentShaderBody = glslJoin(gMarkerShapeGlsl, gMarkerShapeWordsGlsl, gPointFetchGlsl, R"glsl(
uniform int n;
uniform mat4 transform;
uniform vec2 origin;
uniform vec2 halfViewport;
uniform ivec2 gridOrigin;
uniform int chunks;
uniform int markerType;
out uvec4 bits;
vec2 centreOf(int i) {
    vec2 p = point(i);
    return markerCentre(transform * vec4(p - origin, 0.0, 1.0), halfViewport);
}
// The first index whose marker is centred at or right of `edge`.
int lowerBound(float edge) {
    int lo = 0;
    int hi = n;
    while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        if (centreOf(mid).x < edge)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}
void main(void) {
    ivec2 t = ivec2(gl_FragCoord.xy);
    uvec4 words = uvec4(0u);
    if (t.y == chunks) {
        bits = markerShapeWords(t.x, markerType);
        return;
    }
    float x = float(gridOrigin.x + t.x);
    int hi = lowerBound(x + 1.0);
    float base = float(gridOrigin.y + 128 * t.y);
    for (int i = lowerBound(x); i < hi; ++i) {
        float row = centreOf(i).y - base;
        if (row >= 0.0 && row < 128.0) {
            int b = int(row);
            words[b >> 5] |= 1u << uint(b & 31);
        }
    }
    bits = words;
}
)glsl");

// Uniforms of the bitmap program.
struct MarkerBitmapUniforms {
    enum : int {
        N,
        TRANSFORM,
        ORIGIN,
        HALF_VIEWPORT,
        GRID_ORIGIN,
        CHUNKS,
        MARKER_TYPE,
        ZV_POINT_FETCH_ENUM,
        COUNT
    };
    static constexpr const char* NAMES[COUNT] = {"n",          "transform",  "origin",
                                                 "halfViewport", "gridOrigin", "chunks",
                                                 "markerType", ZV_POINT_FETCH_NAMES};
};

// Pass 2, over the viewport (the caller's scissor keeps it to the frame). The pixel (x, y) of
// the viewport is inked by a marker centred on corner (x + 5 - a, y - 4 + r) when bit r of
// the marker's column word a is set: that pixel is the marker's column a from the left, row
// r from the top. The ten corners of a column, rows y - 4 to y + 5, are one run of bits of
// the bitmap, bit r for row y - 4 + r. "viewportOrigin" is the viewport's lower-left corner in the
// window.
inline constexpr const char* gMarkerStampFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(
uniform usampler2D bitmap;
uniform ivec2 gridOrigin;
uniform ivec2 viewportOrigin;
uniform int chunks;
uniform vec4 color;
out vec4 outputColor;
uint word(int column, int w) {
    return texelFetch(bitmap, ivec2(column, w >> 2), 0)[w & 3];
}
void main(void) {
    ivec2 p = ivec2(gl_FragCoord.xy) - viewportOrigin;
    uvec4 m0 = texelFetch(bitmap, ivec2(0, chunks), 0);
    uvec4 m1 = texelFetch(bitmap, ivec2(1, chunks), 0);
    uvec4 m2 = texelFetch(bitmap, ivec2(2, chunks), 0);
    uint shape[10] = uint[10](m0.x, m0.y, m0.z, m0.w, m1.x, m1.y, m1.z, m1.w, m2.x, m2.y);
    // Corners left of or below the grid hold no marker (a pixel of the scissor box just
    // outside the frame reaches them).
    int first = p.y - 4 - gridOrigin.y;
    int below = max(-first, 0);
    if (below >= 10)
        discard;
    first = max(first, 0);
    int w = first >> 5;
    int s = first & 31;
    bool inked = false;
    for (int a = 0; a < 10; ++a) {
        int column = p.x + 5 - a - gridOrigin.x;
        if (column < 0)
            continue;
        uint run = word(column, w) >> uint(s);
        if (s > 22)
            run |= word(column, w + 1) << uint(32 - s);
        inked = inked || ((run << uint(below)) & shape[a]) != 0u;
    }
    if (!inked)
        discard;
    outputColor = color;
}
)glsl";

// Uniforms of the stamp program.
struct MarkerStampUniforms {
    enum : int { GRID_ORIGIN, VIEWPORT_ORIGIN, CHUNKS, COLOR, COUNT };
    static constexpr const char* NAMES[COUNT] = {"gridOrigin", "viewportOrigin", "chunks",
                                                 "color"};
};

// Markers of points in any order (marker_coverage.cpp) take the same stamp from the same
// bitmap, made in two passes of their own instead of the binary search over x:
//
//   1. coverage: each point, through the data vertex stage's arithmetic (logarithmic axes
//      included), is drawn as one single-sample pixel at its marker's centre corner in a
//      grid of corners laid out as the bitmap's (gridOrigin and up, "gridSize" texels);
//      points whose corner lies outside the grid are dropped, as their markers would not
//      reach into the frame;
//   2. packing: one fragment per bitmap texel gathers its 128 corners' coverage into bits,
//      and the last row takes the marker's pixels (markerShapeWords).
//
// The cost is a pixel a point and a pass over the frame, not a multisampled square a point.
inline constexpr auto gMarkerCoverageVertexShaderText = glslJoin(ZV_GLSL_HEADER, gMarkerShapeGlsl, gPlotPointGlsl, R"glsl(
uniform mat4 transform;
uniform vec2 origin;
uniform vec2 halfViewport;
uniform ivec2 gridOrigin;
uniform vec2 gridSize;
void main(void) {
    bool drawn;
    vec2 v = plotPoint(drawn);
    v = drawn ? v - origin : vec2(0.0);
    vec2 c = markerCentre(transform * vec4(v, 0.0, 1.0), halfViewport) - vec2(gridOrigin);
    vec2 p = (c + 0.5) / gridSize * 2.0 - 1.0;
    // Off the grid: outside the clip volume, where a point is dropped whole. So are points
    // without a logarithm and those with a coordinate that is not a number (every comparison
    // with one is false), whose markers draw nothing.
    bool inside = drawn && abs(p.x) < 1.0 && abs(p.y) < 1.0;
    gl_Position = inside ? vec4(p, 0.0, 1.0) : vec4(-2.0, -2.0, 0.0, 1.0);
    gl_ClipDistance[0] = 1.0;
}
)glsl");
inline constexpr const char* gMarkerCoverageVertexShaderSrc =
    gMarkerCoverageVertexShaderText.data();

inline constexpr const char* gMarkerCoverageFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(
out uint covered;
void main(void) {
    covered = 1u;
}
)glsl";

// Uniforms of the coverage program.
struct MarkerCoverageUniforms {
    enum : int {
        TRANSFORM,
        ORIGIN,
        LOG_AXES,
        HALF_VIEWPORT,
        GRID_ORIGIN,
        GRID_SIZE,
        IMPLICIT_ON,
        IMPLICIT_X,
        RING_START,
        RING_CAPACITY,
        COUNT
    };
    static constexpr const char* NAMES[COUNT] = {
        "transform", "origin",     "logAxes",   "halfViewport", "gridOrigin",
        "gridSize",  "implicitOn", "implicitX", "ringStart",    "ringCapacity"};
};

// Pass 2 of markers in any order: one fragment per texel of a (columns + 9) x (chunks + 1)
// target, texel (i, c) made of corners (i, 128 c + 32 k + b) of the coverage grid in bit b
// of word k, the last row as the bitmap program makes it.
inline constexpr auto gMarkerPackFragmentShaderText = glslJoin(ZV_GLSL_HEADER, gMarkerShapeGlsl, gMarkerShapeWordsGlsl, R"glsl(
uniform usampler2D coverage;
uniform int chunks;
uniform int markerType;
out uvec4 bits;
void main(void) {
    ivec2 t = ivec2(gl_FragCoord.xy);
    if (t.y == chunks) {
        bits = markerShapeWords(t.x, markerType);
        return;
    }
    uvec4 words = uvec4(0u);
    int row = 128 * t.y;
    for (int k = 0; k < 4; ++k) {
        for (int b = 0; b < 32; ++b) {
            if (texelFetch(coverage, ivec2(t.x, row + 32 * k + b), 0).r != 0u)
                words[k] |= 1u << uint(b);
        }
    }
    bits = words;
}
)glsl");
inline constexpr const char* gMarkerPackFragmentShaderSrc = gMarkerPackFragmentShaderText.data();

// Uniforms of the packing program.
struct MarkerPackUniforms {
    enum : int { CHUNKS, MARKER_TYPE, COUNT };
    static constexpr const char* NAMES[COUNT] = {"chunks", "markerType"};
};

}  // namespace internal
