#pragma once
// Layout of an image's colour bar, apart from OpenGL: the strip it takes at the right of the
// drawing area, the bar, its ticks and labels, in pixels of the viewport (origin at its
// lower-left corner, y up).

#include <string>
#include <vector>

namespace internal {

constexpr int COLOR_BAR_TICKS = 5;     // min, three quarters between, max
constexpr int COLOR_BAR_STRIP = 100;   // pixels the strip takes from the area's width
constexpr int COLOR_BAR_TEXT_SIZE = 15;
constexpr float COLOR_BAR_TITLE_LINE = 20.0f;  // pixels a title takes above the bar

struct ColorBarLayout {
    // False when the area is too small for a strip and an image beside it (narrower than
    // twice the strip or lower than 60 pixels): the image is drawn alone then.
    bool shown = false;
    int imageWidth = 0;  // what is left for the image, from the left edge
    float barX0 = 0, barY0 = 0, barX1 = 0, barY1 = 0;  // min at barY0, max at barY1
    float tickX1 = 0;    // ticks run from the bar's right edge to here
    float labelX = 0;    // pen position of every label
    float tickY[COLOR_BAR_TICKS] = {};   // height of tick k (k = 0 at min)
    float labelY[COLOR_BAR_TICKS] = {};  // baseline of label k
    // With a title: its pen position, on a line of its own above the bar, which is that
    // much shorter. The title starts at the bar's left edge, or further left, down to the
    // strip's, so that it ends inside the area; a title wider than the strip starts there.
    bool titled = false;
    float titleX = 0, titleY = 0;
};
// `titleWidth` is the width of the title in pixels as the font writes it; below 0 (the
// default) there is no title.
ColorBarLayout colorBarLayout(int width, int height, float titleWidth = -1.0f);

// The value at tick k of the range [min, max].
float colorBarTickValue(float min, float max, int k);
// The labels of the range, tick 0 (min) first, as the chart frame labels its even ticks
// (see evenLabels): two decimals ("17.50") where they name every tick truly and tell them
// apart, otherwise the shortest format that does ("2.5e-06", "1.0000005").
std::vector<std::string> colorBarLabels(float min, float max);

}  // namespace internal
