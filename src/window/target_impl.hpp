#pragma once
// A context of the application's own that the library draws into: the window core's
// counterpart of a window, with no window of its own. It joins the context layer as a
// Context whose native object is the application's window handle, so that objects made while
// that context is current belong to the target's share group, and their per-context names
// (vertex arrays) are made and deleted with it current.

#include <memory>

#include "gl/gl.hpp"
#include "common/renderable.hpp"
#include "gl/context.hpp"
#include "window/interaction.hpp"
#include "zarvo/defines.h"

namespace internal {

class colormap_impl;

class target_impl final : public Context {
public:
    // With the application's context current. Raises zv::Error (ZV_ERR_GL) with advice when
    // none is, when it is one of the library's windows or already has a target, when it is
    // older than OpenGL 3.3, or when its entry points cannot be loaded.
    target_impl();
    ~target_impl();
    target_impl(const target_impl&) = delete;
    target_impl& operator=(const target_impl&) = delete;

    void makeCurrent() const override;
    const void* native() const override { return mHandle; }
    int id() const { return mID; }

    // Draws r into `framebuffer` of the context (0: its default one) over the rectangle
    // (x, y, width, height), pixels from its bottom-left corner, after filling the rectangle
    // black; everything else of the framebuffer and of the context's state stays as found.
    void draw(const std::shared_ptr<AbstractRenderable>& r, unsigned framebuffer, int x,
              int y, int width, int height);
    void setColorMap(zv::ColorMap map);
    // Mouse events at (x, y), pixels from the framebuffer's bottom-left corner.
    void mouseButton(int button, int action, double x, double y, int mods);
    void cursor(double x, double y);
    void scroll(double dy, int mods, double x, double y);
    void setInteractive(bool on) { mInteraction.setEnabled(on); }
    bool interactive() const { return mInteraction.enabled(); }

private:
    // Whether (x, y) lies on the rectangle drawn last.
    bool overDrawn(double x, double y) const;
    // The events' y, from the top of the framebuffer as drawn last (see draw()).
    double fromTop(double y) const { return mDrawn.y + mDrawn.height - y; }

    int mID;
    const void* mHandle = nullptr;
    std::shared_ptr<colormap_impl> mColorMaps;
    GLuint mColorMapUBO = 0;
    GLuint mColorMapLen = 0;
    Interaction mInteraction;
    PixelArea mDrawn{0, 0, 0, 0};  // the rectangle of the last draw; empty before one
};

}  // namespace internal
