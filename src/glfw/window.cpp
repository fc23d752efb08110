#include "glfw/window.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <X11/Xlib.h>

#include "exception/raise.hpp"
#include "glfw/headless.hpp"
#include "zarvo/input.h"

// GLFW's native-access header would also pull in the RandR headers; these are all that is
// needed from it.
extern "C" {
Display* glfwGetX11Display(void);
::Window glfwGetX11Window(GLFWwindow* window);
XID glfwGetGLXWindow(GLFWwindow* window);
}

namespace wtk {

namespace {
// Largest side of a window, in pixels. X coordinates are 16-bit signed (32767 at most), and
// OpenGL implementations draw at most 16384 pixels a side (llvmpipe's largest viewport); a
// bigger window could never be filled, and the driver fails outright when it tries to
// present a 32767-pixel square (a 4 GiB image).
constexpr int MAX_SIDE = 16384;
// The description of GLFW's last error on this thread, so that a failure raised after it
// can carry its reason.
thread_local std::string gLastGlfwError;
// The application's error callback while the library's is installed (during a window's
// construction), so that the application still hears of every error.
GLFWerrorfun gApplicationErrorCallback = nullptr;

// The library's live widgets. The application may have GLFW windows of its own, with user
// pointers of its own: a window is ours only when it is listed here. Never destroyed, so
// widgets in static storage can still leave it at exit.
std::vector<const Widget*>& liveWidgets() {
    static auto* widgets = new std::vector<const Widget*>();
    return *widgets;
}

// GLFW started (by a window of the X server): until then, no GLFW call is made, so that a
// program with headless windows only never touches X (and GLFW reports no error about not
// being started).
bool gGlfwStarted = false;
// A headless widget was made: only then are EGL's current contexts asked about.
bool gHeadlessMade = false;
// No X display could be opened for a window left to choose: the windows after it left to
// choose are headless at once, without asking X again.
bool gNoDisplay = false;
// Set while GLFW is asked to start for a window that may do without X: the errors of a
// failed start become the one-line notice instead of going to stderr.
bool gQuietErrors = false;

// The value of an environment variable, or "" when unset.
std::string environment(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// ZV_EGL_DEVICE as an index, -1 when unset or empty.
int eglDeviceFromEnvironment() {
    const std::string value = environment("ZV_EGL_DEVICE");
    if (value.empty()) return -1;
    char* end = nullptr;
    errno = 0;
    const long index = std::strtol(value.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || index < 0 || index > 1000000) {
        ZV_FAIL(BadEglDeviceVariable, "Window constructor", value);
    }
    return static_cast<int>(index);
}

// Set while a window another client destroyed is being destroyed by the library: every
// request GLFW makes for it fails, and none of those errors concerns anyone else.
bool gDestroyingGoneWindow = false;

// How many of the widgets' events are being handled now (a callback may draw, and so call
// back into the library, while the window system is dispatching).
int gDispatchDepth = 0;
class DispatchScope {
public:
    DispatchScope() { ++gDispatchDepth; }
    ~DispatchScope() { --gDispatchDepth; }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;
};

// Native windows whose widget went while one of the widgets' events was being handled:
// GLFW goes on using the window after the callback returns, so it is destroyed only once no
// event is being handled, at the next polling or widget construction or destruction (the
// application may poll through GLFW itself, where the library cannot see the end).
struct DoomedWindow {
    GLFWwindow* window;
    bool gone;
};
std::vector<DoomedWindow>& doomedWindows() {
    static auto* windows = new std::vector<DoomedWindow>();
    return *windows;
}

void destroyNativeWindow(GLFWwindow* window, bool gone);
void destroyDoomedWindows() {
    if (gDispatchDepth > 0) return;
    auto& doomed = doomedWindows();
    while (!doomed.empty()) {
        const DoomedWindow d = doomed.back();
        doomed.pop_back();
        destroyNativeWindow(d.window, d.gone);
    }
}

// The Xlib error handler that was installed before the library's: the application's, or
// Xlib's default one, which prints the error and ends the process.
XErrorHandler gChainedXErrorHandler = nullptr;

// Errors about the library's own windows, on GLFW's connection, mean another client
// destroyed the window: the widget is marked gone instead of the process ending. Every
// other error goes on to the handler installed before.
int xErrorHandler(Display* display, XErrorEvent* error);

// Puts the library's handler first again, keeping whatever was installed before it to pass
// other errors on to. GLFW sets Xlib's default handler back after some of its calls
// (creating a window), and the application may install its own at any time.
void installXErrorHandler() {
    // Xlib's default handler, as XSetErrorHandler names it: asked once, by installing it.
    static const XErrorHandler xlibDefault = [] {
        XErrorHandler before = XSetErrorHandler(nullptr);
        XErrorHandler theDefault = XSetErrorHandler(before);
        return theDefault;
    }();
    XErrorHandler previous = XSetErrorHandler(xErrorHandler);
    if (previous == xErrorHandler) return;
    // Xlib's default in place of ours is GLFW's doing (it installs the default after its own
    // temporary handler), not the application's: an application handler already chained
    // stays chained.
    if (previous == xlibDefault && gChainedXErrorHandler) return;
    gChainedXErrorHandler = previous;
}

// Installs the library's error callback for a scope and puts the application's back.
class ErrorCallbackScope {
public:
    explicit ErrorCallbackScope(GLFWerrorfun ours) : mPrevious(glfwSetErrorCallback(ours)) {
        gApplicationErrorCallback = mPrevious == ours ? nullptr : mPrevious;
    }
    ~ErrorCallbackScope() {
        glfwSetErrorCallback(mPrevious);
        gApplicationErrorCallback = nullptr;
    }
    ErrorCallbackScope(const ErrorCallbackScope&) = delete;
    ErrorCallbackScope& operator=(const ErrorCallbackScope&) = delete;

private:
    GLFWerrorfun mPrevious;
};
}  // namespace

// The public names of input codes are GLFW's values, handed over unchanged.
static_assert(zv::ZV_PRESS == GLFW_PRESS && zv::ZV_RELEASE == GLFW_RELEASE &&
              zv::ZV_REPEAT == GLFW_REPEAT, "input actions");
static_assert(zv::ZV_MOD_SHIFT == GLFW_MOD_SHIFT && zv::ZV_MOD_CONTROL == GLFW_MOD_CONTROL &&
              zv::ZV_MOD_ALT == GLFW_MOD_ALT && zv::ZV_MOD_SUPER == GLFW_MOD_SUPER, "modifiers");
static_assert(zv::ZV_MOUSE_LEFT == GLFW_MOUSE_BUTTON_LEFT &&
              zv::ZV_MOUSE_RIGHT == GLFW_MOUSE_BUTTON_RIGHT &&
              zv::ZV_MOUSE_MIDDLE == GLFW_MOUSE_BUTTON_MIDDLE, "mouse buttons");
static_assert(zv::ZV_KEY_ESCAPE == GLFW_KEY_ESCAPE && zv::ZV_KEY_ENTER == GLFW_KEY_ENTER &&
              zv::ZV_KEY_TAB == GLFW_KEY_TAB && zv::ZV_KEY_BACKSPACE == GLFW_KEY_BACKSPACE &&
              zv::ZV_KEY_RIGHT == GLFW_KEY_RIGHT && zv::ZV_KEY_LEFT == GLFW_KEY_LEFT &&
              zv::ZV_KEY_DOWN == GLFW_KEY_DOWN && zv::ZV_KEY_UP == GLFW_KEY_UP && 'A' == GLFW_KEY_A,
              "keys");

struct Callbacks {
    static Widget* widget(GLFWwindow* w) { return static_cast<Widget*>(glfwGetWindowUserPointer(w)); }
    static void error(int code, const char* description) {
        gLastGlfwError = description ? description : "";
        if (!gQuietErrors) std::fputs(description, stderr);
        if (gApplicationErrorCallback) gApplicationErrorCallback(code, description);
    }
    static void key(GLFWwindow* w, int key, int scancode, int action, int mods) {
        const DispatchScope dispatch;
        Widget* widget = Callbacks::widget(w);
        if (!widget) return;
        if (widget->mListener) widget->mListener->keyEvent(key, scancode, action, mods);
        // Looked up again: the application may have destroyed the window in its callback.
        widget = Callbacks::widget(w);
        if (widget) widget->keyboardHandler(key, scancode, action, mods);
    }
    static void mouseButton(GLFWwindow* w, int button, int action, int mods) {
        const DispatchScope dispatch;
        Widget* widget = Callbacks::widget(w);
        if (!widget || !widget->mListener) return;
        widget->mListener->mouseButtonEvent(button, action, mods, widget->mCursorX,
                                            widget->mCursorY);
    }
    static void cursor(GLFWwindow* w, double x, double y) {
        const DispatchScope dispatch;
        Widget* widget = Callbacks::widget(w);
        if (!widget) return;
        widget->mCursorX = x;
        widget->mCursorY = y;
        if (widget->mListener) widget->mListener->cursorEvent(x, y);
    }
    static void scroll(GLFWwindow* w, double dx, double dy) {
        const DispatchScope dispatch;
        Widget* widget = Callbacks::widget(w);
        if (!widget || !widget->mListener) return;
        widget->mListener->scrollEvent(dx, dy, modifiers(w), widget->mCursorX, widget->mCursorY);
    }
    static void framebufferSize(GLFWwindow* w, int width, int height) {
        const DispatchScope dispatch;
        Widget* widget = Callbacks::widget(w);
        if (widget && widget->mListener) widget->mListener->framebufferSizeEvent(width, height);
    }
    // GLFW hands scroll events no modifiers: they are read from the keys held now.
    static int modifiers(GLFWwindow* w) {
        const auto held = [w](int a, int b) {
            return glfwGetKey(w, a) == GLFW_PRESS || glfwGetKey(w, b) == GLFW_PRESS;
        };
        return (held(GLFW_KEY_LEFT_SHIFT, GLFW_KEY_RIGHT_SHIFT) ? GLFW_MOD_SHIFT : 0) |
               (held(GLFW_KEY_LEFT_CONTROL, GLFW_KEY_RIGHT_CONTROL) ? GLFW_MOD_CONTROL : 0) |
               (held(GLFW_KEY_LEFT_ALT, GLFW_KEY_RIGHT_ALT) ? GLFW_MOD_ALT : 0) |
               (held(GLFW_KEY_LEFT_SUPER, GLFW_KEY_RIGHT_SUPER) ? GLFW_MOD_SUPER : 0);
    }
    static void close(GLFWwindow* w) {
        if (Widget* widget = Callbacks::widget(w)) widget->closeWindow();
    }
    static int xError(Display* display, XErrorEvent* error) {
        if (display == glfwGetX11Display()) {
            const unsigned long id = error->resourceid;
            for (const Widget* w : liveWidgets()) {
                if (id != 0 && (id == w->mXWindow || id == w->mGLXWindow)) {
                    Widget* widget = const_cast<Widget*>(w);
                    widget->mGone = true;
                    widget->mClose = true;
                    return 0;
                }
            }
            if (gDestroyingGoneWindow) return 0;
        }
        return gChainedXErrorHandler ? gChainedXErrorHandler(display, error) : 0;
    }
};

namespace {
int xErrorHandler(Display* display, XErrorEvent* error) {
    return Callbacks::xError(display, error);
}

void destroyNativeWindow(GLFWwindow* window, bool gone) {
    if (gone) {
        // The errors of GLFW's requests about the window (and its GLX drawable) are waited
        // for here, with the library's handler first, so that none reaches another handler.
        installXErrorHandler();
        gDestroyingGoneWindow = true;
        glfwDestroyWindow(window);
        XSync(glfwGetX11Display(), False);
        gDestroyingGoneWindow = false;
    } else {
        glfwDestroyWindow(window);
    }
}
}  // namespace

Widget::Widget() : mWindow(nullptr), mClose(false) {}

Widget::Widget(int width, int height, const char* title, const Widget* share, bool invisible,
               System system, int eglDevice)
    : mWindow(nullptr), mClose(false) {
    destroyDoomedWindows();
    // A window left to choose joins its parent's kind; otherwise ZV_HEADLESS decides: "0"
    // asks for the X server only, any other value for headless windows.
    const std::string forced = environment("ZV_HEADLESS");
    bool headless = system == System::HEADLESS;
    if (system == System::AUTOMATIC)
        headless = share ? share->headless() : (!forced.empty() && forced != "0") || gNoDisplay;
    if (share && share->headless() != headless) {
        ZV_FAIL(ParentOfOtherKind, "Window constructor");
    }
    // A window that may do without X and finds no display to open goes headless, saying so
    // once on stderr.
    const bool mayFallBack = system == System::AUTOMATIC && !share && forced != "0";
    if (!headless && mayFallBack && environment("DISPLAY").empty() &&
        environment("WAYLAND_DISPLAY").empty()) {
        gNoDisplay = headless = true;
        std::fputs("libzarvo: DISPLAY is not set; windows are drawn headless through EGL "
                   "(ZV_HEADLESS=0 refuses this)\n", stderr);
    }
    if (!headless) {
        ErrorCallbackScope errors(Callbacks::error);
        installXErrorHandler();
        gLastGlfwError.clear();
        gQuietErrors = mayFallBack;
        const bool started = glfwInit();
        gQuietErrors = false;
        if (started) {
            gGlfwStarted = true;
        } else if (mayFallBack) {
            gNoDisplay = headless = true;
            std::fprintf(stderr,
                         "libzarvo: no X display could be opened (%s); windows are drawn "
                         "headless through EGL (ZV_HEADLESS=0 refuses this)\n",
                         gLastGlfwError.empty() ? "GLFW gave no reason" : gLastGlfwError.c_str());
        }
    }
    if (headless) {
        if (width < 1 || height < 1 || width > MAX_SIDE || height > MAX_SIDE) {
            // Raised as the window system's windows raise it, which callers may test for.
            ZV_FAIL_AT(WindowSizeOutOfRange, "Window constructor", 57, width, height, MAX_SIDE);
        }
        const bool fromEnvironment = eglDevice < 0;
        if (fromEnvironment) eglDevice = eglDeviceFromEnvironment();
        // A context of the X server current on this thread is put aside first: one thread
        // has one current context across the window system interfaces.
        if (gGlfwStarted && glfwGetCurrentContext()) glfwMakeContextCurrent(nullptr);
        mHeadless = std::make_unique<HeadlessContext>(
            eglDevice, fromEnvironment, share ? share->mHeadless.get() : nullptr);
        gHeadlessMade = true;
        mWidth = width;
        mHeight = height;
        mClose = false;
        liveWidgets().push_back(this);
        return;
    }
    // Installed before the initialisation too, so that the reason a start fails reaches
    // stderr; the application's callback is back when the constructor returns or raises.
    ErrorCallbackScope errors(Callbacks::error);
    // The library's Xlib error handler goes first before GLFW's calls too, so that the
    // application's handler, if it has one, is known before GLFW puts Xlib's default in its
    // place; and again after them.
    installXErrorHandler();
    gLastGlfwError.clear();
    if (!glfwInit()) {
        ZV_FAIL_AT(GlfwNotStarted, "Window constructor", 32,
                   gLastGlfwError.empty() ? std::string(" (is DISPLAY set?)")
                                          : ": " + gLastGlfwError);
    }
    gGlfwStarted = true;
    // Every hint on every construction, so a hidden window does not make the next one hidden.
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, 1);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, invisible ? 0 : 1);
    glfwWindowHint(GLFW_SAMPLES, 4);
    // The X server takes sides of 1 to 32767 pixels and ends the process over any other
    // (GLFW asserts on negative ones); sides outside 1 to MAX_SIDE are refused here as a
    // failed creation.
    std::string reason;
    const bool sizeOk = width >= 1 && height >= 1 && width <= MAX_SIDE && height <= MAX_SIDE;
    if (sizeOk) {
        gLastGlfwError.clear();
        // GLFW makes the new context current for a moment: a headless one current on this
        // thread is put aside first (one thread has one current context across GLX and EGL).
        if (gHeadlessMade && HeadlessContext::anyCurrent()) HeadlessContext::releaseCurrent();
        mWindow = glfwCreateWindow(width, height, title ? title : "", nullptr,
                                   share ? share->mWindow : nullptr);
        if (!mWindow) {
            reason = gLastGlfwError.empty() ? std::string("GLFW gave no reason") : gLastGlfwError;
        }
    }
    // Hints are global: the application's next window must not come out hidden with a 3.3
    // core context. GLFW cannot tell which hints the application had set, so they go back to
    // GLFW's defaults, what an application that sets none expects.
    glfwDefaultWindowHints();
    if (!mWindow) {
        installXErrorHandler();
        if (!sizeOk)
            ZV_FAIL_AT(WindowSizeOutOfRange, "Window constructor", 57, width, height, MAX_SIDE);
        ZV_FAIL_AT(GlfwWindowNotCreated, "Window constructor", 57, reason);
    }
    mXWindow = glfwGetX11Window(mWindow);
    mGLXWindow = glfwGetGLXWindow(mWindow);
    installXErrorHandler();
    glfwSetWindowUserPointer(mWindow, this);
    glfwGetCursorPos(mWindow, &mCursorX, &mCursorY);
    glfwSetKeyCallback(mWindow, Callbacks::key);
    glfwSetWindowCloseCallback(mWindow, Callbacks::close);
    glfwSetMouseButtonCallback(mWindow, Callbacks::mouseButton);
    glfwSetCursorPosCallback(mWindow, Callbacks::cursor);
    glfwSetScrollCallback(mWindow, Callbacks::scroll);
    glfwSetFramebufferSizeCallback(mWindow, Callbacks::framebufferSize);
    liveWidgets().push_back(this);
}

