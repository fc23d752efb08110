#pragma once
// Shader sources of the histogram: the unit bar (the chart's border square) drawn once per
// bin with instancing, placed by the instance number and scaled by that bin's frequency.

namespace internal {

// "point" at the chart programs' location (CHART_POINT_LOCATION), "freq" next to it.
constexpr unsigned HIST_FREQ_LOCATION = 1;

// Bar i covers x from -1 + 2i / nbins to -1 + 2(i + 1) / nbins and y from -1 to
// -1 + 2 freq / ymax. Both edges of a bar come from the same product (i or i + 1 times the
// slot width), so neighbouring bars meet without a gap. A ymax of 0 gives bars of no
// height, which draw nothing, instead of a division by zero. On a logarithmic y axis
// ("logY" 1) a bar reaches (log10 freq - logRange.x) * logRange.y up from the bottom edge,
// logRange being the axis' origin (log10 ymin) and scale; a frequency at or below ymin, or
// at or below zero, gives no bar.
inline constexpr const char* gHistBarVertexShaderSrc = R"(#version 330
layout(location = 0) in vec2 point;
layout(location = 1) in float freq;
uniform float ymax;
uniform float nbins;
uniform mat4 transform;
uniform int logY;
uniform vec2 logRange;
void main(void) {
    float deltax = 2.0 / nbins;
    float deltay = ymax != 0.0 ? 2.0 / ymax : 0.0;
    float i = float(gl_InstanceID) + (point.x > 0.0 ? 1.0 : 0.0);
    float x = -1.0 + i * deltax;
    float top = deltay * freq;
    if (logY == 1)
        top = freq > 0.0 ? max((log2(freq) * 0.30102999566398120 - logRange.x) * logRange.y, 0.0)
                         : 0.0;
    float y = -1.0 + (point.y > 0.0 ? top : 0.0);
    gl_Position = transform * vec4(x, y, 0.0, 1.0);
}
)";

inline constexpr const char* gHistBarFragmentShaderSrc = R"(#version 330
uniform vec4 barColor;
out vec4 outColor;
void main(void) {
    outColor = barColor;
}
)";

}  // namespace internal
