#include "common/style.hpp"

#include <cmath>
#include <string>

#include "exception/raise.hpp"

namespace zv {

Style Style::light() {
    Style s;
    s.background = 0xFFFFFFFF;
    s.foreground = 0x262626FF;
    s.caption = 0x262626FF;
    s.grid = 0xB0B0B080;
    s.legendBox = 0xFFFFFFD9;
    s.ticks = ZV_TICKS_ROUND;
    s.gridLines = true;
    s.minorTicks = true;
    s.titles = ZV_TITLES_OUTSIDE;
    s.legend = ZV_LEGEND_OUTSIDE_RIGHT;
    s.lineWidth = 1.5f;
    return s;
}

Style Style::dark() {
    Style s;
    s.background = 0x121212FF;
    s.foreground = 0xD8D8D8FF;
    s.caption = 0xE8E8E8FF;
    s.grid = 0xFFFFFF26;
    s.legendBox = 0x1E1E1ED9;
    s.ticks = ZV_TICKS_ROUND;
    s.gridLines = true;
    s.minorTicks = true;
    s.titles = ZV_TITLES_OUTSIDE;
    s.legend = ZV_LEGEND_OUTSIDE_RIGHT;
    s.lineWidth = 1.5f;
    return s;
}

}  // namespace zv

namespace internal {

void checkStyle(const zv::Style& s, const char* label) {
    const int sizes[3] = {s.tickLabelSize, s.titleSize, s.captionSize};
    const char* names[3] = {"tickLabelSize", "titleSize", "captionSize"};
    for (int i = 0; i < 3; ++i) {
        if (sizes[i] < 6 || sizes[i] > 64) {
            ZV_FAIL(StyleTextSize, label, names[i], sizes[i]);
        }
    }
    if (!(s.lineWidth >= 1.0f && s.lineWidth <= 64.0f))
        ZV_FAIL(StyleLineWidth, label);
    if (s.ticks != zv::ZV_TICKS_CHART && s.ticks != zv::ZV_TICKS_ROUND)
        ZV_FAIL(StyleTicks, label);
    if (s.titles != zv::ZV_TITLES_INSIDE && s.titles != zv::ZV_TITLES_OUTSIDE)
        ZV_FAIL(StyleTitles, label);
    if (s.legend < zv::ZV_LEGEND_AT_CHART_CORNER || s.legend > zv::ZV_LEGEND_OUTSIDE_RIGHT) {
        ZV_FAIL(StyleLegend, label);
    }
}

bool sameStyle(const zv::Style& a, const zv::Style& b) {
    return a.background == b.background && a.foreground == b.foreground &&
           a.caption == b.caption && a.grid == b.grid && a.legendBox == b.legendBox &&
           a.tickLabelSize == b.tickLabelSize && a.titleSize == b.titleSize &&
           a.captionSize == b.captionSize && a.ticks == b.ticks && a.gridLines == b.gridLines &&
           a.minorTicks == b.minorTicks && a.titles == b.titles && a.legend == b.legend &&
           a.lineWidth == b.lineWidth;
}

void colorToFloats(zv::Color c, float out[4]) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<float>((c >> (24 - 8 * i)) & 0xFFu) / 255.0f;
}

const zv::Style& defaultStyle() {
    static const zv::Style style;
    return style;
}

}  // namespace internal