Widget::~Widget() {
    auto& live = liveWidgets();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    // A headless context goes at once: no window system uses it after a callback.
    mHeadless.reset();
    if (!mWindow) return;
    if (gDispatchDepth > 0) {
        // Destroyed from a callback: no more of its events reach anyone, and it leaves the
        // screen now; the native window goes once the polling is over.
        glfwSetWindowUserPointer(mWindow, nullptr);
        if (!mGone) glfwHideWindow(mWindow);
        doomedWindows().push_back({mWindow, mGone});
        return;
    }
    destroyNativeWindow(mWindow, mGone);
    destroyDoomedWindows();
}

// One thread has one current context across the window system interfaces (GLX and EGL):
// the other kind's is detached before this kind's is made current.
void Widget::makeContextCurrent() const {
    if (mHeadless) {
        if (gGlfwStarted && glfwGetCurrentContext()) glfwMakeContextCurrent(nullptr);
        mHeadless->makeCurrent();
        return;
    }
    if (gHeadlessMade && HeadlessContext::anyCurrent()) HeadlessContext::releaseCurrent();
    glfwMakeContextCurrent(mWindow);
}

void Widget::getFrameBufferSize(int* width, int* height) const {
    if (mHeadless) {
        *width = mWidth;
        *height = mHeight;
        return;
    }
    if (!mGone) glfwGetFramebufferSize(mWindow, width, height);
    // The query itself may be what finds the window gone; what GLFW read then is not a size.
    if (mGone) *width = *height = 0;
}

