#pragma once
// The record behind zv::Chart: one shared pointer to the chart of series.

#include <memory>

#include "multichart/multichart_impl.hpp"

namespace internal {

class _Chart {
public:
    _Chart() : mChart(std::make_shared<multichart_impl>()) {}
    _Chart(const _Chart&) = default;
    _Chart& operator=(const _Chart&) = default;

    const std::shared_ptr<multichart_impl>& impl() const { return mChart; }

private:
    std::shared_ptr<multichart_impl> mChart;
};

}  // namespace internal
