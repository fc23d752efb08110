#pragma once
// The record behind zv::Chart: the chart of series its handles share.

#include <memory>

#include "gl/record.hpp"

#include "multichart/multichart_impl.hpp"

namespace internal {

class _Chart : public Record<multichart_impl> {
public:
    _Chart()
        : Record("zv::Chart", (requireLibraryContext("Chart constructor", "a chart"),
                               std::make_shared<multichart_impl>())) {}
};

}  // namespace internal
