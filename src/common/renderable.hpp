#pragma once
// The interface of everything a window draws.

#include <memory>

#include "gl/gl.hpp"
#include "gl/context.hpp"

namespace internal {

// A renderable is always created with std::make_shared of its concrete class, so the last
// owner destroys it through the concrete destructor; the base has no virtual destructor.
class AbstractRenderable {
public:
    // Draws into the current viewport, which the window has set. windowId names the window
    // (and so the context) being drawn into; x, y, width, height are the drawing area in
    // window pixels. The window's context is current.
    virtual void render(int windowId, int x, int y, int width, int height) = 0;
    // The window's selected colour-map buffer and its row count, handed over immediately
    // before every render. Only images use it.
    virtual void setColorMapUBOParams(GLuint ubo, GLuint size) {
        (void)ubo;
        (void)size;
    }
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
