#pragma once
// The three programs of a 2-D histogram: binning the points into the count texture, taking
// the largest count into a 1 x 1 texture, and showing the counts through the colour map.

#include "common/shader_interface.hpp"

namespace internal {

// One point a vertex, drawn as a 1-pixel GL_POINT into the nx x ny count texture with
// additive blending: each point adds 1 to its bin. The bin is worked out here, not left to
// the rasteriser, so that a point on an inner edge goes to the bin above it and one on the
// upper edge of the range to the last bin, as the usual histogram convention has it; the
// point is then placed on its bin's centre. Points outside the range, NaN or infinite are
// put outside the clip volume and so add nothing. "range" is (xmin, ymin, xmax, ymax),
// "bins" (nx, ny).
inline constexpr const char* gHist2DBinVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
layout(location = CHART_POINT_LOCATION) in vec2 point;
uniform vec4 range;
uniform vec2 bins;
void main(void) {
    bool outside = any(isnan(point)) || any(isinf(point)) || point.x < range.x ||
                   point.y < range.y || point.x > range.z || point.y > range.w;
    vec2 f = (point - range.xy) / (range.zw - range.xy) * bins;
    vec2 bin = clamp(floor(f), vec2(0.0), bins - 1.0);
    gl_Position = outside ? vec4(2.0, 2.0, 2.0, 1.0)
                          : vec4((bin + 0.5) / bins * 2.0 - 1.0, 0.0, 1.0);
}
)glsl";

inline constexpr const char* gHist2DBinFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(
out vec4 outColor;
void main(void) {
    outColor = vec4(1.0);
}
)glsl";

struct Hist2DBinUniforms {
    enum : int { RANGE, BINS, COUNT };
    static constexpr const char* NAMES[COUNT] = {"range", "bins"};
};

// Where the context can add to an image atomically (image load and store), the points are
// counted by fragments instead of being drawn as points: a software rasteriser spends far
// more on setting up a primitive than on a fragment's loop. The pass covers the nx x ny
// count texture's viewport; fragment f (row-major) takes the points f, f + nx ny,
// f + 2 nx ny, ... ("perFragment" of them at most), fetched from a buffer texture of
// (x, y) texels laid over the point buffer, and adds 1 to each one's bin of the unsigned
// image with the same arithmetic as the point pass, so both fill the same bins. The code
// puts the header, the extension line and a line defining POINTS (the sampler type) first.
inline constexpr const char* gHist2DAtomicBinFragmentShaderBody = R"glsl(
uniform POINTS points;
uniform vec4 range;
uniform vec2 bins;
uniform int n;
uniform int perFragment;
layout(r32ui) uniform uimage2D binCounts;
out vec4 outColor;
void main(void) {
    int width = int(bins.x);
    int fragments = width * int(bins.y);
    int f = int(gl_FragCoord.y) * width + int(gl_FragCoord.x);
    for (int j = 0; j < perFragment; ++j) {
        int i = f + j * fragments;
        if (i >= n) break;
        vec2 point = vec2(texelFetch(points, i).rg);
        bool outside = any(isnan(point)) || any(isinf(point)) || point.x < range.x ||
                       point.y < range.y || point.x > range.z || point.y > range.w;
        if (outside) continue;
        vec2 at = (point - range.xy) / (range.zw - range.xy) * bins;
        ivec2 bin = ivec2(clamp(floor(at), vec2(0.0), bins - 1.0));
        imageAtomicAdd(binCounts, bin, 1u);
    }
    outColor = vec4(0.0);
}
)glsl";

struct Hist2DAtomicBinUniforms {
    // The range and the bins where the point pass has them: one function writes both.
    enum : int { RANGE, BINS, N, PER_FRAGMENT, POINTS, BIN_COUNTS, COUNT };
    static constexpr const char* NAMES[COUNT] = {"range",       "bins",   "n",
                                                 "perFragment", "points", "binCounts"};
};
static_assert(int(Hist2DAtomicBinUniforms::RANGE) == int(Hist2DBinUniforms::RANGE) &&
                  int(Hist2DAtomicBinUniforms::BINS) == int(Hist2DBinUniforms::BINS),
              "both binning programs take the range and the bins at the same places");

