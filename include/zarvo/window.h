#pragma once
/// @file zarvo/window.h
/// zv::Window: a window with its OpenGL context, in which images, plots and histograms are
/// drawn over the whole area or into the cells of a grid under captions (red, unless the
/// window's zv::Style says otherwise).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "zarvo/defines.h"
#include "zarvo/input.h"
#include "zarvo/style.h"

namespace internal {
class _Window;
}

namespace zv {

class Window;
class Image;
class Series;
class Chart;
class Font;

/// The framebuffer's size in pixels: what drawing fills, following resizes.
struct Size {
    int width = 0;
    int height = 0;
};

/// A picture of a window: width x height pixels of 4 bytes each (red, green, blue, alpha,
/// 8 bits a channel), rows from the top of the window to the bottom. Alpha is always 255:
/// the window is shown opaque.
struct Snapshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;  ///< width * height * 4 bytes, top row first
};

/// Where a window's context comes from.
enum WindowSystem : int {
    /// A window of the X server named by DISPLAY, or a headless one when there is none:
    /// headless when the environment variable ZV_HEADLESS is set to anything but 0, or when
    /// no X display can be opened (DISPLAY unset, or the server does not answer; a one-line
    /// notice on stderr says so, once, and the process's later windows left to choose are
    /// headless too). ZV_HEADLESS=0 turns that fallback off. A window made with a parent is
    /// of its parent's kind.
    ZV_WINDOW_AUTOMATIC = 0,
    /// A window of the X server; zv::Error (ZV_ERR_GL) when no display can be opened.
    ZV_WINDOW_X11 = 1,
    /// No window system: an OpenGL context through EGL (Mesa's surfaceless platform, or the
    /// EGL device WindowOptions::eglDevice or ZV_EGL_DEVICE chooses), for nodes that run no
    /// X server. It draws into a framebuffer object of the library's, of the size, sample
    /// count and formats of an X window's, so its pictures equal an X window's byte for byte;
    /// snapshot() and saveSnapshot() read it. Nothing is shown and no input arrives: the
    /// input and resize callbacks are never called, setInteractive() has nothing to act on,
    /// show(), hide(), setTitle() and setPos() show nothing (hide() still sets the closed
    /// flag and show() clears it, so close() is true only after hide(), until the window is
    /// shown or drawn into again). setSize() takes effect at once (framebufferSize() follows
    /// it; the next draw fills the new size), but a size whose framebuffer the driver cannot
    /// allocate keeps the previous one (found, and reported, by the next draw). context() and display() stay null. The
    /// application's own OpenGL calls with framebuffer 0 bound draw into no picture of the
    /// window. Destroying the window releases its context and its framebuffer object; the EGL
    /// display stays initialised for the process's next headless window.
    ZV_WINDOW_HEADLESS = 2
};

/// How a window is made (see the constructor that takes it).
struct WindowOptions {
    /// A window whose share group the new window joins (of the same kind: both headless or
    /// both of the X server), or null for a new group.
    const Window* parent = nullptr;
    /// Made hidden (a headless window is never shown anyway).
    bool invisible = false;
    /// Where the context comes from.
    WindowSystem system = ZV_WINDOW_AUTOMATIC;
    /// For a headless window: the index of the EGL device to draw on, as EGL lists them
    /// (EGL_EXT_device_enumeration; several GPUs of a node, say), or -1 for the environment
    /// variable ZV_EGL_DEVICE when set, otherwise Mesa's surfaceless platform. An index
    /// the driver does not list is a zv::ArgumentError (from ZV_EGL_DEVICE, a zv::Error
    /// ZV_ERR_GL), with the indices it does list. Windows of one share group use one device.
    int eglDevice = -1;
};

