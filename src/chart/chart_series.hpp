#pragma once
// What a kind of series brings to a chart: its data draw, the data a fit reduces and how
// that range enters the fit, and its legend swatch. The chart frame (AbstractChart2D) does
// the rest once for every kind: fit and auto-fit, clipping to the frame, the frame itself,
// overlays and the legend. A plot or a histogram drawn alone is a chart of one series, itself.

#include <optional>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "chart/axis_ticks.hpp"
#include "chart/chart_layout.hpp"
#include "chart/legend_layout.hpp"
#include "common/renderable.hpp"
#include "exception/raise.hpp"
#include "gl/gl.hpp"
#include "range/data_range.hpp"
#include "zarvo/defines.h"

namespace internal {

// One draw of a chart: what the window passed, the frame's layout for its area, and the
// frame's rectangle in the window (the data's scissor box: the layout scaled onto the
// viewport, rounded outward to whole pixels and kept inside it).
struct FrameDraw {
    DrawContext draw;
    ChartLayout layout;
    int viewport[4] = {0, 0, 0, 0};  // draw.viewport: x, y, width, height
    int clip[4] = {0, 0, 0, 0};      // x, y, width, height; empty without a data area
};

// How the chart places data in this draw: each axis' map, the data transform through both
// (see dataTransform) and the chart's ymax, to which bars scale.
struct ChartAxes {
    AxisMap x;
    AxisMap y;
    glm::mat4 data = glm::mat4(1.0f);
    float ymax = 1.0f;
};

// Fills the flat parts of legend swatches: rectangles in pixels of the frame's viewport.
class SwatchPainter {
public:
    virtual void fill(const PixelRect& rect, const float color[4]) = 0;

protected:
    ~SwatchPainter() = default;
};

// The buffer a fit reduces: `count` elements of `components` of `type` (see DataRange);
// for points (components 2), where they lie (`points`) and which are drawn (`window`, whose
// count is `count`).
struct SeriesData {
    GLuint buffer = 0;
    GLenum type = GL_FLOAT;
    int components = 1;
    unsigned count = 0;
    PointSource points;
    PointWindow window;
};

// The data of `points` (x, y) pairs of `type`, tightly packed from the start of `buffer`,
// all of them reduced as one run.
inline SeriesData packedPairs(GLuint buffer, GLenum type, unsigned points) {
    SeriesData d;
    d.buffer = buffer;
    d.type = type;
    d.components = 2;
    d.count = points;
    d.points.buffers[0] = d.points.buffers[1] = buffer;
    d.points.type = type;
    d.points.capacity = points;
    d.window = {0, points};
    return d;
}

// The categories a series of bars stands on: `count` of them, category i centred on the
// value i of the x axis (or of the y axis, `onY`), named names[i] where there is a name.
// `version` changes whenever anything else here does, so that a chart rebuilds its labels
// only then.
struct CategoryAxis {
    std::vector<std::string> names;
    unsigned count = 0;
    bool onY = false;
    unsigned version = 0;
};

class ChartSeries {
public:
    // Draws the data through the chart's axes; the chart has clipped to the frame and draws
    // the frame afterwards, which leaves program 0 and vertex array 0.
    virtual void drawSeries(const FrameDraw& frame, const ChartAxes& axes) = 0;
    virtual SeriesData seriesData() const = 0;
    // Called before the chart reduces seriesData() for a fit, in a window of the series'
    // group (id `windowId`), with the chart's axes: a series whose fit covers more than its
    // points (error bars' extents) writes what the reduction reads here.
    virtual void prepareFit(int windowId, bool xLog, bool yLog) {
        (void)windowId;
        (void)xLog;
        (void)yLog;
    }
    // Adds the range a reduction of seriesData() found to the chart's fit.
    virtual void addBounds(SeriesBounds& bounds, const DataBounds& range) const = 0;
    // The legend: flat swatches first (every entry), then anything drawn with the series'
    // own programs, centred on the clip-space point (x, y) of the frame's viewport.
    virtual void fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const = 0;
    virtual void drawSwatchMarker(const FrameDraw& frame, float x, float y) {
        (void)frame;
        (void)x;
        (void)y;
    }
    // A colour set by the caller stays; a series without one takes the chart's next colour
    // of the cycle, which then stays its own.
    virtual bool colorSet() const = 0;
    virtual void takeCycleColor(zv::Color color) = 0;
    // None for a series that logarithmic axes place right; otherwise the failure (a row whose
    // argument the raise site names, saying why they would not and what to do instead) the
    // chart raises when it is asked for them (a chart made logarithmic with the series in
    // it, or the series added to a logarithmic chart).
    virtual std::optional<ErrorId> logAxesRefusal() const { return std::nullopt; }
    // Pixels at the right of the viewport the series keeps for a drawing of its own beside
    // the frame (an image's colour bar), or 0. The chart takes the strip of the first series
    // that keeps one, lays its frame out in the rest of the viewport, and then calls
    // drawBeside with the whole viewport set again.
    virtual int besideWidth(const DrawContext& draw) {
        (void)draw;
        return 0;
    }
    virtual void drawBeside(const DrawContext& draw) { (void)draw; }
    // The categories whose names the chart's axis shows instead of numbers (the first series
    // of a chart that has some decides), or null.
    virtual const CategoryAxis* categoryAxis() const { return nullptr; }
    // Series that share the width of a category side by side (bars) return a key: series of
    // one key (a stack) take one place, keys take places in the order the chart first meets
    // them. Before each draw the chart tells every such series its place and the number of
    // places; null keys take none.
    virtual const void* groupKey() const { return nullptr; }
    virtual void setGroupPlace(int place, int places) {
        (void)place;
        (void)places;
    }
    virtual int groupPlace() const { return 0; }
    // Brings data the series derives on the GPU from other buffers (the tops of a stack) up
    // to date, before a fit reduces it and before a draw; the window's context is current.
    virtual void prepareData(int windowId) { (void)windowId; }
    // What the public class calls this kind ("plot", "histogram"), for advice in errors.
    virtual const char* seriesKind() const = 0;

protected:
    ~ChartSeries() = default;
};

}  // namespace internal
