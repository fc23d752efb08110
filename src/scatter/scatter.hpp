#pragma once
// The record behind zv::Scatter: the scatter its handles share.

#include <memory>

#include "gl/record.hpp"

#include "scatter/scatter_impl.hpp"

namespace internal {

class _Scatter : public Record<mapped_scatter_impl> {
public:
  _Scatter(unsigned numPoints, zv::ZVType dataType, int markerType, bool sizes)
      : Record("zv::Scatter", (requireLibraryContext("Scatter constructor", "a scatter"),
                               std::make_shared<mapped_scatter_impl>(numPoints, dataType, markerType,
                                                              sizes))) {}
};

} // namespace internal
