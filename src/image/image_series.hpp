#pragma once
// The record behind zv::ImageSeries: the image series its handles share.

#include <memory>

#include "gl/record.hpp"

#include "image/image_series_impl.hpp"

namespace internal {

class _ImageSeries : public Record<image_series_impl> {
public:
    explicit _ImageSeries(std::shared_ptr<image_impl> image)
        : Record("zv::ImageSeries",
                 (requireLibraryContext("ImageSeries constructor", "an image series"),
                  std::make_shared<image_series_impl>(
                      image_series_impl::accept(std::move(image))))) {}
};

}  // namespace internal
