#pragma once
// The record behind zv::Image: the image its handles share.

#include <memory>

#include "gl/record.hpp"

#include "image/image_impl.hpp"

namespace internal {

class _Image : public Record<image_impl> {
public:
    _Image(unsigned width, unsigned height, zv::ColorMode format, zv::ZVType type)
        : Record("zv::Image", (requireLibraryContext("Image constructor", "an image"),
                               std::make_shared<image_impl>(width, height, format, type))) {}
};

}  // namespace internal
