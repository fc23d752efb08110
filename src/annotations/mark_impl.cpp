#include "annotations/mark_impl.hpp"

#include <algorithm>
#include <cmath>

#include <glm/glm.hpp>

#include "annotations/mark_shaders.hpp"
#include "chart/chart_shaders.hpp"
#include "exception/raise.hpp"
#include "font/font_impl.hpp"
#include "gl/state_guard.hpp"

namespace internal {

namespace {
void unpack(zv::Color color, float out[4]) {
    out[0] = static_cast<float>(color >> 24) / 255.0f;
    out[1] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
    out[2] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
    out[3] = static_cast<float>(color & 0xFF) / 255.0f;
}

void checkFinite(float a, float b, int first, const char* label) {
    if (!std::isfinite(a)) {
        ZV_FAIL_ARG(MarkNotFinite, label, first);
    }
    if (!std::isfinite(b)) {
        ZV_FAIL_ARG(MarkNotFinite, label, first + 1);
    }
}

// The clip-space coordinate of v along the axis (0 for x, 1 for y), as the data pass places
// it. On a logarithmic axis a value at or below zero has none (false), unless `floor`: it is
// then placed a decade below the axis' lower end, out of the frame.
bool clipOf(const ChartAxes& axes, int axis, double v, bool floor, float& out) {
    const AxisMap& m = axis == 1 ? axes.y : axes.x;
    double f = v;
    if (m.log) {
        if (v > 0.0) {
            f = std::log10(v);
        } else if (floor) {
            const double other = m.scale != 0.0 ? m.origin + 2.0 / m.scale : m.origin;
            f = std::fmin(m.origin, other) - 1.0;
        } else {
            return false;
        }
    }
    glm::vec4 p(0.0f, 0.0f, 0.0f, 1.0f);
    p[axis] = static_cast<float>(f - m.shaderOrigin());
    out = (axes.data * p)[axis];
    return std::isfinite(out);
}
}  // namespace

mark_impl::mark_impl(Kind kind, int axis, float a, float b, const char* label) : mKind(kind) {
    if (kind != Kind::Text && axis != zv::ZV_MARK_X && axis != zv::ZV_MARK_Y) {
        ZV_FAIL(MarkAxis, label);
    }
    checkFinite(a, b, 2, label);
    mOnY = kind != Kind::Text && axis == zv::ZV_MARK_Y;
    mA = a;
    mB = b;
    unpack(kind == Kind::Line ? 0xC0C0C0FFu : kind == Kind::Span ? 0xC0C0C040u : 0xFFFFFFFFu,
           mColor);
    GLStateGuard guard;
    if (kind != Kind::Text) {
        mProgram = groupProgram<MarkUniforms>(
            "mark", [] { return makeProgram(gMarkVertexShaderSrc, gChartFragmentShaderSrc); });
    }
    SeriesSlot self;
    self.series = this;
    self.key = this;
    series().push_back(std::move(self));
}

mark_impl::~mark_impl() = default;

void mark_impl::setValues(float a, float b, const char* label) {
    checkFinite(a, b, 1, label);
    mA = a;
    mB = b;
}

void mark_impl::setColor(zv::Color color) { unpack(color, mColor); }

void mark_impl::setWidth(float pixels) {
    if (!(pixels > 0.0f && pixels <= 100.0f)) {
        ZV_FAIL(MarkLineWidth, "ReferenceLine::setWidth");
    }
    mWidth = pixels;
}

void mark_impl::setTextSize(int pixels) {
    if (pixels < 1 || pixels > 200) {
        ZV_FAIL(MarkTextSize, "Annotation::setTextSize");
    }
    mTextSize = pixels;
}

void mark_impl::drawRect(int windowId, const float rect[4]) {
    UniformCache& u = mProgram->uniforms;
    u.use(windowId);
    u.setVec4(MarkUniforms::RECT, rect);
    u.setVec4(MarkUniforms::COLOR, mColor);
    mVAOs.bind(windowId, [] {});
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisable(GL_BLEND);
}

void mark_impl::drawText(const FrameDraw& frame, const ChartAxes& axes) {
    float cx = 0.0f, cy = 0.0f;
    if (mText.empty() || !clipOf(axes, 0, mA, false, cx) || !clipOf(axes, 1, mB, false, cy))
        return;
    const int vw = frame.viewport[2], vh = frame.viewport[3];
    font_impl& text = *font();
    if (!text.begin(frame.draw.windowId, vw, vh)) return;
    const float pos[2] = {0.5f * (cx + 1.0f) * static_cast<float>(vw),
                          0.5f * (cy + 1.0f) * static_cast<float>(vh)};
    text.drawString(pos, mColor, mText.c_str(), mTextSize, false);
    text.end();
}

void mark_impl::drawSeries(const FrameDraw& frame, const ChartAxes& axes) {
    const int axis = mOnY ? 1 : 0;
    // Clip space spans the viewport: a pixel is 2 / its size.
    const float pixel = 2.0f / static_cast<float>(std::max(frame.viewport[2 + axis], 1));
    float rect[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
    switch (mKind) {
        case Kind::Text:
            drawText(frame, axes);
            return;
        case Kind::Line: {
            float c = 0.0f;
            if (!clipOf(axes, axis, mA, false, c)) return;
            rect[axis] = c - 0.5f * mWidth * pixel;
            rect[axis + 2] = c + 0.5f * mWidth * pixel;
            break;
        }
        case Kind::Span: {
            float c0 = 0.0f, c1 = 0.0f;
            if (!clipOf(axes, axis, mA, true, c0) || !clipOf(axes, axis, mB, true, c1)) return;
            rect[axis] = std::fmin(c0, c1);
            rect[axis + 2] = std::fmax(c0, c1);
            break;
        }
    }
    drawRect(frame.draw.windowId, rect);
}

void mark_impl::fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const {
    if (mKind == Kind::Text) return;
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    painter.fill(mKind == Kind::Line ? entry.line : entry.bar, mColor);
    glDisable(GL_BLEND);
}

}  // namespace internal
