#pragma once
// The record behind zv::Histogram: the histogram its handles share.

#include <memory>

#include "gl/record.hpp"

#include "histogram/hist_impl.hpp"

namespace internal {

class _Histogram : public Record<hist_impl> {
public:
    _Histogram(unsigned nbins, zv::ZVType dataType)
        : Record("zv::Histogram", (requireLibraryContext("Histogram constructor", "a histogram"),
                                   std::make_shared<hist_impl>(nbins, dataType))) {}
};

}  // namespace internal
