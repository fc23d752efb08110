#pragma once
/// @file zarvo/style.h
/// zv::Style: how charts and cells read — colours, font sizes, ticks, grid lines and where
/// titles and the legend go — and the two ready themes, light() and dark().

#include "zarvo/defines.h"

namespace zv {

/// How a chart chooses its tick values.
enum TickRule : int {
    /// The chart's own choice: its nine evenly spaced ticks, or round ticks after
    /// setNiceTicks(true).
    ZV_TICKS_CHART = 0,
    /// Round values (1, 2 or 5 times a power of ten) on both axes, whatever the chart's
    /// setNiceTicks() says; a logarithmic axis keeps its decades.
    ZV_TICKS_ROUND = 1
};

/// Where axis titles and the chart's title go.
enum TitlePlacement : int {
    /// Inside the frame, as charts always drew them: the x title over the bottom of the data,
    /// the y title stacked one character a line down the left edge. No chart title is shown.
    ZV_TITLES_INSIDE = 0,
    /// Outside the frame, which shrinks to make room: the x title centred below the tick
    /// labels, the y title turned to read bottom to top left of the tick labels, the chart's
    /// title centred above. Text is laid out in the drawing area's own pixels, and a text
    /// too long for its room is written smaller rather than cut or over the data. In a grid
    /// the caption gets a band of its own above the cell's drawing area.
    ZV_TITLES_OUTSIDE = 1
};

/// Where a chart's legend goes.
enum LegendPlacement : int {
    ZV_LEGEND_AT_CHART_CORNER = 0,  ///< the chart's own setLegendCorner() (top right by default)
    ZV_LEGEND_AT_TOP_RIGHT = 1,     ///< inside the frame, top-right corner
    ZV_LEGEND_AT_TOP_LEFT = 2,      ///< inside the frame, top-left corner
    ZV_LEGEND_AT_BOTTOM_LEFT = 3,   ///< inside the frame, bottom-left corner
    ZV_LEGEND_AT_BOTTOM_RIGHT = 4,  ///< inside the frame, bottom-right corner
    /// Right of the frame, top aligned: the frame shrinks by the legend's width so that the
    /// legend covers no data. Where that would leave the frame less than half its width
    /// (a narrow cell, long labels), the legend goes back into the frame's top-right corner.
    /// Laid out in the drawing area's own pixels, as with titles outside.
    ZV_LEGEND_OUTSIDE_RIGHT = 5
};

/// How charts and grid cells look. A plain value: set it on a window (every draw of the
/// window takes it), on a zv::Chart, or on a series drawn alone (zv::Series::setStyle), which
/// then keeps its own whatever the window's, its background filling its drawing area. A
/// default-constructed Style is the library's own look, picture for picture: black
/// background, white frame, ticks and labels, red captions, labels at 15 pixels. An image's
/// colour bar takes the window's foreground for its ticks and labels.
///
/// A style reaches a draw through the window or the object, never through OpenGL state: a
/// style set between two frames applies from the next draw on.
///
/// The setters that take a style raise zv::ArgumentError (argument 1) for a font size
/// outside 6 .. 64, a line width outside 1 .. 64 and an enumeration value outside its list,
/// and change nothing then.
///
/// Colours are 0xRRGGBBAA. The grid lines and the legend's box blend over what is under them
/// at their alpha; the background is opaque (its alpha is ignored), and the other colours are
/// meant opaque.
struct ZV_API Style {
    Color background = 0x000000FF;  ///< what the window (or a cell) is cleared to
    Color foreground = 0xFFFFFFFF;  ///< frame, ticks, tick labels, titles, legend labels
    Color caption = 0xFF0000FF;     ///< grid cell captions
    Color grid = 0xFFFFFF40;        ///< grid lines, when gridLines is on
    Color legendBox = 0x141414BF;   ///< the legend's box, drawn over the data
    /// Font sizes in pixels, each 6 .. 64. With titles outside the frame its margins follow
    /// the tick label size; inside, they keep the frame's own (68 pixels left, 32 below),
    /// and a y label too wide for them is written smaller.
    int tickLabelSize = 15;
    int titleSize = 15;    ///< axis titles and the chart title
    int captionSize = 16;  ///< grid cell captions
    TickRule ticks = ZV_TICKS_CHART;
    /// Thin lines across the frame at every major tick, under the data.
    bool gridLines = false;
    /// Short ticks halfway between the major ticks, on both axes.
    bool minorTicks = false;
    TitlePlacement titles = ZV_TITLES_INSIDE;
    LegendPlacement legend = ZV_LEGEND_AT_CHART_CORNER;
    /// Width in pixels of a plot's line when the plot never had setLineWidth() called
    /// (1 .. 64).
    float lineWidth = 1.0f;

    /// White background, dark grey frame and text, light grey grid lines, round ticks,
    /// titles outside the frame, legend right of the frame, dark grey captions, 1.5-pixel
    /// lines.
    static Style light();
    /// Near-black background, light grey frame and text, dim grid lines, round ticks, titles
    /// outside the frame, legend right of the frame, light captions, 1.5-pixel lines.
    static Style dark();
};

}  // namespace zv
