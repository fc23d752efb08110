#pragma once
// One window as the library sees it: the native window and its context, the share group's
// entry points and colour maps, the selected colour map, the caption font and the grid.

#include <exception>
#include <memory>
#include <vector>

#include "gl/gl.hpp"
#include "common/renderable.hpp"
#include "gl/context.hpp"
#include "gl/gl_objects.hpp"
#include "zarvo/defines.h"
#include "glfw/window.hpp"
#include "window/cell_layout.hpp"
#include "window/interaction.hpp"
#include "zarvo/window.h"

namespace internal {

class colormap_impl;
class font_impl;

// Tells the context layer how to ask the window system what is current; done before the
// first window or target is made, and only once.
void installWindowSystem();
// A new entry-point record for a new share group, never released (see window_impl.cpp).
GLEWContext* newEntryPointRecord();

// The application's input and resize callbacks of one window, null when not set. Each is
// shared with its calls under way: a callback replaced or removed while it runs (a one-shot
// handler) finishes with its own captures, and is destroyed when it returns.
struct WindowCallbacks {
    template <typename F>
    using Shared = std::shared_ptr<const F>;
    // Holds f for setting as a callback; an empty function gives null (no callback).
    template <typename F>
    static Shared<F> hold(F f) {
        return f ? std::make_shared<const F>(std::move(f)) : nullptr;
    }
    Shared<zv::Window::KeyCallback> key;
    Shared<zv::Window::MouseButtonCallback> mouseButton;
    Shared<zv::Window::CursorCallback> cursor;
    Shared<zv::Window::ScrollCallback> scroll;
    Shared<zv::Window::ResizeCallback> resize;
};

// Told when a window is being destroyed, before any of it goes; for what must end with the
// window (a recording of it).
class WindowWatcher {
public:
    virtual void windowGone() noexcept = 0;

protected:
    ~WindowWatcher() = default;
};

class window_impl final : public Context, private wtk::EventListener {
public:
    // Creates the native window (hidden when `invisible`), joining the share group of
    // `parent` when it is alive, makes its context current and loads the entry points.
    // Raises zv::Error (ZV_ERR_GL) when the window system or the entry points fail.
    // `system` and `eglDevice` choose where the context comes from (see wtk::Widget); a
    // headless window draws into a framebuffer object of its own (see frameBuffer()).
    window_impl(int width, int height, const char* title, std::weak_ptr<window_impl> parent,
                bool invisible, wtk::System system = wtk::System::AUTOMATIC,
                int eglDevice = -1);
    ~window_impl();
    window_impl(const window_impl&) = delete;
    window_impl& operator=(const window_impl&) = delete;

    wtk::Widget* get() const { return mWidget.get(); }
    void makeCurrent() const override;
    const void* native() const override { return mWidget.get(); }
    const std::shared_ptr<colormap_impl>* colorMapPtr() const { return &mColorMaps; }
    int width() const { return mWidth; }
    int height() const { return mHeight; }
    int id() const { return mID; }
    bool headless() const { return mWidget->headless(); }
    const std::shared_ptr<font_impl>& font() const { return mFont; }
    GLuint colorMapBuffer() const { return mColorMapUBO; }
    GLuint colorMapLength() const { return mColorMapLen; }

    void setFont(const std::shared_ptr<font_impl>& font);
    void setTitle(const char* title);
    void setPos(int x, int y);
    void setSize(unsigned width, unsigned height);
    void hide();
    void show();
    bool close() const;
    // Selects one of the seven maps; any other value keeps the current one.
    void setColorMap(zv::ColorMap map);
    // The style of the window's draws from the next on; raises zv::ArgumentError as
    // checkStyle does, changing nothing.
    void setStyle(const zv::Style& style);
    const zv::Style& style() const { return mStyle; }

    // Draws r over the whole window and presents the frame. Raises zv::ArgumentError when
    // r was made in another share group (or one that is gone).
    void draw(const std::shared_ptr<AbstractRenderable>& r);
    // Lays out a grid of rows x columns cells and clears the window. Raises
    // zv::ArgumentError when rows or columns is below 1.
    void grid(int rows, int columns);
    // Draws r into one cell with `title` as its caption when not null; the frame is
    // presented by draw(). Raises zv::ArgumentError before any grid(), when r was made in
    // another share group, and when a caption is asked without a font.
    void draw(int column, int row, const std::shared_ptr<AbstractRenderable>& r,
              const char* title);
    // Presents the frame after cell draws; the back buffer is cleared when the next frame
    // starts (grid() or the next cell draw), so that it holds the presented frame until then.
    void draw();

