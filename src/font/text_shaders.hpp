#pragma once
// GLSL sources of the text program. Glyph textures hold one coverage value per texel, read
// from the red component of the sample; the quad is placed in area units by the model-view
// matrix and mapped onto the viewport by the projection.

namespace internal {

inline constexpr const char gTextVertexShaderSrc[] = R"(#version 330

uniform mat4 projectionMatrix;
uniform mat4 modelViewMatrix;

layout(location = 0) in vec2 inPosition;
layout(location = 1) in vec2 inCoord;

out vec2 texCoord;

void main() {
    gl_Position = projectionMatrix * modelViewMatrix * vec4(inPosition, 0.0, 1.0);
    texCoord = inCoord;
}
)";

inline constexpr const char gTextFragmentShaderSrc[] = R"(#version 330

uniform sampler2D tex;
uniform vec4 textColor;

in vec2 texCoord;
out vec4 outputColor;

void main() {
    float coverage = texture(tex, texCoord).r;
    outputColor = vec4(1.0, 1.0, 1.0, coverage) * textColor;
}
)";

}  // namespace internal
