#include "zarvo/image.h"

#include "image/image.hpp"

namespace zv {

Image::Image(unsigned width, unsigned height, ColorMode format, ZVType type)
    : mValue(std::make_shared<internal::_Image>(width, height, format, type)) {}

void Image::setValueRange(float min, float max) { mValue->impl()->setValueRange(min, max); }
void Image::setColorBarTitle(const char* title) { mValue->impl()->setColorBarTitle(title); }
float Image::valueMin() const { return mValue->impl()->valueMin(); }
float Image::valueMax() const { return mValue->impl()->valueMax(); }
unsigned Image::width() const { return mValue->impl()->width(); }
unsigned Image::height() const { return mValue->impl()->height(); }
ColorMode Image::pixelFormat() const { return mValue->impl()->pixelFormat(); }
ZVType Image::channelType() const { return mValue->impl()->channelType(); }
unsigned Image::pbo() const { return mValue->impl()->pbo(); }
unsigned Image::size() const { return mValue->impl()->size(); }

}  // namespace zv
