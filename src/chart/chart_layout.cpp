#include "chart/chart_layout.hpp"

#include <algorithm>
#include <cmath>

#include "common/common.hpp"

namespace internal {

ChartLayout chartLayout(int width, int height, const ChartMetrics& m) {
    ChartLayout c;
    c.width = width;
    c.height = height;
    const int wd = width - m.left - m.right - m.tickSize;
    const int hd = height - m.tickSize - m.top - m.bottom;
    if (wd <= 0 || hd <= 0) return c;
    c.hasDataArea = true;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    c.dataWidth = static_cast<float>(wd);
    c.dataHeight = static_cast<float>(hd);
    c.sx = c.dataWidth / w;
    c.sy = c.dataHeight / h;
    c.ox = (c.dataWidth - w + static_cast<float>(2 * (m.left + m.tickSize))) / w;
    c.oy = (c.dataHeight - h + static_cast<float>(2 * (m.bottom + m.tickSize))) / h;
    if (m.pixelText) {
        // The frame exactly left + tick pixels from the left edge and bottom + tick from the
        // bottom, as margins of any size need (the offsets above come close only while the
        // margins are small beside the area).
        c.ox = 1.0f + (static_cast<float>(2 * (m.left + m.tickSize)) - w) / c.dataWidth;
        c.oy = 1.0f + (static_cast<float>(2 * (m.bottom + m.tickSize)) - h) / c.dataHeight;
    }
    c.transform[0][0] = c.sx;
    c.transform[1][1] = c.sy;
    c.transform[3][0] = c.sx * c.ox;
    c.transform[3][1] = c.sy * c.oy;
    c.frameLeft = 0.5f * w * (1.0f + c.sx * (c.ox - 1.0f));
    c.frameRight = 0.5f * w * (1.0f + c.sx * (c.ox + 1.0f));
    c.frameBottom = 0.5f * h * (1.0f + c.sy * (c.oy - 1.0f));
    c.frameTop = 0.5f * h * (1.0f + c.sy * (c.oy + 1.0f));
    if (m.pixelText) {
        c.textWidth = w;
        c.textHeight = h;
        c.ux = c.uy = 1.0f;
    } else {
        c.textWidth = c.dataWidth;
        c.textHeight = c.dataHeight;
        c.ux = c.sx;
        c.uy = c.sy;
    }
    return c;
}

PixelBox frameScissor(const ChartLayout& c, const int viewport[4]) {
    const double vx = viewport[0], vy = viewport[1];
    const double vw = viewport[2], vh = viewport[3];
    // Clip coordinates of the frame's edges, mapped through the viewport.
    const double sx = c.sx, sy = c.sy, ox = c.ox, oy = c.oy;
    const double left = vx + vw * 0.5 * (1.0 + sx * (ox - 1.0));
    const double right = vx + vw * 0.5 * (1.0 + sx * (ox + 1.0));
    const double bottom = vy + vh * 0.5 * (1.0 + sy * (oy - 1.0));
    const double top = vy + vh * 0.5 * (1.0 + sy * (oy + 1.0));
    const int x0 = std::max(viewport[0], static_cast<int>(std::floor(left)));
    const int y0 = std::max(viewport[1], static_cast<int>(std::floor(bottom)));
    const int x1 = std::min(viewport[0] + viewport[2], static_cast<int>(std::ceil(right)));
    const int y1 = std::min(viewport[1] + viewport[3], static_cast<int>(std::ceil(top)));
    return {x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

namespace {

// cx = scale * q + offset in chart coordinates for the point q the shader hands over, then
// the frame's transform; all in double, since a range near 2 FLT_MAX does not fit a float.
glm::mat4 dataMatrix(const ChartLayout& c, double scaleX, double offsetX, double scaleY,
                     double offsetY) {
    const double sx = c.sx * scaleX;
    const double sy = c.sy * scaleY;
    // A range of 1e38 or more gives a scale below FLT_MIN, which a GPU flushes to zero: every
    // point would land on the offset. The whole matrix, w included, is then multiplied by a
    // power of two that lifts the smaller scale to 2^-60; the perspective division takes the
    // factor out again, so the picture is the same and every entry stays a normal float.
    double k = 1.0;
    const double smallest =
        std::min(sx != 0.0 ? std::fabs(sx) : 1.0, sy != 0.0 ? std::fabs(sy) : 1.0);
    const double lowest = std::ldexp(1.0, -60);
    if (smallest < lowest) k = std::ldexp(1.0, std::ilogb(lowest / smallest) + 1);
    glm::mat4 t(1.0f);
    t[0][0] = static_cast<float>(k * sx);
    t[1][1] = static_cast<float>(k * sy);
    t[2][2] = static_cast<float>(k);
    t[3][0] = static_cast<float>(k * c.sx * (offsetX + c.ox));
    t[3][1] = static_cast<float>(k * c.sy * (offsetY + c.oy));
    t[3][3] = static_cast<float>(k);
    return t;
}

// The part of the axis' origin the matrix subtracts: what the shader does not.
double foldedOffset(const AxisMap& m, double shaderOrigin) {
    return -1.0 - m.scale * (m.origin - shaderOrigin);
}

}  // namespace

PixelFrame frameInWindow(const ChartLayout& c, const int viewport[4]) {
    const double kx = c.width > 0 ? static_cast<double>(viewport[2]) / c.width : 0.0;
    const double ky = c.height > 0 ? static_cast<double>(viewport[3]) / c.height : 0.0;
    PixelFrame f;
    f.left = viewport[0] + c.frameLeft * kx;
    f.bottom = viewport[1] + c.frameBottom * ky;
    f.width = (c.frameRight - c.frameLeft) * kx;
    f.height = (c.frameTop - c.frameBottom) * ky;
    return f;
}

glm::mat4 dataTransform(const ChartLayout& c, const AxisMap& x, const AxisMap& y) {
    return dataMatrix(c, x.scale, foldedOffset(x, x.shaderOrigin()), y.scale,
                      foldedOffset(y, y.shaderOrigin()));
}

glm::mat4 dataTransform(const ChartLayout& c, float xmax, float xmin, float ymax, float ymin) {
    const AxisMap x = axisMap(xmax, xmin, false), y = axisMap(ymax, ymin, false);
    return dataMatrix(c, x.scale, foldedOffset(x, 0.0), y.scale, foldedOffset(y, 0.0));
}

TextPos textAnchor(const ChartLayout& c, float px, float py) {
    const float cx = c.sx * px + c.sx * c.ox;
    const float cy = c.sy * py + c.sy * c.oy;
    return {(cx + 1.0f) * c.textWidth * 0.5f, (cy + 1.0f) * c.textHeight * 0.5f};
}

TextPos yLabelPos(const ChartLayout& c, const ChartMetrics& m, float px, float py, size_t chars) {
    TextPos a = textAnchor(c, px, py);
    const float t = static_cast<float>(m.tickSize);
    return {a.x - (t * c.ux + CHART_HALF_CHAR_WIDTH * static_cast<float>(chars)), a.y};
}

TextPos xLabelPos(const ChartLayout& c, const ChartMetrics& m, float px, float py, size_t chars) {
    TextPos a = textAnchor(c, px, py);
    const float t = static_cast<float>(m.tickSize);
    const float size = static_cast<float>(m.textSize);
    return {a.x - CHART_HALF_CHAR_WIDTH * static_cast<float>(chars) + size,
            a.y - (t * c.uy + size * c.textHeight / static_cast<float>(c.height))};
}

TextPos xLabelPosCentred(const ChartLayout& c, const ChartMetrics& m, float px, float width) {
    const TextPos legacy = xLabelPos(c, m, px, -1.0f, 0);
    return {textAnchor(c, px, -1.0f).x - 0.5f * width, legacy.y};
}

TextPos yLabelPosCentred(const ChartLayout& c, const ChartMetrics& m, float py, float width,
                         float ascent) {
    const TextPos a = textAnchor(c, -1.0f, py);
    return {a.x - static_cast<float>(m.tickSize) * c.ux - width, a.y - 0.5f * ascent};
}

float keepInside(float start, float size, float room) {
    return std::max(0.0f, std::min(start, room - size));
}

bool boxesTouch(const TextBox& a, const TextBox& b, float gap) {
    if (a.x1 < a.x0 || b.x1 < b.x0) return false;
    return a.x0 < b.x1 + gap && b.x0 < a.x1 + gap && a.y0 < b.y1 + gap && b.y0 < a.y1 + gap;
}

TextPos yTitlePos(const ChartLayout& c, const ChartMetrics& m) {
    TextPos a = textAnchor(c, -1.0f, 0.0f);
    return {a.x + static_cast<float>(m.tickSize) * c.ux, a.y};
}

TextPos xTitlePos(const ChartLayout& c, const ChartMetrics& m) {
    TextPos a = textAnchor(c, 0.0f, -1.0f);
    return {a.x, a.y + static_cast<float>(m.tickSize) * c.uy};
}

int ticksPerAxis(int tickCount) {
    if (tickCount < 1) return 0;
    return tickCount < 2 ? 1 : 1 + 2 * (tickCount / 2);
}

std::vector<float> chartVertices(int tickCount) {
    std::vector<float> v = {-1.0f, -1.0f, 1.0f, -1.0f, 1.0f, 1.0f, -1.0f, 1.0f};
    const int perAxis = ticksPerAxis(tickCount);
    if (perAxis == 0) return v;
    const float s = 2.0f / static_cast<float>(tickCount);
    const int half = (perAxis - 1) / 2;
    // y axis along the left edge, then x axis along the bottom edge.
    v.insert(v.end(), {-1.0f, 0.0f});
    for (int i = 1; i <= half; ++i) {
        const float a = static_cast<float>(i) * s;
        v.insert(v.end(), {-1.0f, -a, -1.0f, a});
    }
    v.insert(v.end(), {0.0f, -1.0f});
    for (int i = 1; i <= half; ++i) {
        const float a = static_cast<float>(i) * s;
        v.insert(v.end(), {-a, -1.0f, a, -1.0f});
    }
    return v;
}

std::vector<std::string> axisLabels(float max, float min, int tickCount) {
    std::vector<std::string> labels;
    const int perAxis = ticksPerAxis(tickCount);
    if (perAxis == 0) return labels;
    const float n = static_cast<float>(tickCount);
    const float step = (max - min) / n;
    const float mid = (max - min) * 0.5f + min;
    labels.push_back(toString(mid, 2));
    for (int i = 1; i <= (perAxis - 1) / 2; ++i) {
        const float d = static_cast<float>(i) * step;
        labels.push_back(toString(mid - d, 2));
        labels.push_back(toString(mid + d, 2));
    }
    return labels;
}

}  // namespace internal
