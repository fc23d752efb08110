#pragma once
// The record behind zv::Plot: one shared pointer to the line or scatter plot.

#include <memory>

#include "gl/context.hpp"

#include "plot/plot_impl.hpp"
#include "zarvo/defines.h"

namespace internal {

class _Plot {
public:
    // A scatter_impl for ZV_PLOT_SCATTER, a plot_impl for every other plot type.
    _Plot(unsigned numPoints, zv::ZVType dataType, zv::ZVPlotType plotType,
          zv::ZVMarkerType markerType, const zv::DataLayout& layout)
        : mPlot((requireLibraryContext("Plot constructor", "a plot"),
                 create(numPoints, dataType, plotType, static_cast<int>(markerType), layout))) {}
    _Plot(const _Plot&) = default;
    _Plot& operator=(const _Plot&) = default;

    // Every public call reaches the object through here, from the drawing thread only.
    const std::shared_ptr<plot_impl>& impl() const {
        requireDrawingThread("zv::Plot");
        return mPlot;
    }

private:
    static std::shared_ptr<plot_impl> create(unsigned numPoints, zv::ZVType dataType,
                                             zv::ZVPlotType plotType, int markerType,
                                             const zv::DataLayout& layout) {
        if (plotType == zv::ZV_PLOT_SCATTER)
            return std::make_shared<scatter_impl>(numPoints, dataType, markerType, layout);
        return std::make_shared<plot_impl>(numPoints, dataType, markerType, layout);
    }

    std::shared_ptr<plot_impl> mPlot;
};

}  // namespace internal
