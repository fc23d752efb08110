#pragma once
// The record behind zv::Chart: one shared pointer to the chart of series.

#include <memory>

#include "gl/context.hpp"

#include "multichart/multichart_impl.hpp"

namespace internal {

class _Chart {
public:
    _Chart()
        : mChart((requireLibraryContext("Chart constructor", "a chart"),
                  std::make_shared<multichart_impl>())) {}
    _Chart(const _Chart&) = default;
    _Chart& operator=(const _Chart&) = default;

    // Every public call reaches the object through here, from the drawing thread only.
    const std::shared_ptr<multichart_impl>& impl() const {
        requireDrawingThread("zv::Chart");
        return mChart;
    }

private:
    std::shared_ptr<multichart_impl> mChart;
};

}  // namespace internal
