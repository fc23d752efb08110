#pragma once
// The record behind zv::Font: one shared pointer to the font engine.

#include <memory>

#include "font/font_impl.hpp"

namespace internal {

class _Font {
public:
    _Font() : mFont(std::make_shared<font_impl>()) {}
    _Font(const _Font&) = default;
    _Font& operator=(const _Font&) = default;
    const std::shared_ptr<font_impl>& impl() const { return mFont; }

private:
    std::shared_ptr<font_impl> mFont;
};

}  // namespace internal
