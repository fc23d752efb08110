// The application's own GLFW world beside the library's windows: its error callback, the
// hints its next window is made with, and its windows, which carry user pointers of its own.

#include <gtest/gtest.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "gl/context.hpp"
#include "support/glfw_util.hpp"
#include "zarvo.h"

namespace {

int gApplicationErrors = 0;
void applicationErrorCallback(int, const char*) { ++gApplicationErrors; }

TEST(ApplicationGlfwGLTest, ErrorCallbackHintsAndOwnWindowsAreLeftAsFound) {
    ASSERT_EQ(GLFW_TRUE, glfwInit());
    glfwSetErrorCallback(applicationErrorCallback);
    int applicationData = 42;
    GLFWwindow* own = glfwCreateWindow(64, 48, "application", nullptr, nullptr);
    ASSERT_NE(nullptr, own);
    glfwSetWindowUserPointer(own, &applicationData);
    {
        zv::Window window(320, 240, "library", nullptr, true);

        // The application's callback is installed again, and hears the application's errors.
        EXPECT_EQ(&applicationErrorCallback, glfwSetErrorCallback(applicationErrorCallback));
        gApplicationErrors = 0;
        glfwWindowHint(0x7FFFFFFF, 0);  // GLFW_INVALID_ENUM
        EXPECT_EQ(1, gApplicationErrors);

        // A window made with the hints GLFW starts with comes out as they say: shown, and
        // not the library's hidden 3.3 core context.
        GLFWwindow* next = glfwCreateWindow(64, 48, "application, second", nullptr, nullptr);
        ASSERT_NE(nullptr, next);
        EXPECT_TRUE(zvtest::isVisible(next));
        EXPECT_NE(GLFW_OPENGL_CORE_PROFILE, glfwGetWindowAttrib(next, GLFW_OPENGL_PROFILE));
        glfwDestroyWindow(next);

        // With the application's context current, its window is not taken for one of ours,
        // whatever its user pointer holds, and that pointer is left alone.
        glfwMakeContextCurrent(own);
        EXPECT_EQ(nullptr, internal::actuallyCurrentWindow());
        window.makeCurrent();
        EXPECT_NE(nullptr, internal::actuallyCurrentWindow());
        EXPECT_EQ(&applicationData, glfwGetWindowUserPointer(own));
    }
    glfwDestroyWindow(own);
    glfwSetErrorCallback(nullptr);
}

}  // namespace