/// A window and its OpenGL 3.3 core context. Copies are handles of one window: they share
/// its context, font, colour map and grid; the window goes with the last copy.
///
/// Contexts: creating a window makes its context current. Objects (images, plots,
/// histograms, fonts) belong to the share group of the window whose context is current when
/// they are created, and can be drawn in every window of that group. A window created with a
/// parent joins the parent's share group. Every draw makes the window's context current.
/// Everything runs on the caller's thread. The thread that makes the first window is the
/// drawing thread: every call of the library (constructors, draws, setters, font loads) from
/// any other raises zv::Error (ZV_ERR_GL) with advice and changes nothing. Destroy windows
/// and objects on the drawing thread too.
///
/// OpenGL state: every draw (and every creation or font load) draws into the window whatever
/// the application left bound or enabled, and puts the application's state back afterwards
/// (bindings, unpack state, blending, culling, depth, stencil, scissor, polygon mode,
/// primitive restart, colour mask, rasterizer discard, logic op, sRGB, point state; the
/// README lists them). Left changed on purpose: the viewport, over the whole window (after a
/// cell draw, over the whole cell), and the clear colour, black.
class ZV_API Window {
public:
    /// Creates the window (hidden when invisible is true) and makes its context current. It
    /// is left to choose its kind (ZV_WINDOW_AUTOMATIC): headless when no X display opens.
    /// @param parent a window whose share group the new window joins, or null for a new group
    /// @throws zv::Error (ZV_ERR_GL) when the window system or the OpenGL entry points fail,
    ///         or a side is outside 1 .. 16384 pixels
    Window(int width, int height, const char* title, const Window* parent = nullptr,
           bool invisible = false);
    /// Creates the window as options say (see WindowOptions and WindowSystem) and makes its
    /// context current.
    /// @throws zv::Error (ZV_ERR_GL) as the constructor above, and when EGL cannot give a
    ///         headless window an OpenGL 3.3 core context or ZV_EGL_DEVICE is not an index
    /// @throws zv::ArgumentError (argument 4) for a parent of the other kind, or an EGL
    ///         device the driver does not list
    Window(int width, int height, const char* title, const WindowOptions& options);
    /// A second handle of the same window.
    Window(const Window& other) = default;
    /// Makes this handle share other's window.
    Window& operator=(const Window& other) = default;
    /// Drops this handle; the last one destroys the window and its context.
    ~Window() = default;

    /// The internal record, for the library's own use.
    internal::_Window* get() const { return mValue.get(); }

    /// Font for cell captions; the window shares ownership of it.
    /// @throws zv::ArgumentError when font is null, or was made while a window of another
    ///         share group was current (its textures do not exist in this window's context)
    void setFont(Font* font);
    void setTitle(const char* title);        ///< the window title
    void setPos(int x, int y);               ///< position on screen
    /// Resizes the window; width() and height() keep the creation size, drawing follows the
    /// framebuffer size. Each side is held to 1 .. 16384 pixels, the most that can be drawn.
    /// The next draw fills the size the X server gives the window when it draws, whatever
    /// read or drew the window in between (snapshot() included). A window manager may carry
    /// the resize out later: setSize() waits a tenth of a second at most for it; a draw made
    /// before it is done fills the old size, and the first draw after it the new one.
    void setSize(unsigned width, unsigned height);
    /// Selects the colour map images are drawn through (from the next draw on); values outside
    /// the seven maps keep the current one. New windows use ZV_CMAP_DEFAULT.
    void setColorMap(ColorMap map);
    /// The style of the window's draws from the next on (see zv::Style): the background the
    /// window or grid frame is cleared to, the captions' colour, size and place, and how
    /// every chart, plot and histogram drawn reads, unless the object has a style of its own
    /// (zv::Chart::setStyle, zv::Series::setStyle). New windows draw with Style(), the
    /// library's own look.
    /// @throws zv::ArgumentError (argument 1) for a font size, line width or enumeration value outside
    ///         what zv::Style allows; the
    ///         window keeps its style then
    void setStyle(const Style& style);
    Style style() const;  ///< the style in force

    void* context() const;  ///< opaque native context handle; always null
    void* display() const;  ///< opaque native display handle; always null
    int width() const;      ///< width given at creation
    int height() const;     ///< height given at creation
    /// True for a window with no window system (see ZV_WINDOW_HEADLESS).
    bool headless() const;

    void hide();            ///< hides the window and sets the closed flag
    void show();            ///< shows the window and clears the closed flag
    /// True once the user pressed Escape or the close button (which only hide the window) or
    /// hide() was called, until the window is shown or drawn into again.
    ///
    /// Also true, for good, once another X client destroyed the window (a window manager's
    /// kill, `xdotool windowclose`); the next draw of the window finds that out. From then on
    /// draws, grid(), show() and the setters do nothing and raise nothing, snapshot() is
    /// empty and framebufferSize() 0 x 0; the objects and the window are destroyed as usual.
    /// The X errors about such a window go to the library's Xlib error handler; every other
    /// error goes on to the handler installed before it (the application's, or Xlib's).
    bool close();
    /// Makes the window's context current on the calling thread and publishes its entry
    /// points through glewGetContext(), so the application can call OpenGL with it.
    void makeCurrent();

    /// Lays out rows x columns cells and clears the window. Call once, or when the layout
    /// changes, then each frame the cell draws followed by draw().
    ///
    /// Note the order: grid() takes rows first, the cell draws take the column first.
    /// Columns count from 0 at the left, rows from 0 at the top: after grid(2, 3),
    /// draw(0, 0, ...) is the top-left cell and draw(2, 1, ...) the bottom-right one.
    /// @throws zv::ArgumentError when rows or columns is below 1
    void grid(int rows, int columns);
    /// Presents the frame after cell draws (swap, poll events). The back buffer keeps the
    /// presented frame until the next frame's grid() or first cell draw clears it.
    void draw();

