#include "image/color_bar.hpp"

#include <algorithm>
#include <memory>

#include "font/font_impl.hpp"
#include "font/text_layout.hpp"
#include "gl/context.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shared_program.hpp"
#include "gl/uniforms.hpp"
#include "image/color_bar_shaders.hpp"
#include "image/image_impl.hpp"

namespace internal {

namespace {

const float WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float MAP[4] = {0.0f, 0.0f, 0.0f, 0.0f};

// One program for every image of a share group, kept by the group: the bar is drawn by
// a function, not an object that could hold it.
SharedProgram& colorBarProgram() {
    std::shared_ptr<void>& slot = currentGroup()->resources[GROUP_COLOR_BAR];
    if (!slot) {
        slot = groupProgram<ColorBarUniforms>(
            "colour bar",
            [] { return makeProgram(gColorBarVertexShaderSrc, gColorBarFragmentShaderSrc); },
            [](UniformCache& u) {
                const GLuint p = u.program();
                glUniformBlockBinding(p, glGetUniformBlockIndex(p, "ColorMap"), 0);
            });
    }
    return *static_cast<SharedProgram*>(slot.get());
}

// The quad (-1..1 on both axes) onto the rectangle, in the viewport's clip space. Each
// rectangle of a frame differs from the one before, so the matrix is not compared.
void place(SharedProgram& p, float x0, float y0, float x1, float y1, float w, float h) {
    const GLfloat m[16] = {(x1 - x0) / w, 0, 0, 0, 0, (y1 - y0) / h, 0, 0, 0, 0, 1, 0,
                           (x0 + x1) / w - 1.0f, (y0 + y1) / h - 1.0f, 0, 1};
    p.uniforms.uploadMatrix4(ColorBarUniforms::MATRIX, m);
}

}  // namespace

void drawColorBar(int windowId, const ColorBarLayout& l, int width, int height, GLuint ubo,
                  GLuint rows, font_impl& font, const std::vector<std::string>& labels,
                  const std::string& title, const float* color) {
    if (!l.shown) return;
    if (!color) color = WHITE;
    SharedProgram& p = colorBarProgram();
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    p.uniforms.use(windowId);
    p.uniforms.setFloat(ColorBarUniforms::ROWS, static_cast<GLfloat>(rows));
    glBindBufferBase(GL_UNIFORM_BUFFER, 0, ubo);
    bindImageQuad(windowId);
    place(p, l.barX0, l.barY0, l.barX1, l.barY1, w, h);
    p.uniforms.setVec4(ColorBarUniforms::SOLID, MAP);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    p.uniforms.setVec4(ColorBarUniforms::SOLID, color);
    for (int k = 0; k < COLOR_BAR_TICKS; ++k) {
        place(p, l.barX1, l.tickY[k] - 0.5f, l.tickX1, l.tickY[k] + 0.5f, w, h);
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    }
    glBindVertexArray(0);
    glUseProgram(0);
    // glBindBufferBase also set the generic binding; only binding point 0 is meant to change.
    glBindBuffer(GL_UNIFORM_BUFFER, 0);

    if (!font.begin(windowId, width, height)) return;
    for (size_t k = 0; k < labels.size() && k < static_cast<size_t>(COLOR_BAR_TICKS); ++k) {
        const float pos[2] = {l.labelX, l.labelY[k]};
        font.drawString(pos, color, labels[k].c_str(), COLOR_BAR_TEXT_SIZE, false);
    }
    if (l.titled && !title.empty()) {
        const float pos[2] = {l.titleX, l.titleY};
        font.drawString(pos, color, title.c_str(), COLOR_BAR_TEXT_SIZE, false);
    }
    font.end();
}

void drawColorSwatch(int windowId, float x0, float y0, float x1, float y1, int width,
                     int height, GLuint ubo, GLuint rows) {
    SharedProgram& p = colorBarProgram();
    p.uniforms.use(windowId);
    p.uniforms.setFloat(ColorBarUniforms::ROWS, static_cast<GLfloat>(rows));
    glBindBufferBase(GL_UNIFORM_BUFFER, 0, ubo);
    bindImageQuad(windowId);
    place(p, x0, y0, x1, y1, static_cast<float>(std::max(width, 1)),
          static_cast<float>(std::max(height, 1)));
    p.uniforms.setVec4(ColorBarUniforms::SOLID, MAP);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
    glUseProgram(0);
    glBindBuffer(GL_UNIFORM_BUFFER, 0);
}

float colorBarTextWidth(const font_impl& font, const std::string& text) {
    if (!font.loaded() || font.loadedSize() < 1)
        return 0.5f * COLOR_BAR_TEXT_SIZE * static_cast<float>(text.size());
    long long width = 0;
    for (char ch : text) {
        const int b = static_cast<signed char>(ch);
        if (b >= FIRST_GLYPH_CODE && b <= LAST_GLYPH_CODE)
            width += scaleMetric(font.advance(b - FIRST_GLYPH_CODE), COLOR_BAR_TEXT_SIZE,
                                 font.loadedSize());
    }
    return static_cast<float>(width);
}

}  // namespace internal
