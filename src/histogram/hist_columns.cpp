#include "histogram/hist_columns.hpp"

#include <cmath>
#include <string>

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
        case GL_INT: return {GL_R32I, "isamplerBuffer"};
        case GL_UNSIGNED_INT: return {GL_R32UI, "usamplerBuffer"};
        default: return {GL_R32F, "samplerBuffer"};
    }
}
}  // namespace

GLProgram makeHistColumnProgram(const char* sampler) {
    const std::string source =
        std::string("#version 330\n#define BINS ") + sampler + "\n" + gHistColumnVertexShaderBody;
    return makeProgram(source.c_str(), gHistBarFragmentShaderSrc);
}

HistColumns::HistColumns(GLuint vbo, GLenum type, unsigned bins) : mBins(bins) {
    const BinFormat format = binFormat(type);
    mProgram = makeHistColumnProgram(format.sampler);
    const char* names[8] = {"transform", "halfViewport", "firstColumn", "ymax",
                            "logY",      "logRange",     "barColor",    "nbins"};
    for (int i = 0; i < 8; ++i) mLoc[i] = glGetUniformLocation(mProgram.get(), names[i]);
    setProgramConstants(mProgram.get(), [&] { glUniform1i(mLoc[7], static_cast<GLint>(bins)); });
    glGetIntegerv(GL_MAX_TEXTURE_BUFFER_SIZE, &mMaxTexels);
    mTexture = GLTexture::create();
    glBindTexture(GL_TEXTURE_BUFFER, mTexture.get());
    glTexBuffer(GL_TEXTURE_BUFFER, format.internalFormat, vbo);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
}

bool HistColumns::applies(int columns) const {
    return columns > 0 && mBins > static_cast<unsigned>(columns) &&
           static_cast<long long>(mBins) <= static_cast<long long>(mMaxTexels);
}

void HistColumns::draw(const glm::mat4& frameTransform, const float color[4], float yMax,
                       const float logY[3], const int frame[4], const int viewport[4]) {
    glUseProgram(mProgram.get());
    glUniformMatrix4fv(mLoc[0], 1, GL_FALSE, &frameTransform[0][0]);
    glUniform2f(mLoc[1], 0.5f * static_cast<float>(viewport[2]),
                0.5f * static_cast<float>(viewport[3]));
    glUniform1f(mLoc[2], static_cast<float>(frame[0] - viewport[0]));
    glUniform1f(mLoc[3], yMax);
    glUniform1i(mLoc[4], logY[0] != 0.0f ? 1 : 0);
    glUniform2f(mLoc[5], logY[1], logY[2]);
    glUniform4fv(mLoc[6], 1, color);
    glBindTexture(GL_TEXTURE_BUFFER, mTexture.get());
    glDrawArraysInstanced(GL_TRIANGLE_FAN, 0, 4, frame[2]);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
}

void HistColumns::moveUniformsAway() {
    glUseProgram(mProgram.get());
    UniformRefresh::awayMatrix(mLoc[0]);
    glUniform2f(mLoc[1], -1.0f, -1.0f);
    glUniform1f(mLoc[2], HUGE_VALF);
    UniformRefresh::awayFloat(mLoc[3]);
    UniformRefresh::awayInt(mLoc[4]);
    glUniform2f(mLoc[5], HUGE_VALF, HUGE_VALF);
    UniformRefresh::awayVec4(mLoc[6]);
}

}  // namespace internal
