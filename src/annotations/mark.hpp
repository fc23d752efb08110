#pragma once
// The record behind zv::ReferenceLine, zv::Span and zv::Annotation: the mark their handles
// share.

#include <memory>

#include "gl/record.hpp"

#include "annotations/mark_impl.hpp"

namespace internal {

class _Mark : public Record<mark_impl> {
public:
  _Mark(mark_impl::Kind kind, int axis, float a, float b, const char* label)
      : Record("zv::Mark", (requireLibraryContext(label, "a mark"),
                            std::make_shared<mark_impl>(kind, axis, a, b, label))) {}
};

} // namespace internal
