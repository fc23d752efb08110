#include "chart/legend_layout.hpp"

namespace internal {

namespace {
const zv::Color CYCLE[SERIES_CYCLE_LENGTH] = {
    0xE69F00FF,  // orange
    0x56B4E9FF,  // sky blue
    0x009E73FF,  // bluish green
    0xF0E442FF,  // yellow
    0x0072B2FF,  // blue
    0xD55E00FF,  // vermilion
    0xCC79A7FF,  // reddish purple
    0xBBBBBBFF,  // light grey
};
}  // namespace

zv::Color seriesCycleColor(size_t index) { return CYCLE[index % SERIES_CYCLE_LENGTH]; }

PixelRect legendBox(const PixelRect& frame, zv::LegendCorner corner, size_t entries,
                    float labelWidth, const LegendMetrics& m) {
    if (entries == 0) return {frame.x0, frame.y0, frame.x0, frame.y0};
    const float w = 2.0f * m.padding + m.swatchWidth + m.gap + labelWidth;
    const float h = 2.0f * m.padding + m.rowHeight * static_cast<float>(entries);
    const bool left = corner == zv::ZV_LEGEND_TOP_LEFT || corner == zv::ZV_LEGEND_BOTTOM_LEFT;
    const bool bottom =
        corner == zv::ZV_LEGEND_BOTTOM_LEFT || corner == zv::ZV_LEGEND_BOTTOM_RIGHT;
    const float x0 = left ? frame.x0 + m.inset : frame.x1 - m.inset - w;
    const float y0 = bottom ? frame.y0 + m.inset : frame.y1 - m.inset - h;
    return {x0, y0, x0 + w, y0 + h};
}

PixelRect legendBoxOutside(const PixelRect& frame, size_t entries, float labelWidth,
                           const LegendMetrics& m) {
    if (entries == 0) return {frame.x1, frame.y1, frame.x1, frame.y1};
    const float w = 2.0f * m.padding + m.swatchWidth + m.gap + labelWidth;
    const float h = 2.0f * m.padding + m.rowHeight * static_cast<float>(entries);
    const float x0 = frame.x1 + m.inset;
    return {x0, frame.y1 - h, x0 + w, frame.y1};
}

float legendRoom(float labelWidth, const LegendMetrics& m) {
    return m.inset + 2.0f * m.padding + m.swatchWidth + m.gap + labelWidth;
}

LegendEntry legendEntry(const PixelRect& box, size_t k, const LegendMetrics& m) {
    LegendEntry e;
    const float top = box.y1 - m.padding - m.rowHeight * static_cast<float>(k);
    const float cy = top - 0.5f * m.rowHeight;
    const float sx0 = box.x0 + m.padding;
    const float sx1 = sx0 + m.swatchWidth;
    const float cx = 0.5f * (sx0 + sx1);
    e.line = {sx0, cy - 0.5f * m.lineHeight, sx1, cy + 0.5f * m.lineHeight};
    e.bar = {cx - 0.5f * m.barSize, cy - 0.5f * m.barSize, cx + 0.5f * m.barSize,
             cy + 0.5f * m.barSize};
    e.markerX = cx;
    e.markerY = cy;
    e.textX = sx1 + m.gap;
    // Capitals and digits of the label stand about two thirds of its size above the
    // baseline: centred on the row.
    e.textY = cy - static_cast<float>(m.textSize) / 3.0f;
    return e;
}

}  // namespace internal
