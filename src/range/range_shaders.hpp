#pragma once
// Shaders of the data-range reduction.

#include "common/shader_interface.hpp"
#include "range/point_source.hpp"

namespace internal {

// One vertex per slice: the range of elements [base + id * sliceSize, base + (id + 1) *
// sliceSize) of the data, of which the texture holds the `count` from element `base` on
// (values v are taken as points (element, v)). The code puts ZV_GLSL_HEADER in front, then the lines defining
// DATA_SAMPLER (the data sampler's prefix, "", "i" or "u", before samplerBuffer) and
// COMPONENTS.
inline constexpr const char* gRangeSliceShaderSrc = R"glsl(
uniform DATA_SAMPLER data;
uniform int count;
uniform int sliceSize;
uniform int base;
out vec4 range;  // xmin, ymin, xmax, ymax; +inf, +inf, -inf, -inf when empty

bool finite(float v) { return (floatBitsToUint(v) & 0x7F800000u) != 0x7F800000u; }

void main() {
    float inf = uintBitsToFloat(0x7F800000u);
    vec4 r = vec4(inf, inf, -inf, -inf);
    int begin = base + gl_VertexID * sliceSize;
    int end = min(begin + sliceSize, base + count);
    for (int i = begin; i < end; ++i) {
#if COMPONENTS == 2
        vec2 p = vec2(texelFetch(data, i - base).xy);
#else
        vec2 p = vec2(float(i), float(texelFetch(data, i - base).x));
#endif
        if (finite(p.x) && finite(p.y)) {
            r.xy = min(r.xy, p);
            r.zw = max(r.zw, p);
        }
    }
    range = r;
}
)glsl";

// One vertex per slice of points: the range of the points at places [first + id *
// sliceSize, ...), at most sliceSize of them and none from first + count on. Put after
// ZV_GLSL_HEADER, the line defining POINTS and gPointFetchGlsl (range/point_source.hpp),
// which places them: the index an implicit x takes counts from the ring's oldest place.
inline constexpr const char* gRangePointSliceShaderSrc = R"glsl(
uniform int count;
uniform int sliceSize;
uniform int first;
out vec4 range;  // xmin, ymin, xmax, ymax; +inf, +inf, -inf, -inf when empty

bool finite(float v) { return (floatBitsToUint(v) & 0x7F800000u) != 0x7F800000u; }

void main() {
    float inf = uintBitsToFloat(0x7F800000u);
    vec4 r = vec4(inf, inf, -inf, -inf);
    int begin = first + gl_VertexID * sliceSize;
    int end = min(begin + sliceSize, first + count);
    for (int p = begin; p < end; ++p) {
        int i = p - ringStart;
        if (i < 0)
            i += ringCapacity;
        vec2 q = pointAt(p, i);
        if (finite(q.x) && finite(q.y)) {
            r.xy = min(r.xy, q);
            r.zw = max(r.zw, q);
        }
    }
    range = r;
}
)glsl";

// Uniforms of the point slice program.
struct RangePointUniforms {
    enum : int { ELEMENT_COUNT, SLICE_SIZE, FIRST, ZV_POINT_FETCH_ENUM, COUNT };
    static constexpr const char* NAMES[COUNT] = {"count", "sliceSize", "first",
                                                 ZV_POINT_FETCH_NAMES};
};

// Uniforms of the slice program, set once.
struct RangeSliceUniforms {
    enum : int { ELEMENT_COUNT, SLICE_SIZE, BASE, COUNT };
    static constexpr const char* NAMES[COUNT] = {"count", "sliceSize", "base"};
};

// One vertex per group: the range of the ranges [id * groupSize, (id + 1) * groupSize) of
// the `count` in `partial`.
inline constexpr const char* gRangeMergeShaderSrc = ZV_GLSL_HEADER R"glsl(
uniform samplerBuffer partial;
uniform int count;
uniform int groupSize;
out vec4 range;

void main() {
    float inf = uintBitsToFloat(0x7F800000u);
    vec4 r = vec4(inf, inf, -inf, -inf);
    int begin = gl_VertexID * groupSize;
    int end = min(begin + groupSize, count);
    for (int i = begin; i < end; ++i) {
        vec4 s = texelFetch(partial, i);
        r.xy = min(r.xy, s.xy);
        r.zw = max(r.zw, s.zw);
    }
    range = r;
}
)glsl";

// Uniforms of the merge program.
struct RangeMergeUniforms {
    enum : int { RANGE_COUNT, GROUP_SIZE, COUNT };
    static constexpr const char* NAMES[COUNT] = {"count", "groupSize"};
};

// Nothing is rasterised; a fragment stage only completes the program.
inline constexpr const char* gRangeFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(
out vec4 colour;
void main() { colour = vec4(0.0); }
)glsl";

}  // namespace internal
