#pragma once
// The record behind zv::Bars: the bars their handles share.

#include <memory>

#include "gl/record.hpp"

#include "bars/bars_impl.hpp"

namespace internal {

class _Bars : public Record<bars_impl> {
public:
  _Bars(unsigned numCategories, zv::ZVType dataType, int orientation)
      : Record("zv::Bars", (requireLibraryContext("Bars constructor", "bars"),
                            std::make_shared<bars_impl>(numCategories, dataType, orientation))) {}
};

} // namespace internal
