#pragma once
// GLSL sources of the text program. Glyph pages hold one coverage value per texel, read
// from the red component of the sample; the quad is placed in area units by the model-view
// matrix and mapped onto the viewport by the projection.

#include "common/shader_interface.hpp"

namespace internal {

inline constexpr const char* gTextVertexShaderSrc = ZV_GLSL_HEADER R"glsl(

uniform mat4 projectionMatrix;
uniform mat4 modelViewMatrix;
// The centres of the glyph box's corner texels in its page (left, bottom, right, top). A
// pixel only partly covered by the quad is shaded at its centre, which may lie outside the
// box: clamped to these, the sample reads what a texture of the glyph's own would read with
// clamping to its edge, and never a neighbour's texels. A uniform of this stage, not of the
// fragment stage: the software rasteriser stores the fragment stage's whole state again for
// every draw after one of its values changes, which per glyph cost more than the glyphs.
uniform vec4 glyphBox;

layout(location = TEXT_POSITION_LOCATION) in vec2 inPosition;
layout(location = TEXT_TEXCOORD_LOCATION) in vec2 inCoord;

out vec2 texCoord;
flat out vec4 texBox;

void main() {
    gl_Position = projectionMatrix * modelViewMatrix * vec4(inPosition, 0.0, 1.0);
    texCoord = inCoord;
    texBox = glyphBox;
}
)glsl";

// Uniforms of the text program.
struct TextUniforms {
    enum : int { PROJECTION, MODEL_VIEW, TEX, TEXT_COLOR, GLYPH_BOX, COUNT };
    static constexpr const char* NAMES[COUNT] = {"projectionMatrix", "modelViewMatrix", "tex",
                                                 "textColor", "glyphBox"};
};

inline constexpr const char* gTextFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(

uniform sampler2D tex;
uniform vec4 textColor;

in vec2 texCoord;
flat in vec4 texBox;
out vec4 outputColor;

void main() {
    float coverage = texture(tex, clamp(texCoord, texBox.xy, texBox.zw)).r;
    outputColor = vec4(1.0, 1.0, 1.0, coverage) * textColor;
}
)glsl";

}  // namespace internal