// The same viewport again: each fragment takes its bin's count out of the unsigned image,
// leaving zero there for the next draw, and writes it as a float into the count texture.
inline constexpr const char* gHist2DQuadVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
void main(void) {
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)glsl";

inline constexpr const char* gHist2DTakeFragmentShaderBody = R"glsl(
layout(r32ui) uniform uimage2D binCounts;
out vec4 outColor;
void main(void) {
    uint c = imageAtomicExchange(binCounts, ivec2(gl_FragCoord.xy), 0u);
    outColor = vec4(float(c));
}
)glsl";

struct Hist2DTakeUniforms {
    enum : int { BIN_COUNTS, COUNT };
    static constexpr const char* NAMES[COUNT] = {"binCounts"};
};

// One vertex a bin, all on the single pixel of a 1 x 1 target blended with GL_MAX: what is
// left there is the largest count, on the GPU, for the colour scale of the same frame.
inline constexpr const char* gHist2DMaxVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
uniform sampler2D counts;
uniform int nx;
flat out float count;
void main(void) {
    count = texelFetch(counts, ivec2(gl_VertexID % nx, gl_VertexID / nx), 0).r;
    gl_Position = vec4(0.0, 0.0, 0.0, 1.0);
}
)glsl";

inline constexpr const char* gHist2DMaxFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(
flat in float count;
out vec4 outColor;
void main(void) {
    outColor = vec4(count);
}
)glsl";

struct Hist2DMaxUniforms {
    enum : int { COUNTS, NX, COUNT };
    static constexpr const char* NAMES[COUNT] = {"counts", "nx"};
};

// The bins' rectangle, corners (x0, y0, x1, y1) in chart coordinates, through the frame's
// "transform", made of four vertices from gl_VertexID (a triangle strip; no attributes).
// Each fragment reads its bin's count (texelFetch: no filtering, whatever sampler is
// bound) and the largest count. Empty bins are not drawn: the background shows through.
// The scale t is count / max (linear) or log(count) / log(max) (logarithmic: 1 at 1, which
// is the least a non-empty bin holds); the row is int(t * rows), the last row for t = 1.
inline constexpr const char* gHist2DShowVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
uniform mat4 transform;
uniform vec4 corners;
out vec2 uv;
void main(void) {
    uv = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    gl_Position = transform * vec4(mix(corners.xy, corners.zw, uv), 0.0, 1.0);
}
)glsl";

inline constexpr const char* gHist2DShowFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(
const int size = 259;
layout(std140) uniform ColorMap {
    vec4 ch[size];
};
uniform float cmaplen;
uniform sampler2D counts;
uniform sampler2D maxCount;
uniform int logScale;
in vec2 uv;
out vec4 fragColor;
void main(void) {
    ivec2 n = textureSize(counts, 0);
    ivec2 bin = clamp(ivec2(floor(uv * vec2(n))), ivec2(0), n - 1);
    float c = texelFetch(counts, bin, 0).r;
    if (!(c > 0.0)) discard;
    float m = texelFetch(maxCount, ivec2(0), 0).r;
    float t = logScale == 1 ? (m > 1.0 ? log(c) / log(m) : 1.0) : c / m;
    int last = int(cmaplen) - 1;
    int row = clamp(int(t * cmaplen), 0, last);
    fragColor = vec4(ch[row].rgb, 1.0);
}
)glsl";

struct Hist2DShowUniforms {
    enum : int { TRANSFORM, CORNERS, CMAPLEN, COUNTS, MAX_COUNT, LOG_SCALE, COUNT };
    static constexpr const char* NAMES[COUNT] = {"transform", "corners",  "cmaplen",
                                                 "counts",    "maxCount", "logScale"};
};

}  // namespace internal
