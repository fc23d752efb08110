#pragma once
// A chart of several series: one chart frame (limits, ticks, labels, titles) with any number
// of plots and histograms of its share group drawn inside it through the frame's limits, in
// the order they were added, and a legend of the labelled ones.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "chart/chart_impl.hpp"
#include "histogram/hist_impl.hpp"
#include "multichart/legend_layout.hpp"
#include "plot/plot_impl.hpp"
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

    // Adds a series at the end (drawn last, listed last), sharing its ownership. A label
    // that is null or empty leaves the series out of the legend. A series without a colour
    // of its own gets the next colour of the cycle, which then stays its own. A series
    // already in the chart keeps its place and takes the new label. Raises
    // zv::ArgumentError (argument 1) when the series belongs to another share group.
    void add(const std::shared_ptr<plot_impl>& plot, const char* label);
    void add(const std::shared_ptr<hist_impl>& histogram, const char* label);
    // Takes the series out; false when it was not in the chart.
    bool remove(const AbstractChart2D* series);
    size_t count() const { return mSeries.size(); }
    // Number of series with a label: the legend's entries.
    size_t labelled() const;

    // Sets the limits to cover every series (see fitSeries): the union of the plots'
    // ranges plus a margin, and y from 0 to the tallest bar for histograms; computed on the
    // GPU from the series' buffers, a few numbers read back per series. Nothing finite
    // leaves the limits, and so does a logarithmic axis whose fit reaches zero or below.
    // Makes a window of the chart's group current for the moment when needed; raises
    // zv::ArgumentError when the group has no window left.
    void fitAxesToData() override;
    // Every draw fits from reductions started two draws earlier, once every series has
    // one ready, so no frame waits for the GPU.
    void setAutoFit(bool on) override;
    bool autoFit() const override { return mAutoFit; }

    void setLegendCorner(zv::LegendCorner corner);
    zv::LegendCorner legendCorner() const { return mCorner; }

    // The series clipped to the frame, then the frame, then the legend over both. The
    // scissor test is off afterwards.
    void render(const DrawContext& draw) override;

private:
    struct Series {
        std::shared_ptr<plot_impl> plot;  // one of the two is set
        std::shared_ptr<hist_impl> hist;
        std::string label;
        float labelWidth = 0.0f;  // pixels at the legend's text size
        // The chart's own reductions of the series' data, made on the first fit: a series
        // drawn elsewhere too keeps its own ring of reductions in step with its own draws.
        std::unique_ptr<DataRange> range;
        const AbstractChart2D* key() const {
            return plot ? static_cast<const AbstractChart2D*>(plot.get()) : hist.get();
        }
    };
    // What adding a plot or a histogram shares: the share-group check (`kind` names the
    // object in the advice), the label, the cycle colour unless one was set, and the
    // relabelling of a series added again.
    void addSeries(Series series, const std::shared_ptr<ShareGroup>& objectGroup,
                   const char* kind, const char* label, bool colorSet);
    static DataRange& rangeOf(Series& s);
    void applyFit(const SeriesBounds& b);
    void renderLegend(const FrameDraw& frame);
    // Fills the rectangle (pixels of the frame's viewport) with the frame's border program,
    // which the caller has in use with the frame's vertex array bound.
    void fillRect(const FrameDraw& frame, const PixelRect& r, const float color[4]);

    std::vector<Series> mSeries;
    size_t mCycleNext = 0;
    zv::LegendCorner mCorner = zv::ZV_LEGEND_TOP_RIGHT;
    LegendMetrics mLegend;
    bool mAutoFit = false;
};

}  // namespace internal
