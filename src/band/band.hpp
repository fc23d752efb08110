#pragma once
// The record behind zv::Band: the band its handles share.

#include <memory>

#include "gl/record.hpp"

#include "band/band_impl.hpp"

namespace internal {

class _Band : public Record<band_impl> {
public:
  _Band(unsigned numPoints, zv::ZVType dataType, int edges)
      : Record("zv::Band", (requireLibraryContext("Band constructor", "a band"),
                            std::make_shared<band_impl>(numPoints, dataType, edges))) {}
};

} // namespace internal
