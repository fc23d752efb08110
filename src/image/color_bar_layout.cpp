#include "image/color_bar_layout.hpp"

#include <algorithm>

#include "chart/axis_ticks.hpp"
#include "common/common.hpp"

namespace internal {

ColorBarLayout colorBarLayout(int width, int height, float titleWidth) {
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
    if (titleWidth >= 0.0f) {
        // A line above the bar: the top label's digits end well below the title's
        // descenders, and its letters stay a few pixels inside the area's top.
        l.titled = true;
        l.barY1 -= COLOR_BAR_TITLE_LINE;
        l.titleY = static_cast<float>(height) - COLOR_BAR_TITLE_LINE + 4.0f;
        const float stripLeft = static_cast<float>(l.imageWidth) + 2.0f;
        l.titleX = std::max(stripLeft, std::min(l.barX0, static_cast<float>(width) - 2.0f - titleWidth));
    }
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
    // The frame's even ticks and the bar label their values alike: two decimals where they
    // name each tick truly, else the shortest format that does.
    std::vector<double> values;
    std::vector<std::string> twoDecimals;
    for (int k = 0; k < COLOR_BAR_TICKS; ++k) {
        const double f = static_cast<double>(k) / (COLOR_BAR_TICKS - 1);
        values.push_back(min + f * (static_cast<double>(max) - min));
        twoDecimals.push_back(toString(colorBarTickValue(min, max, k), 2));
    }
    const double step = (static_cast<double>(max) - min) / (COLOR_BAR_TICKS - 1);
    return evenLabels(values, step, twoDecimals);
}

}  // namespace internal
