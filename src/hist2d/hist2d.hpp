#pragma once
// The record behind zv::Histogram2D: the 2-D histogram its handles share.

#include <memory>

#include "gl/record.hpp"

#include "hist2d/hist2d_impl.hpp"

namespace internal {

class _Histogram2D : public Record<hist2d_impl> {
public:
  _Histogram2D(unsigned npoints, unsigned nx, unsigned ny, zv::ZVType dataType)
      : Record("zv::Histogram2D",
               (requireLibraryContext("Histogram2D constructor", "a 2-D histogram"),
                std::make_shared<hist2d_impl>(npoints, nx, ny, dataType))) {}
};

} // namespace internal
