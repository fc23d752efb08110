#include "zarvo/image.h"

#include "zarvo/window.h"

#include "image/image.hpp"
#include "window/window.hpp"

namespace zv {

Image::Image(unsigned width, unsigned height, ColorMode format, ZVType type)
    : mValue(new internal::_Image(width, height, format, type)) {}

Image::Image(const Image& other) : mValue(new internal::_Image(*other.mValue)) {}

Image& Image::operator=(const Image& other) {
    *mValue = *other.mValue;
    return *this;
}

Image::~Image() { delete mValue; }

void Image::setValueRange(float min, float max) { mValue->impl()->setValueRange(min, max); }
float Image::valueMin() const { return mValue->impl()->valueMin(); }
float Image::valueMax() const { return mValue->impl()->valueMax(); }
unsigned Image::width() const { return mValue->impl()->width(); }
unsigned Image::height() const { return mValue->impl()->height(); }
ColorMode Image::pixelFormat() const { return mValue->impl()->pixelFormat(); }
ZVType Image::channelType() const { return mValue->impl()->channelType(); }
unsigned Image::pbo() const { return mValue->impl()->pbo(); }
unsigned Image::size() const { return mValue->impl()->size(); }

// The aspect flag is kept by the image, so it holds for its later draws in any window.
void Window::draw(const Image& image, bool keepAspectRatio, bool colorBar) {
    const std::shared_ptr<internal::image_impl>& img = image.get()->impl();
    img->keepAspectRatio(keepAspectRatio);
    img->showColorBar(colorBar);
    mValue->get()->draw(img);
}

void Window::draw(int column, int row, const Image& image, const char* title,
                  bool keepAspectRatio, bool colorBar) {
    mValue->draw(column, row, image.get(), title, keepAspectRatio, colorBar);
}

}  // namespace zv

namespace internal {

void _Window::draw(int column, int row, _Image* image, const char* title, bool keepAspectRatio,
                   bool colorBar) {
    image->impl()->keepAspectRatio(keepAspectRatio);
    image->impl()->showColorBar(colorBar);
    mWindow->draw(column, row, image->impl(), title);
}

}  // namespace internal
