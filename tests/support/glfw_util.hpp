#pragma once
// Reading a native window's visibility in tests. The X server maps and unmaps windows
// asynchronously: wait (bounded, about two seconds) for it to reach the expected state.

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

namespace zvtest {

inline bool isVisible(GLFWwindow* native, bool expected = true) {
    for (int i = 0; i < 200 && (glfwGetWindowAttrib(native, GLFW_VISIBLE) != 0) != expected; ++i)
        glfwWaitEventsTimeout(0.01);
    return glfwGetWindowAttrib(native, GLFW_VISIBLE) != 0;
}

}  // namespace zvtest
