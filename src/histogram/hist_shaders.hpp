#pragma once
// Shader sources of the histogram: the unit bar (the chart's border square) drawn once per
// bin with instancing, placed by the instance number and scaled by that bin's frequency.

#include "common/shader_interface.hpp"

namespace internal {

// "point" at the chart programs' location (CHART_POINT_LOCATION), "freq" next to it
// (HIST_FREQ_LOCATION).
//
// Bar i covers x from -1 + 2i / nbins to -1 + 2(i + 1) / nbins and y from -1 to
// -1 + 2 freq / ymax. Both edges of a bar come from the same product (i or i + 1 times the
// slot width), so neighbouring bars meet without a gap. A ymax of 0 gives bars of no
// height, which draw nothing, instead of a division by zero. On a logarithmic y axis
// ("logY" 1) a bar reaches (log10 freq - logRange.x) * logRange.y up from the bottom edge,
// logRange being the axis' origin (log10 ymin) and scale; a frequency at or below ymin, or
// at or below zero, gives no bar.
inline constexpr const char* gHistBarVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
layout(location = CHART_POINT_LOCATION) in vec2 point;
layout(location = HIST_FREQ_LOCATION) in float freq;
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
)glsl";

// Uniforms of the bar program.
struct HistBarUniforms {
    enum : int { TRANSFORM, BAR_COLOR, YMAX, NBINS, LOG_Y, LOG_RANGE, COUNT };
    static constexpr const char* NAMES[COUNT] = {"transform", "barColor", "ymax",
                                                 "nbins",     "logY",     "logRange"};
};

inline constexpr const char* gHistBarFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(
uniform vec4 barColor;
out vec4 outColor;
void main(void) {
    outColor = barColor;
}
)glsl";

}  // namespace internal
