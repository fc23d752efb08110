// A window destroyed by another X client (as `xdotool windowclose` or a window manager's
// kill does) while the program goes on drawing: the process must not end over the X errors
// that follow, the window reports closed, and the application's own Xlib error handler
// still hears about its own errors.

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <vector>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "gl/gl.hpp"
#include "window/window.hpp"
#include "zarvo.h"

// GLFW's native-access header would also pull in the RandR headers; these two are all the
// test needs from it.
extern "C" {
Display* glfwGetX11Display(void);
::Window glfwGetX11Window(GLFWwindow* window);
}

namespace {

GLFWwindow* nativeOf(const zv::Window& w) { return w.get()->impl()->get()->getNativeHandle(); }

// Destroys the window from a second connection to the X server, as another client would.
void destroyFromAnotherClient(const zv::Window& window) {
    const ::Window id = glfwGetX11Window(nativeOf(window));
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, other);
    XDestroyWindow(other, id);
    XSync(other, False);
    XCloseDisplay(other);
}

// An 8 x 8 grey image, every pixel `value`.
void fill(zv::Window& window, const zv::Image& image, unsigned char value) {
    window.makeCurrent();
    std::vector<unsigned char> pixels(64, value);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, image.pbo());
    glBufferSubData(GL_PIXEL_UNPACK_BUFFER, 0, 64, pixels.data());
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
}

// Green channel of the snapshot's centre pixel.
int centre(const zv::Snapshot& s) {
    return s.rgba[(static_cast<size_t>(s.height / 2) * s.width + s.width / 2) * 4 + 1];
}

TEST(ForeignCloseGLTest, WindowDestroyedByAnotherClientStaysClosedAndTheProgramGoesOn) {
    {
        zv::Window window(200, 150, "closed by another client");
        zv::Image image(8, 8, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
        fill(window, image, 255);
        zv::Plot plot(16, zv::ZV_FLOAT32);
        window.draw(image, false);
        ASSERT_FALSE(window.close());

        destroyFromAnotherClient(window);
        // The first draw afterwards finds the window gone, before drawing into it.
        EXPECT_NO_THROW(window.draw(image, false));
        EXPECT_TRUE(window.close());

        // Everything a program does with a closed window keeps working, and leaves it closed:
        // a draw does not bring it back, as it would a window the user closed.
        EXPECT_NO_THROW({
            for (int frame = 0; frame < 5; ++frame) {
                window.draw(image);
                window.draw(plot);
                window.grid(1, 2);
                window.draw(0, 0, image);
                window.draw(1, 0, plot);
                window.draw();
            }
            window.show();
            window.setSize(300, 200);
            window.setTitle("still closed");
            window.setPos(10, 10);
            window.makeCurrent();
            zv::Image another(4, 4, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
            window.draw(another);
        });
        EXPECT_TRUE(window.close());
        EXPECT_EQ(0, window.framebufferSize().width);
        EXPECT_EQ(0, window.snapshot().width);
    }
    // Destroying it went through too; and the window system still serves new windows.
    zv::Window next(120, 90, "next");
    zv::Image image(8, 8, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    fill(next, image, 255);
    next.draw(image, false);
    zv::Snapshot s = next.snapshot();
    ASSERT_EQ(120, s.width);
    EXPECT_GE(centre(s), 252);
    EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());
}

std::vector<XErrorEvent> gApplicationErrors;
int applicationHandler(Display*, XErrorEvent* e) {
    gApplicationErrors.push_back(*e);
    return 0;
}

// The application's handler, installed before the library's first window, is chained, not
// replaced: GLFW puts Xlib's default handler back after making a window, which would end
// the process at the application's next error.
TEST(ForeignCloseGLTest, ApplicationXErrorHandlerIsChained) {
    XSetErrorHandler(applicationHandler);
    zv::Window window(200, 150, "application's handler");
    zv::Image image(8, 8, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    window.draw(image);

    // An error of the application's own, on a connection of its own and on GLFW's.
    const ::Window noSuchWindow = 0x7;
    Display* own = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, own);
    XWindowAttributes attributes;
    gApplicationErrors.clear();
    XGetWindowAttributes(own, noSuchWindow, &attributes);
    XGetWindowAttributes(glfwGetX11Display(), noSuchWindow, &attributes);
    ASSERT_EQ(2u, gApplicationErrors.size());
    EXPECT_EQ(own, gApplicationErrors[0].display);
    for (const XErrorEvent& e : gApplicationErrors) {
        EXPECT_EQ(BadWindow, e.error_code);
        EXPECT_EQ(noSuchWindow, e.resourceid);
    }

    // The errors about the library's window destroyed by another client are the library's.
    gApplicationErrors.clear();
    destroyFromAnotherClient(window);
    for (int frame = 0; frame < 5; ++frame) window.draw(image);
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(gApplicationErrors.empty());

    // An application that installs its handler while the library's windows live is heard too.
    XSetErrorHandler(applicationHandler);
    window.draw(image);
    gApplicationErrors.clear();
    XGetWindowAttributes(own, noSuchWindow, &attributes);
    EXPECT_EQ(1u, gApplicationErrors.size());
    XCloseDisplay(own);
    XSetErrorHandler(nullptr);
}

}  // namespace
