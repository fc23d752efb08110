#pragma once
// The record behind zv::Image: one shared pointer to the image, shared by all copies.

#include <memory>

#include "image/image_impl.hpp"

namespace internal {

class _Image {
public:
    _Image(unsigned width, unsigned height, zv::ColorMode format, zv::ZVType type)
        : mImage(std::make_shared<image_impl>(width, height, format, type)) {}
    _Image(const _Image&) = default;
    _Image& operator=(const _Image&) = default;

    const std::shared_ptr<image_impl>& impl() const { return mImage; }

private:
    std::shared_ptr<image_impl> mImage;
};

}  // namespace internal