void Widget::setTitle(const char* title) {
    if (!mGone && !mHeadless) glfwSetWindowTitle(mWindow, title ? title : "");
}
void Widget::setPos(int x, int y) {
    if (!mGone && !mHeadless) glfwSetWindowPos(mWindow, x, y);
}
void Widget::setSize(unsigned width, unsigned height) {
    if (mGone) return;
    // Held to the sides the X server takes (see the constructor).
    const unsigned side = static_cast<unsigned>(MAX_SIDE);
    const int w = static_cast<int>(std::max(1u, std::min(width, side)));
    const int h = static_cast<int>(std::max(1u, std::min(height, side)));
    if (mHeadless) {
        mWidth = w;
        mHeight = h;
        return;
    }
    glfwSetWindowSize(mWindow, w, h);
    // A window manager may take a while to carry the resize out (or refuse it): wait for it,
    // a tenth of a second at most, so that the next draw is likely to have the new size. The
    // draw itself does not rely on this: it asks the server for the size and fills that.
    // Without a window manager the server has done it by the first query, which waits for
    // its answer.
    for (int i = 0; i < 50; ++i) {
        int nowW = 0, nowH = 0;
        glfwGetWindowSize(mWindow, &nowW, &nowH);
        if (mGone || (nowW == w && nowH == h)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
void Widget::swapBuffers() {
    if (!mGone && !mHeadless) glfwSwapBuffers(mWindow);
}

void Widget::closeWindow() {
    mClose = true;
    if (!mGone && !mHeadless) glfwHideWindow(mWindow);
}

void Widget::hide() { closeWindow(); }

void Widget::show() {
    if (mGone) return;  // closed for good
    mClose = false;
    if (!mHeadless) glfwShowWindow(mWindow);
}

void Widget::resetCloseFlag() {
    if (mClose) show();
}

void Widget::keyboardHandler(int key, int, int action, int) {
    if (key == GLFW_KEY_ESCAPE && action == GLFW_PRESS) closeWindow();
}

void Widget::pollEvents() {
    if (gDispatchDepth > 0 || !gGlfwStarted) return;
    destroyDoomedWindows();
    installXErrorHandler();
    glfwPollEvents();
    destroyDoomedWindows();
}

bool Widget::dispatching() { return gDispatchDepth > 0; }

const Widget* Widget::current() {
    if (gGlfwStarted) {
        if (GLFWwindow* w = glfwGetCurrentContext()) {
            for (const Widget* widget : liveWidgets())
                if (widget->mWindow == w) return widget;
            return nullptr;  // the application's own window
        }
    }
    if (gHeadlessMade && HeadlessContext::anyCurrent()) {
        for (const Widget* widget : liveWidgets())
            if (widget->mHeadless && widget->mHeadless->isCurrent()) return widget;
    }
    return nullptr;
}

void Widget::makeNoneCurrent() {
    if (gGlfwStarted) glfwMakeContextCurrent(nullptr);
    if (gHeadlessMade) HeadlessContext::releaseCurrent();
}

// The handle is a GLFW window (the library's or the application's), or one of the library's
// headless widgets.
const void* Widget::currentAny() {
    if (gGlfwStarted) {
        if (GLFWwindow* w = glfwGetCurrentContext()) return w;
    }
    if (gHeadlessMade) return current();
    return nullptr;
}

void Widget::makeAnyCurrent(const void* handle) {
    for (const Widget* widget : liveWidgets()) {
        if (widget == handle) {
            widget->makeContextCurrent();
            return;
        }
    }
    if (!handle) {
        makeNoneCurrent();
        return;
    }
    if (gHeadlessMade && HeadlessContext::anyCurrent()) HeadlessContext::releaseCurrent();
    glfwMakeContextCurrent(static_cast<GLFWwindow*>(const_cast<void*>(handle)));
}

const void* Widget::currentApplication() {
    if (current()) return nullptr;
    if (!gGlfwStarted) {
        // Quiet: an application with no GLFW of its own (or no display) simply has no window
        // of GLFW current, and is told so by the caller.
        ErrorCallbackScope errors(Callbacks::error);
        installXErrorHandler();
        gQuietErrors = true;
        const bool started = glfwInit();
        gQuietErrors = false;
        if (!started) return nullptr;
        gGlfwStarted = true;
    }
    return glfwGetCurrentContext();
}

}  // namespace wtk
