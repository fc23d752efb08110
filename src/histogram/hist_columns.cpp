#include "histogram/hist_columns.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "gl/limits.hpp"
#include "gl/uniforms.hpp"
#include "histogram/hist_shaders.hpp"

namespace internal {

namespace {
struct BinFormat {
    GLenum internalFormat;
    const char* sampler;
};
BinFormat binFormat(GLenum type) {
    switch (type) {
        case GL_UNSIGNED_BYTE: return {GL_R8UI, "usamplerBuffer"};
        case GL_SHORT: return {GL_R16I, "isamplerBuffer"};
        case GL_UNSIGNED_SHORT: return {GL_R16UI, "usamplerBuffer"};
        case GL_INT: return {GL_R32I, "isamplerBuffer"};
        case GL_UNSIGNED_INT: return {GL_R32UI, "usamplerBuffer"};
        default: return {GL_R32F, "samplerBuffer"};
    }
}
}  // namespace

GLProgram makeHistColumnProgram(const char* sampler) {
    const std::string source =
        std::string(ZV_GLSL_HEADER "#define BINS ") + sampler + "\n" + gHistColumnVertexShaderBody;
    return makeProgram(source.c_str(), gHistBarFragmentShaderSrc);
}

HistColumns::HistColumns(GLuint vbo, GLenum type, unsigned bins) : mBins(bins) {
    const BinFormat format = binFormat(type);
    mProgram = groupProgram<HistColumnUniforms>(
        std::string("histogram columns ") + format.sampler,
        [&] { return makeHistColumnProgram(format.sampler); });
    mMaxTexels = maxTextureBufferTexels();
    mTexture = GLTexture::create();
    glBindTexture(GL_TEXTURE_BUFFER, mTexture.get());
    glTexBuffer(GL_TEXTURE_BUFFER, format.internalFormat, vbo);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
}

bool HistColumns::applies(int columns) const {
    return columns > 0 && mBins > static_cast<unsigned>(columns) &&
           static_cast<long long>(mBins) <= static_cast<long long>(mMaxTexels);
}

void HistColumns::draw(int windowId, const glm::mat4& frameTransform, const float color[4],
                       float yMax, bool logY, const float logRange[2], const int frame[4],
                       const int viewport[4]) {
    // Bins a column spans, at most: the bins' slots over the pixels of the frame's x extent
    // (the same arithmetic as the shader's), and one more on each side.
    const float halfWidth = halfViewportOf(viewport)[0];
    const double perColumn =
        static_cast<double>(mBins) / (2.0 * halfWidth * std::fabs(frameTransform[0][0])) + 2.0;
    const double budget = static_cast<double>(LOOP_BUDGET);
    const int parts = std::isfinite(perColumn)
                          ? static_cast<int>(std::min(std::ceil(perColumn / budget),
                                                      std::ceil(mBins / budget)))
                          : static_cast<int>(std::ceil(mBins / budget));
    UniformCache& u = mProgram->uniforms;
    u.use(windowId);
    u.setInt(HistColumnUniforms::PARTS, std::max(parts, 1));
    u.setInt(HistColumnUniforms::NBINS, static_cast<GLint>(mBins));
    u.setMatrix4(HistColumnUniforms::TRANSFORM, &frameTransform[0][0]);
    u.setVec2(HistColumnUniforms::HALF_VIEWPORT, halfViewportOf(viewport).data());
    u.setFloat(HistColumnUniforms::FIRST_COLUMN, static_cast<float>(frame[0] - viewport[0]));
    u.setFloat(HistColumnUniforms::YMAX, yMax);
    u.setInt(HistColumnUniforms::LOG_Y, logY ? 1 : 0);
    u.setVec2(HistColumnUniforms::LOG_RANGE, logRange);
    u.setVec4(HistColumnUniforms::BAR_COLOR, color);
    glBindTexture(GL_TEXTURE_BUFFER, mTexture.get());
    glDrawArraysInstanced(GL_TRIANGLE_FAN, 0, 4, frame[2] * std::max(parts, 1));
    glBindTexture(GL_TEXTURE_BUFFER, 0);
}

}  // namespace internal
