#pragma once
// Reading a native window's visibility and place in tests. The X server maps, unmaps and
// moves windows asynchronously: wait (bounded, about two seconds) for the expected state.

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

namespace zvtest {

inline bool isVisible(GLFWwindow* native, bool expected = true) {
    for (int i = 0; i < 200 && (glfwGetWindowAttrib(native, GLFW_VISIBLE) != 0) != expected; ++i)
        glfwWaitEventsTimeout(0.01);
    return glfwGetWindowAttrib(native, GLFW_VISIBLE) != 0;
}

// Whether the window has reached the screen position (x, y).
inline bool isAt(GLFWwindow* native, int x, int y) {
    int wx = 0, wy = 0;
    for (int i = 0; i < 200; ++i) {
        glfwGetWindowPos(native, &wx, &wy);
        if (wx == x && wy == y) return true;
        glfwWaitEventsTimeout(0.01);
    }
    return false;
}

}  // namespace zvtest