    /// What the window shows after its last draw (whole window, or a grid frame presented by
    /// draw()): the framebuffer at its current size, multisampling resolved as on screen.
    /// Works for hidden windows too, so a program without a display can render and save.
    /// Makes the window's context current. The application's OpenGL state does not change
    /// the picture (sRGB conversion, the scissor test, a bound pixel-pack buffer, pack
    /// alignment, row length and skips, the bound framebuffers and read buffer) and is left
    /// as it was. Before the first draw the content is undefined.
    Snapshot snapshot();
    /// Writes snapshot() to path as an RGBA PNG file, replacing any file there.
    ///
    /// The picture is written to a new file beside the target (".zarvo-snapshot-<pid>-<n>.tmp"
    /// in the same directory, which must be writable) and renamed over the target only once
    /// it is complete and flushed to disk: when anything fails (a full disk, say) the file
    /// that was there is left as it was and the new file is removed. A symbolic link is
    /// followed, and the file it names is replaced (the link stays a link; a dangling link's
    /// file is created). The replacement keeps the old file's mode (and owner, where the
    /// process may set it); other hard links to the old file keep the old picture. Only a
    /// regular file, or a path where no file exists yet, is written: a FIFO, device or socket
    /// is refused without being opened, as is a file this process may not write.
    /// @throws zv::Error (ZV_ERR_GL) naming the path and the reason when the file cannot be
    ///         written (no such directory, no permission, not a regular file, disk full)
    void saveSnapshot(const std::string& path);

    /// The framebuffer's current size in pixels; unlike width() and height() it follows
    /// setSize() and the user's resizing (once the window system has reported it, which a
    /// draw's event polling picks up).
    Size framebufferSize() const;

    /// Input and resize callbacks. Each is called from the event polling of a draw (a
    /// whole-window draw, or the draw() that presents a grid), on the drawing thread, in the
    /// order the events happened; the polling draw's context is current. Positions x, y are
    /// in pixels from the top-left corner of the window's drawing area. Setting an empty
    /// function removes a callback. Escape and the close button still hide the window; the
    /// key callback sees Escape too. An exception thrown by a callback is caught, the
    /// remaining events are still handled, and it is thrown again once polling is done, by
    /// the draw of this window that polled or, when another window's draw polled, by this
    /// one's next.
    ///
    /// What a callback may do:
    /// - Draw this window or another, and take snapshots. A draw made in a callback presents
    ///   its frame but does not poll: the events still queued reach their callbacks one
    ///   after the other from the polling under way, so redrawing on every cursor motion
    ///   does not nest. The polling draw has put the application's OpenGL state back before
    ///   it polls, so every context keeps its own state, and once polling is done the
    ///   context current before it is current again.
    /// - Set, replace or remove callbacks, its own included: a callback replaced or removed
    ///   while it runs (a one-shot handler) finishes with its own captures, and the new one
    ///   gets the events that follow. A callback's captured state lasts from call to call.
    /// - Drop the window's last handle. The call returns; the window gets no more events and
    ///   is hidden at once, and destroyed once the polling is done; a draw of it that was
    ///   polling returns. An exception thrown after that comes out of the draw that polled
    ///   (or, when the application polled GLFW itself, the next draw that polls).
    using KeyCallback = std::function<void(int key, int scancode, int action, int mods)>;
    using MouseButtonCallback =
        std::function<void(int button, int action, int mods, double x, double y)>;
    using CursorCallback = std::function<void(double x, double y)>;
    using ScrollCallback = std::function<void(double dx, double dy)>;
    using ResizeCallback = std::function<void(int width, int height)>;
    /// key: see zv::Key; scancode: the keyboard's own code; action: zv::InputAction;
    /// mods: zv::InputModifier bits held before the event (a Shift press itself comes
    /// without ZV_MOD_SHIFT, its release with it).
    void setKeyCallback(KeyCallback callback);
    /// button: zv::MouseButton (or 3 to 7 for further buttons); action: ZV_PRESS or
    /// ZV_RELEASE; mods: zv::InputModifier bits; x, y: where the cursor was.
    void setMouseButtonCallback(MouseButtonCallback callback);
    /// The cursor moved to x, y (also outside the window while a button is held).
    void setCursorCallback(CursorCallback callback);
    /// The wheel turned: dy > 0 away from the user (up), dx for horizontal wheels.
    void setScrollCallback(ScrollCallback callback);
    /// The framebuffer's size changed to width x height pixels.
    void setResizeCallback(ResizeCallback callback);

