#pragma once
// The record behind zv::Window: the window core its handles share.

#include <memory>

#include "gl/record.hpp"

#include "window/window_impl.hpp"

namespace internal {

class _Window : public Record<window_impl> {
public:
    // The first window claims the drawing thread, before anything of it is made. system: a
    // zv::WindowSystem value; eglDevice: see zv::WindowOptions.
    _Window(int width, int height, const char* title, const _Window* parent, bool invisible,
            int system = 0, int eglDevice = -1)
        : Record("zv::Window",
                 (claimDrawingThread("Window constructor"),
                  std::make_shared<window_impl>(width, height, title,
                                                parent ? std::weak_ptr<window_impl>(parent->impl())
                                                       : std::weak_ptr<window_impl>(),
                                                invisible, checkedSystem(system), eglDevice))) {}

private:
    // The window system a zv::WindowSystem value names; zv::ArgumentError for another value.
    static wtk::System checkedSystem(int system);
};

}  // namespace internal
