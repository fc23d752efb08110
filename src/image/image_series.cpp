#include "zarvo/image_series.h"

#include "exception/raise.hpp"
#include "image/image.hpp"
#include "image/image_series.hpp"
#include "zarvo/image.h"

namespace zv {

ImageSeries::ImageSeries(const Image& image)
    : mValue(std::make_shared<internal::_ImageSeries>(image.get()->impl())) {}

std::shared_ptr<internal::AbstractChart2D> ImageSeries::chartObject() const {
    return mValue->impl();
}

void ImageSeries::setExtent(float x0, float x1, float y0, float y1) {
    mValue->impl()->setExtent(x0, x1, y0, y1);
}
float ImageSeries::extentX0() const { return mValue->impl()->extent()[0]; }
float ImageSeries::extentX1() const { return mValue->impl()->extent()[1]; }
float ImageSeries::extentY0() const { return mValue->impl()->extent()[2]; }
float ImageSeries::extentY1() const { return mValue->impl()->extent()[3]; }
void ImageSeries::setFilter(ImageFilter filter) {
    const auto& impl = mValue->impl();
    switch (filter) {
        case ZV_FILTER_NEAREST:
        case ZV_FILTER_LINEAR:
            impl->setLinearFilter(filter == ZV_FILTER_LINEAR);
            return;
    }
    ZV_FAIL(ImageSeriesFilter, "ImageSeries::setFilter");
}
ImageFilter ImageSeries::filter() const {
    return mValue->impl()->linearFilter() ? ZV_FILTER_LINEAR : ZV_FILTER_NEAREST;
}
void ImageSeries::setColorBar(bool on) { mValue->impl()->setColorBar(on); }
bool ImageSeries::colorBar() const { return mValue->impl()->colorBar(); }
void ImageSeries::setAxesLimits(float xmax, float xmin, float ymax, float ymin) {
    mValue->impl()->setAxesLimits(xmax, xmin, ymax, ymin, "ImageSeries::setAxesLimits");
}
void ImageSeries::setNiceTicks(bool enabled) { mValue->impl()->setNiceTicks(enabled); }
void ImageSeries::setXAxisTitle(const char* title) { mValue->impl()->setXAxisTitle(title); }
void ImageSeries::setYAxisTitle(const char* title) { mValue->impl()->setYAxisTitle(title); }
float ImageSeries::xmax() const { return mValue->impl()->xmax(); }
float ImageSeries::xmin() const { return mValue->impl()->xmin(); }
float ImageSeries::ymax() const { return mValue->impl()->ymax(); }
float ImageSeries::ymin() const { return mValue->impl()->ymin(); }
void ImageSeries::fitAxesToData() { mValue->impl()->fitAxesToData(); }
void ImageSeries::setAutoFit(bool on) { mValue->impl()->setAutoFit(on); }
bool ImageSeries::autoFit() const { return mValue->impl()->autoFit(); }

}  // namespace zv
