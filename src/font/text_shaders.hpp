#pragma once
// GLSL sources of the text program. Glyph textures hold one coverage value per texel, read
// from the red component of the sample; the quad is placed in area units by the model-view
// matrix and mapped onto the viewport by the projection.

#include "common/shader_interface.hpp"

namespace internal {

inline constexpr const char* gTextVertexShaderSrc = ZV_GLSL_HEADER R"glsl(

uniform mat4 projectionMatrix;
uniform mat4 modelViewMatrix;

layout(location = TEXT_POSITION_LOCATION) in vec2 inPosition;
layout(location = TEXT_TEXCOORD_LOCATION) in vec2 inCoord;

out vec2 texCoord;

void main() {
    gl_Position = projectionMatrix * modelViewMatrix * vec4(inPosition, 0.0, 1.0);
    texCoord = inCoord;
}
)glsl";

// Uniforms of the text program.
struct TextUniforms {
    enum : int { PROJECTION, MODEL_VIEW, TEX, TEXT_COLOR, COUNT };
    static constexpr const char* NAMES[COUNT] = {"projectionMatrix", "modelViewMatrix", "tex",
                                                 "textColor"};
};

inline constexpr const char* gTextFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(

uniform sampler2D tex;
uniform vec4 textColor;

in vec2 texCoord;
out vec4 outputColor;

void main() {
    float coverage = texture(tex, texCoord).r;
    outputColor = vec4(1.0, 1.0, 1.0, coverage) * textColor;
}
)glsl";

}  // namespace internal
