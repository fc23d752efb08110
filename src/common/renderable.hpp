#pragma once
// The interface of everything a window draws.

#include <memory>

#include "gl/gl.hpp"
#include "common/geometry.hpp"
#include "gl/context.hpp"
#include "zarvo/style.h"

namespace internal {

// Everything a draw needs, built by the window for each draw and passed down: nothing is
// learnt by reading state back from the driver. The window has made its context current,
// set the viewport to `viewport` and its state (see GLStateGuard), and cleared the frame.
struct DrawContext {
    // The window, and so the context, drawn into (its id keys objects kept per window).
    int windowId = 0;
    // The area the object is laid out for: the whole window, or a grid's whole cell.
    PixelArea area;
    // Where the layout lands: the window, or the cell's inset drawing area, which scales
    // the layout made for `area` onto itself.
    PixelArea viewport;
    // The window's selected colour map: a uniform buffer of rows, and their count.
    GLuint colorMap = 0;
    GLuint colorMapRows = 0;
    // The window's style, or null for the library's own look. An object with a style of its
    // own draws with that instead.
    const zv::Style* style = nullptr;
};

// A renderable is always created with std::make_shared of its concrete class, so the last
// owner destroys it through the concrete destructor; the base has no virtual destructor.
class AbstractRenderable {
public:
    // Draws the object as `draw` describes, and tells what it drew where.
    virtual DrawnFrame render(const DrawContext& draw) = 0;
    // The share group whose window was current when the object was made: its buffers,
    // textures and programs exist there only. Windows of any other group refuse to draw it,
    // and so does every window once that group is gone (see window_impl::draw).
    const std::shared_ptr<ShareGroup>& group() const { return mGroup; }

protected:
    AbstractRenderable() : mGroup(currentGroup()) {}
    ~AbstractRenderable() = default;

private:
    std::shared_ptr<ShareGroup> mGroup;
};

}  // namespace internal
