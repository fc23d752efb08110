#include "image/color_bar_layout.hpp"

#include "common/common.hpp"

namespace internal {

ColorBarLayout colorBarLayout(int width, int height) {
    ColorBarLayout l;
    if (width < 2 * COLOR_BAR_STRIP || height < 60) return l;
    l.shown = true;
    l.imageWidth = width - COLOR_BAR_STRIP;
    // Room above and below the bar for half a label.
    const float margin = 16.0f;
    l.barX0 = static_cast<float>(l.imageWidth) + 12.0f;
    l.barX1 = l.barX0 + 20.0f;
    l.barY0 = margin;
    l.barY1 = static_cast<float>(height) - margin;
    l.tickX1 = l.barX1 + 5.0f;
    l.labelX = l.tickX1 + 4.0f;
    for (int k = 0; k < COLOR_BAR_TICKS; ++k) {
        const float f = static_cast<float>(k) / static_cast<float>(COLOR_BAR_TICKS - 1);
        l.tickY[k] = l.barY0 + f * (l.barY1 - l.barY0);
        // Digits stand about two thirds of the text size above the baseline: centred on
        // the tick.
        l.labelY[k] = l.tickY[k] - static_cast<float>(COLOR_BAR_TEXT_SIZE) / 3.0f;
    }
    return l;
}

float colorBarTickValue(float min, float max, int k) {
    const double f = static_cast<double>(k) / (COLOR_BAR_TICKS - 1);
    return static_cast<float>(min + f * (static_cast<double>(max) - min));
}

std::vector<std::string> colorBarLabels(float min, float max) {
    std::vector<std::string> labels;
    for (int k = 0; k < COLOR_BAR_TICKS; ++k)
        labels.push_back(toString(colorBarTickValue(min, max, k), 2));
    return labels;
}

}  // namespace internal
