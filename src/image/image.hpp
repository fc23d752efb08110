#pragma once
// The record behind zv::Image: one shared pointer to the image, shared by all copies.

#include <memory>

#include "gl/context.hpp"

#include "image/image_impl.hpp"

namespace internal {

class _Image {
public:
    _Image(unsigned width, unsigned height, zv::ColorMode format, zv::ZVType type)
        : mImage((requireLibraryContext("Image constructor", "an image"),
                  std::make_shared<image_impl>(width, height, format, type))) {}
    _Image(const _Image&) = default;
    _Image& operator=(const _Image&) = default;

    // Every public call reaches the object through here, from the drawing thread only.
    const std::shared_ptr<image_impl>& impl() const {
        requireDrawingThread("zv::Image");
        return mImage;
    }

private:
    std::shared_ptr<image_impl> mImage;
};

}  // namespace internal
