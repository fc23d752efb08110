#pragma once
// Real input for GL tests: events synthesised on the test's X server through XTest, as a
// user's mouse and keyboard would make them, aimed at a GLFW window's drawing area.

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

// GLFW's native-access header would also pull in the RandR headers; these two are all the
// tests need from it.
extern "C" {
Display* glfwGetX11Display(void);
::Window glfwGetX11Window(GLFWwindow* window);
}

namespace zvtest {

class XInput {
public:
    explicit XInput(GLFWwindow* window) : mWindow(window), mDisplay(glfwGetX11Display()) {}

    // Moves the pointer to (x, y) pixels from the top-left corner of the drawing area.
    void moveTo(int x, int y) {
        int wx = 0, wy = 0;
        glfwGetWindowPos(mWindow, &wx, &wy);
        XTestFakeMotionEvent(mDisplay, -1, wx + x, wy + y, CurrentTime);
        flush();
    }
    // X buttons: 1 left, 2 middle, 3 right, 4 and 5 the wheel up and down.
    void button(unsigned b, bool press) {
        XTestFakeButtonEvent(mDisplay, b, press ? True : False, CurrentTime);
        flush();
    }
    void click(unsigned b) {
        button(b, true);
        button(b, false);
    }
    void key(KeySym sym, bool press) {
        XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, sym), press ? True : False,
                          CurrentTime);
        flush();
    }
    void tap(KeySym sym) {
        key(sym, true);
        key(sym, false);
    }
    void flush() { XSync(mDisplay, False); }

private:
    GLFWwindow* mWindow;
    Display* mDisplay;
};

}  // namespace zvtest
