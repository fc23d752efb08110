#pragma once
// Shaders of the data-range reduction. The data sampler's prefix ("", "i" or "u") is put in
// front by the code, as a line defining DATA_SAMPLER.

namespace internal {

// One vertex per slice: the range of elements [id * sliceSize, (id + 1) * sliceSize).
const char* const gRangeSliceShaderSrc = R"glsl(
uniform DATA_SAMPLER data;
uniform int count;
uniform int sliceSize;
out vec4 range;  // xmin, ymin, xmax, ymax; +inf, +inf, -inf, -inf when empty

bool finite(float v) { return (floatBitsToUint(v) & 0x7F800000u) != 0x7F800000u; }

void main() {
    float inf = uintBitsToFloat(0x7F800000u);
    vec4 r = vec4(inf, inf, -inf, -inf);
    int begin = gl_VertexID * sliceSize;
    int end = min(begin + sliceSize, count);
    for (int i = begin; i < end; ++i) {
#if COMPONENTS == 2
        vec2 p = vec2(texelFetch(data, i).xy);
#else
        vec2 p = vec2(float(i), float(texelFetch(data, i).x));
#endif
        if (finite(p.x) && finite(p.y)) {
            r.xy = min(r.xy, p);
            r.zw = max(r.zw, p);
        }
    }
    range = r;
}
)glsl";

// One vertex: the range of the slices' ranges.
const char* const gRangeMergeShaderSrc = R"glsl(#version 330
uniform samplerBuffer partial;
uniform int count;
out vec4 range;

void main() {
    float inf = uintBitsToFloat(0x7F800000u);
    vec4 r = vec4(inf, inf, -inf, -inf);
    for (int i = 0; i < count; ++i) {
        vec4 s = texelFetch(partial, i);
        r.xy = min(r.xy, s.xy);
        r.zw = max(r.zw, s.zw);
    }
    range = r;
}
)glsl";

// Nothing is rasterised; a fragment stage only completes the program.
const char* const gRangeFragmentShaderSrc = R"glsl(#version 330
out vec4 colour;
void main() { colour = vec4(0.0); }
)glsl";

}  // namespace internal
