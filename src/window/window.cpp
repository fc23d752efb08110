#include "zarvo/window.h"

#include "zarvo/chart.h"
#include "zarvo/font.h"
#include "zarvo/histogram.h"
#include "zarvo/image.h"
#include "zarvo/plot.h"

#include <utility>

#include "font/font.hpp"
#include "exception/raise.hpp"
#include "histogram/histogram.hpp"
#include "image/image.hpp"
#include "multichart/chart.hpp"
#include "plot/plot.hpp"
#include "window/snapshot.hpp"
#include "window/window.hpp"

namespace zv {

Window::Window(int width, int height, const char* title, const Window* parent, bool invisible)
    : mValue(new internal::_Window(width, height, title, parent ? parent->get() : nullptr,
                                   invisible)) {}

Window::Window(int width, int height, const char* title, const WindowOptions& options)
    : mValue(new internal::_Window(width, height, title,
                                   options.parent ? options.parent->get() : nullptr,
                                   options.invisible, static_cast<int>(options.system),
                                   options.eglDevice)) {}

Window::Window(const Window& other) : mValue(new internal::_Window(*other.get())) {}

Window& Window::operator=(const Window& other) {
    *mValue = *other.mValue;
    return *this;
}

Window::~Window() { delete mValue; }

void Window::setFont(Font* font) {
    if (!font) ZV_RAISE_ARG("Window::setFont", 1, "pass a zv::Font, not a null pointer");
    mValue->get()->setFont(font->get()->impl());
}
void Window::setTitle(const char* title) { mValue->get()->setTitle(title); }
void Window::setPos(int x, int y) { mValue->get()->setPos(x, y); }
void Window::setSize(unsigned width, unsigned height) { mValue->get()->setSize(width, height); }
void Window::setColorMap(ColorMap map) { mValue->get()->setColorMap(map); }
// Kept for callers that ask; the library hands out no native handles.
void* Window::context() const { return nullptr; }
void* Window::display() const { return nullptr; }
int Window::width() const { return mValue->get()->width(); }
int Window::height() const { return mValue->get()->height(); }
bool Window::headless() const { return mValue->get()->headless(); }
void Window::hide() { mValue->get()->hide(); }
void Window::show() { mValue->get()->show(); }
bool Window::close() { return mValue->get()->close(); }
void Window::makeCurrent() { internal::MakeContextCurrent(mValue->get().get()); }
void Window::grid(int rows, int columns) { mValue->get()->grid(rows, columns); }
void Window::draw() { mValue->get()->draw(); }

// The draws of every kind of object, here with the window they draw in.
void Window::draw(const Plot& plot) {
    mValue->get()->draw(std::shared_ptr<internal::AbstractRenderable>(plot.get()->impl()));
}

void Window::draw(int column, int row, const Plot& plot, const char* title) {
    mValue->get()->draw(column, row,
                        std::shared_ptr<internal::AbstractRenderable>(plot.get()->impl()), title);
}

void Window::draw(const Histogram& histogram) {
    mValue->get()->draw(std::shared_ptr<internal::AbstractRenderable>(histogram.get()->impl()));
}

void Window::draw(int column, int row, const Histogram& histogram, const char* title) {
    mValue->get()->draw(
        column, row, std::shared_ptr<internal::AbstractRenderable>(histogram.get()->impl()), title);
}

void Window::draw(const Chart& chart) {
    mValue->get()->draw(std::shared_ptr<internal::AbstractRenderable>(chart.get()->impl()));
}

void Window::draw(int column, int row, const Chart& chart, const char* title) {
    mValue->get()->draw(column, row,
                        std::shared_ptr<internal::AbstractRenderable>(chart.get()->impl()), title);
}

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

Snapshot Window::snapshot() { return mValue->get()->snapshot(); }
Size Window::framebufferSize() const { return mValue->get()->framebufferSize(); }
void Window::setKeyCallback(KeyCallback callback) {
    mValue->get()->callbacks().key = internal::WindowCallbacks::hold(std::move(callback));
}
void Window::setMouseButtonCallback(MouseButtonCallback callback) {
    mValue->get()->callbacks().mouseButton = internal::WindowCallbacks::hold(std::move(callback));
}
void Window::setCursorCallback(CursorCallback callback) {
    mValue->get()->callbacks().cursor = internal::WindowCallbacks::hold(std::move(callback));
}
void Window::setScrollCallback(ScrollCallback callback) {
    mValue->get()->callbacks().scroll = internal::WindowCallbacks::hold(std::move(callback));
}
void Window::setResizeCallback(ResizeCallback callback) {
    mValue->get()->callbacks().resize = internal::WindowCallbacks::hold(std::move(callback));
}
void Window::setInteractive(bool on) { mValue->get()->setInteractive(on); }
bool Window::interactive() const { return mValue->get()->interactive(); }
void Window::saveSnapshot(const std::string& path) {
    internal::writePNG(mValue->get()->snapshot(), path);
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

namespace internal {

wtk::System _Window::checkedSystem(int system) {
    switch (system) {
        case zv::ZV_WINDOW_AUTOMATIC: return wtk::System::AUTOMATIC;
        case zv::ZV_WINDOW_X11: return wtk::System::X11;
        case zv::ZV_WINDOW_HEADLESS: return wtk::System::HEADLESS;
        default:
            ZV_RAISE_ARG("Window constructor", 4,
                         "WindowOptions::system must be ZV_WINDOW_AUTOMATIC, ZV_WINDOW_X11 or "
                         "ZV_WINDOW_HEADLESS");
    }
}

}  // namespace internal
