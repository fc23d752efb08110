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
    c.transform[0][0] = c.sx;
    c.transform[1][1] = c.sy;
    c.transform[3][0] = c.sx * c.ox;
    c.transform[3][1] = c.sy * c.oy;
    c.frameLeft = 0.5f * w * (1.0f + c.sx * (c.ox - 1.0f));
    c.frameRight = 0.5f * w * (1.0f + c.sx * (c.ox + 1.0f));
    c.frameBottom = 0.5f * h * (1.0f + c.sy * (c.oy - 1.0f));
    c.frameTop = 0.5f * h * (1.0f + c.sy * (c.oy + 1.0f));
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

glm::mat4 dataTransform(const ChartLayout& c, float xmax, float xmin, float ymax, float ymin) {
    // Data to chart coordinates: cx = a (px - min) - 1, then the frame's transform; all in
    // double, since a range near 2 FLT_MAX does not fit a float.
    const double rx = static_cast<double>(xmax) - static_cast<double>(xmin);
    const double ry = static_cast<double>(ymax) - static_cast<double>(ymin);
    const double ax = std::fabs(rx) < 0.001 ? 0.0 : 2.0 / rx;
    const double ay = std::fabs(ry) < 0.001 ? 0.0 : 2.0 / ry;
    const double bx = -1.0 - static_cast<double>(xmin) * ax;
    const double by = -1.0 - static_cast<double>(ymin) * ay;
    const double scaleX = c.sx * ax;
    const double scaleY = c.sy * ay;
    // A range of 1e38 or more gives a scale below FLT_MIN, which a GPU flushes to zero: every
    // point would land on the offset. The whole matrix, w included, is then multiplied by a
    // power of two that lifts the smaller scale to 2^-60; the perspective division takes the
    // factor out again, so the picture is the same and every entry stays a normal float.
    double k = 1.0;
    const double smallest = std::min(scaleX != 0.0 ? std::fabs(scaleX) : 1.0,
                                     scaleY != 0.0 ? std::fabs(scaleY) : 1.0);
    const double lowest = std::ldexp(1.0, -60);
    if (smallest < lowest) k = std::ldexp(1.0, std::ilogb(lowest / smallest) + 1);
    glm::mat4 t(1.0f);
    t[0][0] = static_cast<float>(k * scaleX);
    t[1][1] = static_cast<float>(k * scaleY);
    t[2][2] = static_cast<float>(k);
    t[3][0] = static_cast<float>(k * c.sx * (bx + c.ox));
    t[3][1] = static_cast<float>(k * c.sy * (by + c.oy));
    t[3][3] = static_cast<float>(k);
    return t;
}

TextPos textAnchor(const ChartLayout& c, float px, float py) {
    const float cx = c.sx * px + c.sx * c.ox;
    const float cy = c.sy * py + c.sy * c.oy;
    return {(cx + 1.0f) * c.dataWidth * 0.5f, (cy + 1.0f) * c.dataHeight * 0.5f};
}

TextPos yLabelPos(const ChartLayout& c, const ChartMetrics& m, float px, float py, size_t chars) {
    TextPos a = textAnchor(c, px, py);
    const float t = static_cast<float>(m.tickSize);
    return {a.x - (t * c.sx + CHART_HALF_CHAR_WIDTH * static_cast<float>(chars)), a.y};
}

TextPos xLabelPos(const ChartLayout& c, const ChartMetrics& m, float px, float py, size_t chars) {
    TextPos a = textAnchor(c, px, py);
    const float t = static_cast<float>(m.tickSize);
    const float size = static_cast<float>(CHART_TEXT_SIZE);
    return {a.x - CHART_HALF_CHAR_WIDTH * static_cast<float>(chars) + size,
            a.y - (t * c.sy + size * c.dataHeight / static_cast<float>(c.height))};
}

TextPos yTitlePos(const ChartLayout& c, const ChartMetrics& m) {
    TextPos a = textAnchor(c, -1.0f, 0.0f);
    return {a.x + static_cast<float>(m.tickSize) * c.sx, a.y};
}

TextPos xTitlePos(const ChartLayout& c, const ChartMetrics& m) {
    TextPos a = textAnchor(c, 0.0f, -1.0f);
    return {a.x, a.y + static_cast<float>(m.tickSize) * c.sy};
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