    // What the window shows after its last draw, read back (see zv::Window::snapshot).
    zv::Snapshot snapshot();
    // The framebuffer's current size.
    zv::Size framebufferSize() const;
    WindowCallbacks& callbacks() { return mCallbacks; }
    // The mouse moving the limits of the charts drawn (see interaction.hpp); on by default.
    void setInteractive(bool on) { mInteraction.setEnabled(on); }
    // Has `watcher` told when this window is destroyed, while it lives.
    void watch(const std::weak_ptr<WindowWatcher>& watcher);
    bool interactive() const { return mInteraction.enabled(); }
    // The cursor's read-out over the chart under it (see interaction.hpp); off by default.
    void setReadout(bool on) { mInteraction.setReadout(on); }
    bool readout() const { return mInteraction.readout(); }
    // The mouse handling, for tests.
    const Interaction& interaction() const { return mInteraction; }
    Interaction& interaction() { return mInteraction; }

private:
    // Events from the widget's polling, handed to the application's callbacks.
    void keyEvent(int key, int scancode, int action, int mods) override;
    void mouseButtonEvent(int button, int action, int mods, double x, double y) override;
    void cursorEvent(double x, double y) override;
    void scrollEvent(double dx, double dy, int mods, double x, double y) override;
    void framebufferSizeEvent(int width, int height) override;
    // With this window's context current and the X server giving the window w x h: when
    // that differs from the size the last draw filled, makes the driver take up the new size
    // before anything is drawn (it would otherwise go on drawing at a size it took up
    // earlier). True when the back buffer was replaced, its content undefined. A headless
    // window whose new size cannot be allocated keeps its old one, given back in w and h.
    bool followResize(int& w, int& h);
    // Gives a headless window's framebuffer object storage of w x h pixels (content
    // undefined), leaving the renderbuffer binding as it was. False when the driver could not
    // allocate it (the storage is then undefined: give it a size that worked).
    bool sizeFrame(int w, int h);
    // Outlines the zoom box the mouse is dragging over what was drawn (see Interaction).
    void drawZoomBox();
    // Draws the read-out over the chart just drawn in the whole window (column and row -1)
    // or in that cell, when the cursor is over its frame: a crosshair of one-pixel lines
    // across the frame and the coordinates on a black box in the frame's top-left corner.
    // The window's framebuffer is fbW x fbH. Leaves the scissor test off, the clear colour
    // black and the viewport `viewport`.
    void drawReadout(int column, int row, const int viewport[4], int fbW, int fbH);
    // Presents the frame, after which the driver asks for the drawable's size afresh.
    void swapBuffers();
    // What a draw of an object laid out for `area` into `viewport` needs (see DrawContext).
    DrawContext drawContext(const PixelArea& area, const PixelArea& viewport) const;
    // Polls the window system, unless called from a callback (a draw made there: the outer
    // polling delivers the rest); then makes what was current before current again, if a
    // callback changed it, and throws what a callback threw meanwhile, if anything. False
    // when a callback destroyed this window: the caller returns at once, touching nothing.
    bool pollEvents();
    template <typename F, typename... A>
    void call(const WindowCallbacks::Shared<F>& callback, A... args);
    // Runs f, keeping what it throws for pollEvents(), as call() does.
    template <typename F>
    void guarded(const F& f);

    int mID;
    int mWidth;
    int mHeight;
    std::unique_ptr<wtk::Widget> mWidget;
    int mRows = 0;
    int mCols = 0;
    int mCellWidth = 0;
    int mCellHeight = 0;
    // A grid frame was presented and its back buffer not cleared yet.
    bool mClearPending = false;
    // The framebuffer size the last draw (or the context's creation) filled.
    int mDrawableWidth = 0;
    int mDrawableHeight = 0;
    WindowCallbacks mCallbacks;
    Interaction mInteraction;
    // The first exception a callback threw since the last polling ended.
    std::exception_ptr mCallbackError;
    // Expires with the window, so that code that ran a callback can tell whether the
    // callback destroyed the window.
    std::shared_ptr<const char> mLife = std::make_shared<const char>('\0');
    std::shared_ptr<font_impl> mFont;
    zv::Style mStyle;
    std::vector<std::weak_ptr<WindowWatcher>> mWatchers;
    std::shared_ptr<colormap_impl> mColorMaps;
    GLuint mColorMapUBO = 0;
    GLuint mColorMapLen = 0;
    // A headless window's stand-in for the default framebuffer: what the window system's
    // windows get (4 samples, 8-bit sRGB-capable RGBA, 24-bit depth with 8-bit stencil),
    // so that its pictures equal theirs. Empty for a window of the window system.
    GLRenderbuffer mFrameColour;
    GLRenderbuffer mFrameDepth;
    GLFramebuffer mFrame;
};


}  // namespace internal
