#pragma once
// Layout of a chart's legend and its colour cycle, apart from any OpenGL call: where the box,
// the swatches, the markers and the labels of the entries go, in pixels of the viewport the
// chart is drawn into (origin at its lower-left corner, y up).

#include <cstddef>

#include "zarvo/defines.h"

namespace internal {

// The colours a chart gives, in turn, to series added without a colour of their own: the
// Okabe-Ito set, which readers with any common colour-vision deficiency tell apart, its black
// replaced by a light grey that shows on the black background. 0xRRGGBBAA.
constexpr size_t SERIES_CYCLE_LENGTH = 8;
zv::Color seriesCycleColor(size_t index);  // index taken modulo the cycle's length

// Fixed sizes of a legend, in pixels.
struct LegendMetrics {
    float inset = 8.0f;        // from the frame's corner to the box
    float padding = 6.0f;      // inside the box, around the entries
    float rowHeight = 20.0f;   // one entry
    float swatchWidth = 24.0f; // the line or bar swatch
    float gap = 6.0f;          // swatch to label
    float lineHeight = 2.0f;   // thickness of a line swatch
    float barSize = 12.0f;     // side of a bar swatch
    int textSize = 15;         // label size, in pixels
};

struct PixelRect {
    float x0, y0, x1, y1;
};

// The box of `entries` entries whose widest label is labelWidth pixels, in the given corner
// of the frame (x0, y0)-(x1, y1). No entries: an empty rectangle.
PixelRect legendBox(const PixelRect& frame, zv::LegendCorner corner, size_t entries,
                    float labelWidth, const LegendMetrics& m = LegendMetrics());

// The box right of the frame, its top level with the frame's top (a legend placed outside).
PixelRect legendBoxOutside(const PixelRect& frame, size_t entries, float labelWidth,
                           const LegendMetrics& m = LegendMetrics());
// The width of that box plus the inset between it and the frame: the room it takes.
float legendRoom(float labelWidth, const LegendMetrics& m = LegendMetrics());

// Entry k of a box, counted from the top.
struct LegendEntry {
    PixelRect line;    // the line swatch
    PixelRect bar;     // the bar swatch
    float markerX, markerY;  // centre of the marker
    float textX, textY;      // pen position of the label (baseline)
};
LegendEntry legendEntry(const PixelRect& box, size_t k, const LegendMetrics& m = LegendMetrics());

}  // namespace internal
