#pragma once
// The record behind zv::Window: one shared pointer to the window core.

#include <memory>

#include "gl/context.hpp"

#include "window/window_impl.hpp"

namespace internal {

class _Image;

class _Window {
public:
    // system: a zv::WindowSystem value; eglDevice: see zv::WindowOptions.
    _Window(int width, int height, const char* title, const _Window* parent, bool invisible,
            int system = 0, int eglDevice = -1)
        : mWindow((claimDrawingThread("Window constructor"), std::make_shared<window_impl>(
              width, height, title,
              parent ? std::weak_ptr<window_impl>(parent->mWindow) : std::weak_ptr<window_impl>(),
              invisible, checkedSystem(system), eglDevice))) {}
    _Window(const _Window&) = default;
    _Window& operator=(const _Window&) = default;

    // Every public call reaches the window through here, from the drawing thread only.
    const std::shared_ptr<window_impl>& get() const {
        requireDrawingThread("zv::Window");
        return mWindow;
    }
    // Cell draw of an image: sets the image's aspect flag, then the window core's cell draw.
    void draw(int column, int row, _Image* image, const char* title, bool keepAspectRatio,
              bool colorBar = false);

private:
    // The window system a zv::WindowSystem value names; zv::ArgumentError for another value.
    static wtk::System checkedSystem(int system);
    std::shared_ptr<window_impl> mWindow;
};

}  // namespace internal
