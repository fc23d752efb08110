#pragma once
// The record behind zv::Histogram: one shared pointer to the histogram.

#include <memory>

#include "histogram/hist_impl.hpp"

namespace internal {

class _Histogram {
public:
    _Histogram(unsigned nbins, zv::ZVType dataType)
        : mHistogram(std::make_shared<hist_impl>(nbins, dataType)) {}
    _Histogram(const _Histogram&) = default;
    _Histogram& operator=(const _Histogram&) = default;

    const std::shared_ptr<hist_impl>& impl() const { return mHistogram; }

private:
    std::shared_ptr<hist_impl> mHistogram;
};

}  // namespace internal
