#pragma once
/// @file zarvo/target.h
/// zv::Target: drawing the library's objects into a window of the application's own (its
/// GLFW window, or a framebuffer object of its context shown in a panel of its GUI).

#include "zarvo/defines.h"

namespace internal {
class target_impl;
}

namespace zv {

class Image;
class Series;
class Chart;

/// The application's own OpenGL context as a place to draw the library's objects.
///
/// Create the target while the application's context is current (a GLFW window of its own,
/// OpenGL 3.3 or later, on the drawing thread). The context joins a share group of its own:
/// objects made while it is current afterwards belong to the target, and only the target
/// draws them (a zv::Window refuses them, as the target refuses objects of a window's group,
/// with zv::ArgumentError). One target for each context: a second one for the same context
/// is refused. Creating the target publishes its entry points through glewGetContext(), as
/// creating a window does.
///
/// A draw leaves everything of the application's as found: the context current (a draw made
/// with another context current switches to the target's for the draw and back), its
/// framebuffer bindings, viewport, clear colour and the rest of the OpenGL state the library
/// touches (see zv::Window), and every pixel outside the rectangle drawn. Nothing is
/// presented: the application swaps its buffers itself.
///
/// Destroy the target before the application destroys its context (or its window). The
/// context outlives the target, so nothing of the library's is left in it: the target's
/// destructor makes the context current for the moment (whatever was current before is
/// current again afterwards) and deletes every OpenGL object the library made there, the
/// group's programs, fonts, colour maps and vertex arrays, and whatever objects made for
/// the target that are still alive own. Destroy those objects first all the same: one that
/// outlives its target owns nothing any more and can only be destroyed. Raises zv::Error (ZV_ERR_GL) with advice when no
/// context of the application's is current at construction, when a window of the library's
/// is, when the context already has a target, or when it is older than OpenGL 3.3.
class ZV_API Target {
public:
    Target();
    ~Target();
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    /// Draws the object into `framebuffer` of the context (0: its default framebuffer, the
    /// window's back buffer; otherwise the name of a complete framebuffer object of the
    /// application's) over the rectangle x, y, width, height in that framebuffer's pixels
    /// from its bottom-left corner, as glViewport takes them. The rectangle is filled black
    /// first, and the object drawn over it exactly as a zv::Window of width x height draws
    /// it. Raises zv::ArgumentError for an object of another share group, a framebuffer that
    /// is not one of the context's or is incomplete, and a width or height outside 1 to
    /// 16384; nothing is drawn then.
    void draw(const Image& image, unsigned framebuffer, int x, int y, int width, int height,
              bool keepAspectRatio = true, bool colorBar = false);
    /// Any kind of series: a plot, a histogram, a band, a 2-D histogram, ...
    void draw(const Series& series, unsigned framebuffer, int x, int y, int width, int height);
    void draw(const Chart& chart, unsigned framebuffer, int x, int y, int width, int height);

    /// Selects the colour map images are drawn through (see zv::Window::setColorMap).
    void setColorMap(ColorMap map);

    /// The application's mouse events, forwarded so that the mouse pans and zooms the chart
    /// drawn last as it does in a zv::Window (left drag pans, the wheel zooms about the
    /// cursor, Shift x only, Ctrl y only, a double click fits, a drag with the right button
    /// or with Ctrl and the left zooms to the box dragged, which the target does not outline). Positions are in the
    /// framebuffer's pixels from its bottom-left corner, as the draw's rectangle: a GLFW
    /// application passes the cursor position times the framebuffer's scale, with y taken
    /// from the framebuffer's height. button and action are GLFW's values (zv::MouseButton,
    /// zv::InputAction), mods its modifier bits (zv::InputModifier), dy the wheel's steps
    /// away from the user. Presses and the wheel act only over the rectangle drawn last; a
    /// drag begun there follows the cursor anywhere until the release. Events before the
    /// first draw, and of a target made not interactive, change nothing. The new limits show
    /// from the next draw (the chart's getters have them at once).
    void mouseButton(int button, int action, double x, double y, int mods = 0);
    void cursor(double x, double y);
    void scroll(double dy, int mods, double x, double y);
    /// Whether forwarded mouse events move the charts' limits; on by default.
    void setInteractive(bool on);
    bool interactive() const;

private:
    internal::target_impl* mValue;
};

}  // namespace zv
