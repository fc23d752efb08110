#pragma once
// The native window: the library's only contact with the window system. A widget owns one
// GLFW window with its OpenGL 3.3 core context and remembers whether the user closed it.
// Closing never destroys anything: Escape and the close button only hide the window.

#include <memory>

struct GLFWwindow;

namespace wtk {

class HeadlessContext;

// Where a widget's context comes from (see zv::WindowSystem for the rules of AUTOMATIC).
enum class System { AUTOMATIC = 0, X11 = 1, HEADLESS = 2 };

// Receives a widget's input and resize events, from inside pollEvents() on the polling
// thread. Positions are in window coordinates from the top-left corner of the drawable area;
// codes are the window system's (GLFW's key, button, action and modifier values; modifiers
// are those held before the event, so a Shift press itself comes without Shift).
class EventListener {
public:
    virtual void keyEvent(int key, int scancode, int action, int mods) = 0;
    virtual void mouseButtonEvent(int button, int action, int mods, double x, double y) = 0;
    virtual void cursorEvent(double x, double y) = 0;
    virtual void scrollEvent(double dx, double dy, int mods, double x, double y) = 0;
    virtual void framebufferSizeEvent(int width, int height) = 0;

protected:
    ~EventListener() = default;
};

class Widget {
public:
    // No native window; closed flag false.
    Widget();
    // Creates the native window and its context, sharing objects with `share`'s context when
    // share is not null, hidden when `invisible`. Does not make the context current.
    // Raises zv::Error (ZV_ERR_GL) when GLFW cannot start or cannot create the window.
    // `system` and `eglDevice` choose between a window of the X server and a headless
    // context (EGL; eglDevice < 0: ZV_EGL_DEVICE or Mesa's surfaceless platform).
    Widget(int width, int height, const char* title, const Widget* share, bool invisible,
           System system = System::AUTOMATIC, int eglDevice = -1);
    // Destroys the native window. Destroyed while one of its events is being handled (the
    // application dropped its window in a callback), the native window is hidden and gets no
    // more events at once, and is destroyed when the window system's polling has returned:
    // the window system still uses it until then.
    ~Widget();
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    GLFWwindow* getNativeHandle() const { return mWindow; }
    // True for a context with no window system: nothing is shown, no event arrives, the
    // size is what the constructor and setSize() gave, and swapBuffers() does nothing (the
    // window core draws into a framebuffer object of its own).
    bool headless() const { return mHeadless != nullptr; }
    void makeContextCurrent() const;
    // This widget exposes no native context or display handle: both are null.

    void getFrameBufferSize(int* width, int* height) const;
    void setTitle(const char* title);
    void setPos(int x, int y);
    void setSize(unsigned width, unsigned height);
    void swapBuffers();
    void hide();
    void show();
    bool close() const { return mClose; }
    // True once another X client (a window manager's kill, `xdotool windowclose`) destroyed
    // the native window: it is closed for good, and nothing may be drawn into it or shown.
    // Learnt from the window system's errors about the window, so any call that reaches the
    // server (getFrameBufferSize does, synchronously) may set it.
    bool gone() const { return mGone; }
    // Shows the window again if the user had closed it; otherwise does nothing.
    void resetCloseFlag();
    // Escape pressed closes (hides) the window; every other key or action is ignored.
    void keyboardHandler(int key, int scancode, int action, int mods);
    // Processes pending events of every window and runs the callbacks. Does nothing when
    // called from one of those callbacks (the window system cannot poll from inside its own
    // polling; the polling under way delivers the remaining events).
    static void pollEvents();
    // True while one of the widgets' events is being handled (inside a listener call).
    static bool dispatching();
    // Where this widget's events go besides its own Escape handling; null for nowhere.
    void setListener(EventListener* listener) { mListener = listener; }

    // The widget whose context is current on the calling thread, or null when none of the
    // library's widgets is current.
    static const Widget* current();
    // Detaches whatever context is current on the calling thread.
    static void makeNoneCurrent();
    // The handle of whatever context is current on the calling thread (one of the
    // library's or the application's own), or null; and making it current again.
    static const void* currentAny();
    static void makeAnyCurrent(const void* handle);
    // The application's own GLFW window whose context is current on the calling thread, or
    // null when none is (no context, one of the library's, or one GLFW did not make). Starts
    // GLFW for the library's calls when it is not started yet (the application's GLFW is the
    // same one: a window of its own means it is started already).
    static const void* currentApplication();

private:
    void closeWindow();
    friend struct Callbacks;

    GLFWwindow* mWindow;
    std::unique_ptr<HeadlessContext> mHeadless;
    // A headless widget's size.
    int mWidth = 0;
    int mHeight = 0;
    bool mClose;
    bool mGone = false;
    // The X server's ids of the native window and of its GLX drawable, to tell errors about
    // this window from the application's.
    unsigned long mXWindow = 0;
    unsigned long mGLXWindow = 0;
    EventListener* mListener = nullptr;
    // Where the cursor was at the event handled last: the window system's present position
    // may already be further on, so button and wheel events are placed at this one.
    double mCursorX = 0;
    double mCursorY = 0;
};

}  // namespace wtk
