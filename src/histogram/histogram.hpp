#pragma once
// The record behind zv::Histogram: one shared pointer to the histogram.

#include <memory>

#include "gl/context.hpp"

#include "histogram/hist_impl.hpp"

namespace internal {

class _Histogram {
public:
    _Histogram(unsigned nbins, zv::ZVType dataType)
        : mHistogram((requireLibraryContext("Histogram constructor", "a histogram"),
                      std::make_shared<hist_impl>(nbins, dataType))) {}
    _Histogram(const _Histogram&) = default;
    _Histogram& operator=(const _Histogram&) = default;

    // Every public call reaches the object through here, from the drawing thread only.
    const std::shared_ptr<hist_impl>& impl() const {
        requireDrawingThread("zv::Histogram");
        return mHistogram;
    }

private:
    std::shared_ptr<hist_impl> mHistogram;
};

}  // namespace internal
