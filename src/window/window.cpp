#include "zarvo/window.h"

#include "zarvo/chart.h"
#include "zarvo/font.h"
#include "zarvo/image.h"
#include "zarvo/series.h"

#include <utility>

#include "exception/raise.hpp"
#include "font/font.hpp"
#include "chart/chart_impl.hpp"
#include "image/image.hpp"
#include "multichart/chart.hpp"
#include "window/snapshot.hpp"
#include "window/window.hpp"

namespace zv {

namespace {
// What the window core draws of a public object: the object its handles share.
template <class Handle>
std::shared_ptr<internal::AbstractRenderable> drawable(const Handle& object) {
    return object.get()->impl();
}
}  // namespace

Window::Window(int width, int height, const char* title, const WindowOptions& options)
    : mValue(std::make_shared<internal::_Window>(
          width, height, title, options.parent ? options.parent->get() : nullptr, options.invisible,
          static_cast<int>(options.system), options.eglDevice)) {}

Window::Window(int width, int height, const char* title, const Window* parent, bool invisible)
    : mValue(std::make_shared<internal::_Window>(width, height, title,
                                                 parent ? parent->get() : nullptr, invisible)) {}

void Window::setFont(Font* font) {
    if (!font) ZV_FAIL(NullFont, "Window::setFont");
    mValue->impl()->setFont(font->get()->impl());
}
void Window::setTitle(const char* title) { mValue->impl()->setTitle(title); }
void Window::setPos(int x, int y) { mValue->impl()->setPos(x, y); }
void Window::setSize(unsigned width, unsigned height) { mValue->impl()->setSize(width, height); }
void Window::setColorMap(ColorMap map) { mValue->impl()->setColorMap(map); }
void Window::setStyle(const Style& style) { mValue->impl()->setStyle(style); }
Style Window::style() const { return mValue->impl()->style(); }
// Kept for callers that ask; the library hands out no native handles.
void* Window::context() const { return nullptr; }
void* Window::display() const { return nullptr; }
int Window::width() const { return mValue->impl()->width(); }
int Window::height() const { return mValue->impl()->height(); }
void Window::hide() { mValue->impl()->hide(); }
void Window::show() { mValue->impl()->show(); }
bool Window::close() { return mValue->impl()->close(); }
void Window::makeCurrent() { internal::MakeContextCurrent(mValue->impl().get()); }
void Window::grid(int rows, int columns) { mValue->impl()->grid(rows, columns); }
void Window::draw() { mValue->impl()->draw(); }
bool Window::headless() const { return mValue->impl()->headless(); }

// The draws of every kind of object, here with the window they draw in.
void Window::draw(const Series& series) { mValue->impl()->draw(series.chartObject()); }

void Window::draw(int column, int row, const Series& series, const char* title) {
    mValue->impl()->draw(column, row, series.chartObject(), title);
}

void Window::draw(const Chart& chart) { mValue->impl()->draw(drawable(chart)); }

void Window::draw(int column, int row, const Chart& chart, const char* title) {
    mValue->impl()->draw(column, row, drawable(chart), title);
}

// The aspect flag is kept by the image, so it holds for its later draws in any
// window.
void Window::draw(const Image& image, bool keepAspectRatio, bool colorBar) {
    const std::shared_ptr<internal::image_impl>& img = image.get()->impl();
    img->keepAspectRatio(keepAspectRatio);
    img->showColorBar(colorBar);
    mValue->impl()->draw(img);
}

void Window::draw(int column, int row, const Image& image, const char* title, bool keepAspectRatio,
                  bool colorBar) {
    const std::shared_ptr<internal::image_impl>& img = image.get()->impl();
    img->keepAspectRatio(keepAspectRatio);
    img->showColorBar(colorBar);
    mValue->impl()->draw(column, row, img, title);
}

Snapshot Window::snapshot() { return mValue->impl()->snapshot(); }
Size Window::framebufferSize() const { return mValue->impl()->framebufferSize(); }
void Window::setKeyCallback(KeyCallback callback) {
    mValue->impl()->callbacks().key = internal::WindowCallbacks::hold(std::move(callback));
}
void Window::setMouseButtonCallback(MouseButtonCallback callback) {
    mValue->impl()->callbacks().mouseButton = internal::WindowCallbacks::hold(std::move(callback));
}
void Window::setCursorCallback(CursorCallback callback) {
    mValue->impl()->callbacks().cursor = internal::WindowCallbacks::hold(std::move(callback));
}
void Window::setScrollCallback(ScrollCallback callback) {
    mValue->impl()->callbacks().scroll = internal::WindowCallbacks::hold(std::move(callback));
}
void Window::setResizeCallback(ResizeCallback callback) {
    mValue->impl()->callbacks().resize = internal::WindowCallbacks::hold(std::move(callback));
}
void Window::setInteractive(bool on) { mValue->impl()->setInteractive(on); }
bool Window::interactive() const { return mValue->impl()->interactive(); }
void Window::setReadout(bool on) { mValue->impl()->setReadout(on); }
bool Window::readout() const { return mValue->impl()->readout(); }
void Window::saveSnapshot(const std::string& path) {
    internal::writePNG(mValue->impl()->snapshot(), path);
}

}  // namespace zv

namespace internal {

wtk::System _Window::checkedSystem(int system) {
    switch (system) {
        case zv::ZV_WINDOW_AUTOMATIC:
            return wtk::System::AUTOMATIC;
        case zv::ZV_WINDOW_X11:
            return wtk::System::X11;
        case zv::ZV_WINDOW_HEADLESS:
            return wtk::System::HEADLESS;
        default:
            ZV_FAIL(WindowSystem, "Window constructor");
    }
}

}  // namespace internal