    /// The mouse in the window's charts (plots, histograms and charts of several series,
    /// drawn over the whole window or in the grid cell under the cursor): dragging with the
    /// left button pans, the wheel zooms about the cursor (both axes; with Shift only x,
    /// with Ctrl only y), a double click fits the limits to the data (fitAxesToData), a drag
    /// with the right button (or with Ctrl and the left) outlines a box in white, clamped to
    /// the frame, and zooms to it on release (a box under 3 pixels either way zooms nothing;
    /// a histogram alone keeps its bottom edge), and the R or Home key fits the chart under
    /// the cursor as a double click does. Each sets the object's limits through its
    /// setAxesLimits, so its labels and getters follow; a logarithmic axis pans and zooms by
    /// decades. A histogram drawn alone keeps its x
    /// limits (its bins fill the width whatever they are) and zooms y about its bottom edge.
    /// Panning or zooming an object whose limits follow its data turns that off (its
    /// autoFit() becomes false) so the view chosen stays; a double click on it turns it back
    /// on. A pan or zoom that would take limits past what single precision shows, or to zero
    /// or below on a logarithmic axis, leaves that axis as it was. The events act during a
    /// draw's event polling, before the application's callbacks, which are still called. On
    /// by default; false turns the mouse and keys off (a drag or box in progress ends). Images
    /// ignore it.
    void setInteractive(bool on);
    /// Whether the mouse moves the charts' limits (see setInteractive).
    bool interactive() const;
    /// With on, a chart drawn under the cursor (whole window or grid cell) shows the data
    /// coordinates there, "x 12.35  y -0.0042", white on a black box in the top-left corner
    /// of its frame, and a grey crosshair of one-pixel lines across the frame through the
    /// cursor. Each coordinate is written to the precision of one pixel of its axis at the
    /// cursor (it rounds by less than half a pixel), in decimals for magnitudes from 1e-4 to
    /// 1e6 and powers of ten beyond; logarithmic axes read their values, not their logarithms.
    /// The read-out names the limits in force when the chart is drawn, at the cursor's last
    /// position inside the window, and goes with the next draw once the cursor is off the
    /// frame. Nothing is shown while setInteractive(false) is in force. The application's
    /// callbacks see every event as before. Off by default (pictures stay as they were);
    /// windows only (zv::Target draws none).
    void setReadout(bool on);
    /// Whether the read-out is on (see setReadout).
    bool readout() const;

    /// Draws an image over the whole window and presents the frame. With keepAspectRatio the
    /// image's longer side spans the window and the other follows its aspect ratio. With
    /// colorBar a strip of 100 pixels at the right shows the window's colour map as a
    /// vertical bar from the image's valueMin() at the bottom to valueMax() at the top, with
    /// five white ticks labelled as the charts label their axes (two decimals, "17.50",
    /// where those name every tick truly, otherwise the shortest format that does,
    /// "2.5e-06"), under the image's setColorBarTitle(), and the image is laid out in what remains
    /// (an area narrower than 200 or lower than 60 pixels shows the image alone). Both flags
    /// stay with the image for its later draws. After a colour bar the OpenGL state is
    /// that after text (see the class notes). The first colour bar drawn in a share group
    /// builds the bar's program.
    /// @throws zv::ArgumentError when the object was made in another share group, or in one
    ///         whose windows are all gone (this holds for every draw of an object)
    /// @throws zv::Error (ZV_ERR_GL) when the image's pixel buffer is still mapped (unmap it
    ///         before drawing; this holds for the cell draw too); nothing is presented
    void draw(const Image& image, bool keepAspectRatio = true, bool colorBar = false);
    /// Draws an image into cell (column, row) of the grid (column 0 at the left, row 0 at
    /// the top; see grid()), under the caption title (null for none). With keepAspectRatio
    /// the image keeps its aspect ratio inside the cell's drawing area (the cell less its
    /// margins and caption), centred; with colorBar the bar takes the right of that area.
    /// The frame is presented by draw().
    /// @throws zv::ArgumentError before grid(), or for a caption when no font was set
    void draw(int column, int row, const Image& image, const char* title = nullptr,
              bool keepAspectRatio = true, bool colorBar = false);
    /// Draws a series of any kind (zv::Plot, zv::Histogram, ...) alone, in a chart frame of
    /// its own limits, over the whole window and presents the frame.
    void draw(const Series& series);
    /// Draws a series into a grid cell; see the image cell draw for the rules.
    void draw(int column, int row, const Series& series, const char* title = nullptr);
    /// Draws a chart of several series over the whole window and presents the frame.
    void draw(const Chart& chart);
    /// Draws a chart into a grid cell; see the image cell draw for the rules.
    void draw(int column, int row, const Chart& chart, const char* title = nullptr);

private:
    std::shared_ptr<internal::_Window> mValue;
};

}  // namespace zv
