#pragma once
// The record behind zv::ErrorBars: the series its handles share.

#include <memory>

#include "gl/record.hpp"

#include "error_bars/error_bars_impl.hpp"

namespace internal {

class _ErrorBars : public Record<error_bars_impl> {
public:
  _ErrorBars(unsigned numPoints, zv::ZVType dataType, int yErrors, int xErrors)
      : Record("zv::ErrorBars",
               (requireLibraryContext("ErrorBars constructor", "error bars"),
                std::make_shared<error_bars_impl>(numPoints, dataType, yErrors, xErrors))) {}
};

} // namespace internal
