#pragma once
// The record behind zv::Plot: the line or scatter plot its handles share.

#include <memory>

#include "gl/record.hpp"

#include "plot/plot_impl.hpp"
#include "zarvo/defines.h"

namespace internal {

class _Plot : public Record<plot_impl> {
public:
    // A scatter_impl for ZV_PLOT_SCATTER, a plot_impl for every other plot type.
    _Plot(unsigned numPoints, zv::ZVType dataType, zv::ZVPlotType plotType,
          zv::ZVMarkerType markerType, const zv::DataLayout& layout)
        : Record("zv::Plot",
                 (requireLibraryContext("Plot constructor", "a plot"),
                  create(numPoints, dataType, plotType, static_cast<int>(markerType), layout))) {}

private:
    static std::shared_ptr<plot_impl> create(unsigned numPoints, zv::ZVType dataType,
                                             zv::ZVPlotType plotType, int markerType,
                                             const zv::DataLayout& layout) {
        if (plotType == zv::ZV_PLOT_SCATTER)
            return std::make_shared<scatter_impl>(numPoints, dataType, markerType, layout);
        return std::make_shared<plot_impl>(numPoints, dataType, markerType, layout);
    }
};

}  // namespace internal
