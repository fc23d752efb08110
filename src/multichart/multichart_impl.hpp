#pragma once
// A chart of several series: one chart frame (limits, ticks, labels, titles) with any number
// of plots and histograms of its share group drawn inside it through the frame's limits, in
// the order they were added, and a legend of the labelled ones.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "chart/chart_impl.hpp"
#include "chart/legend_layout.hpp"
#include "range/data_range.hpp"
#include "zarvo/defines.h"

namespace internal {

class multichart_impl : public AbstractChart2D {
public:
    // An empty chart with limits 0 to 1. A window of the share group the chart will be
    // drawn in must be current; raises what the chart frame raises.
    multichart_impl();
    ~multichart_impl() override = default;

    // The chart owns no data buffer of its own.
    GLuint vbo() const override { return 0; }
    size_t size() const override { return 0; }

    // Adds a series of any kind at the end (drawn last, listed last), sharing its
    // ownership. A label that is null or empty leaves the series out of the legend. A series
    // without a colour of its own gets the next colour of the cycle, which then stays its
    // own. A series already in the chart keeps its place and takes the new label. Raises
    // zv::ArgumentError (argument 1) when the series belongs to another share group, or is
    // no series at all (a chart of several).
    void add(const std::shared_ptr<AbstractChart2D>& object, const char* label);
    // Takes the series out; false when it was not in the chart.
    bool remove(const AbstractChart2D* series);
    size_t count() const { return series().size(); }
    // Number of series with a label: the legend's entries.
    size_t labelled() const;

    // The fit (see AbstractChart2D::fitAxesToData) takes the union of the plots' ranges
    // plus a margin, and y from 0 to above the tallest bar for histograms (see fitSeries);
    // a logarithmic axis takes its margin as a factor, and keeps its limits when its data
    // reach zero or below.

    void setLegendCorner(zv::LegendCorner corner);
    zv::LegendCorner legendCorner() const { return mCorner; }

protected:
    const char* fitLabel() const override { return "Chart::fitAxesToData"; }
    // The legend of the labelled series, over the frame.
    void drawOverlays(const FrameDraw& frame) override;
    // A legend placed outside takes the room of its box right of the frame, unless that
    // leaves the frame less than half the width it would have.
    int outsideRight(int frameWidth) const override;

private:
    // Fills the rectangle (pixels of the frame's viewport) with the frame's border program,
    // which the caller has in use with the frame's vertex array bound.
    void fillRect(const FrameDraw& frame, const PixelRect& r, const float color[4]);
    // Entries of the legend and the widest label (pixels).
    size_t legendEntries(float& widest) const;

    size_t mCycleNext = 0;
    zv::LegendCorner mCorner = zv::ZV_LEGEND_TOP_RIGHT;
    LegendMetrics mLegend;
};

}  // namespace internal
