#pragma once
// The record behind zv::Font: one shared pointer to the font engine.

#include <memory>

#include "gl/context.hpp"

#include "font/font_impl.hpp"

namespace internal {

class _Font {
public:
    _Font()
        : mFont((requireLibraryContext("Font constructor", "a font"),
                 std::make_shared<font_impl>())) {}
    _Font(const _Font&) = default;
    _Font& operator=(const _Font&) = default;
    // Every public call reaches the object through here, from the drawing thread only.
    const std::shared_ptr<font_impl>& impl() const {
        requireDrawingThread("zv::Font");
        return mFont;
    }

private:
    std::shared_ptr<font_impl> mFont;
};

}  // namespace internal
