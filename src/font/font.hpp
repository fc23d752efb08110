#pragma once
// The record behind zv::Font: the font engine its handles share.

#include <memory>

#include "gl/record.hpp"

#include "font/font_impl.hpp"

namespace internal {

class _Font : public Record<font_impl> {
public:
    _Font()
        : Record("zv::Font", (requireLibraryContext("Font constructor", "a font"),
                              std::make_shared<font_impl>())) {}
};

}  // namespace internal
