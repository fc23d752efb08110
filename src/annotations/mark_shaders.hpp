#pragma once
// Shader source of the flat marks (reference lines and spans): one rectangle in clip space,
// its corners chosen by the vertex number of a 4-vertex triangle strip, so that no buffer is
// read. The fragment stage is the chart frame's plain one ("color").

#include "common/shader_interface.hpp"

namespace internal {

// "rect" is (x0, y0, x1, y1) in clip space.
inline constexpr const char* gMarkVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
uniform vec4 rect;
void main(void) {
    float x = (gl_VertexID & 1) == 1 ? rect.z : rect.x;
    float y = (gl_VertexID & 2) == 2 ? rect.w : rect.y;
    gl_Position = vec4(x, y, 0.0, 1.0);
}
)glsl";

struct MarkUniforms {
    enum : int { RECT, COLOR, COUNT };
    static constexpr const char* NAMES[COUNT] = {"rect", "color"};
};

}  // namespace internal
