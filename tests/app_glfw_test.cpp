// The application's own GLFW world beside the library's windows: its error callback, the
// hints its next window is made with, and its windows, which carry user pointers of its own.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

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

// The application's own hidden GLFW window, made the way an application makes it; null when
// GLFW or the window cannot start.
GLFWwindow* applicationWindow() {
    if (glfwInit() != GLFW_TRUE) return nullptr;
    glfwWindowHint(GLFW_VISIBLE, 0);
    GLFWwindow* own = glfwCreateWindow(64, 48, "application", nullptr, nullptr);
    glfwDefaultWindowHints();
    return own;
}

// Destroying any of the library's objects, or a window, puts back the context that was
// current before: the application's own, or none. (One of the library's windows current
// before stays current: tests/lifetime_test.cpp.)
TEST(ApplicationGlfwGLTest, ApplicationContextIsCurrentAgainAfterADestruction) {
    GLFWwindow* own = applicationWindow();
    ASSERT_NE(nullptr, own);

    struct Case {
        const char* name;
        // Makes the object (drawn once, so that it has per-window state too) and returns
        // something whose destruction destroys it.
        std::function<std::shared_ptr<void>(zv::Window&)> make;
    };
    const Case cases[] = {
        {"image", [](zv::Window& w) {
             auto o = std::make_shared<zv::Image>(8, 8, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
             w.draw(*o);
             return std::shared_ptr<void>(o);
         }},
        {"plot", [](zv::Window& w) {
             auto o = std::make_shared<zv::Plot>(16, zv::ZV_FLOAT32);
             w.draw(*o);
             return std::shared_ptr<void>(o);
         }},
        {"histogram", [](zv::Window& w) {
             auto o = std::make_shared<zv::Histogram>(16, zv::ZV_FLOAT32);
             w.draw(*o);
             return std::shared_ptr<void>(o);
         }},
        {"chart", [](zv::Window& w) {
             auto o = std::make_shared<zv::Chart>();
             w.draw(*o);
             return std::shared_ptr<void>(o);
         }},
        {"font", [](zv::Window&) {
             auto o = std::make_shared<zv::Font>();
             o->loadFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 16);
             return std::shared_ptr<void>(o);
         }},
        {"window", [](zv::Window&) {
             return std::shared_ptr<void>(std::make_shared<zv::Window>(64, 48, "second",
                                                                       nullptr, true));
         }},
    };
    zv::Window window(160, 120, "library", nullptr, true);
    for (const Case& c : cases) {
        for (GLFWwindow* before : {own, static_cast<GLFWwindow*>(nullptr)}) {
            SCOPED_TRACE(std::string(c.name) + (before ? ", application's context" : ", none"));
            window.makeCurrent();
            std::shared_ptr<void> object = c.make(window);
            glfwMakeContextCurrent(before);
            object.reset();
            EXPECT_EQ(before, glfwGetCurrentContext());
        }
    }
    // The last window of a group takes the group's shared objects along with it.
    for (GLFWwindow* before : {own, static_cast<GLFWwindow*>(nullptr)}) {
        SCOPED_TRACE(before ? "last window, application's context" : "last window, none");
        auto last = std::make_unique<zv::Window>(64, 48, "last", nullptr, true);
        zv::Plot plot(16, zv::ZV_FLOAT32);
        last->draw(plot);
        glfwMakeContextCurrent(before);
        last.reset();
        EXPECT_EQ(before, glfwGetCurrentContext());
    }
    glfwDestroyWindow(own);
}

// Objects belong to the share group of the library's window whose context is current: with
// the application's own context current, or none, there is none to make them in, and the
// constructor says so instead of making them in whatever context is there. A window of
// the library that the application made current itself serves.
TEST(ApplicationGlfwGLTest, ObjectsAreMadeOnlyWithALibraryWindowCurrent) {
    GLFWwindow* own = applicationWindow();
    ASSERT_NE(nullptr, own);
    const std::pair<const char*, std::function<void()>> makers[] = {
        {"plot", [] { zv::Plot p(16, zv::ZV_FLOAT32); }},
        {"histogram", [] { zv::Histogram h(16, zv::ZV_FLOAT32); }},
        {"image", [] { zv::Image im(8, 8, zv::ZV_GRAYSCALE, zv::ZV_UINT8); }},
        {"chart", [] { zv::Chart c; }},
        {"font", [] { zv::Font f; }},
    };
    zv::Window window(160, 120, "library", nullptr, true);
    GLFWwindow* ours = glfwGetCurrentContext();
    ASSERT_NE(nullptr, ours);
    for (const auto& maker : makers) {
        for (GLFWwindow* current : {own, static_cast<GLFWwindow*>(nullptr)}) {
            SCOPED_TRACE(std::string(maker.first) +
                         (current ? ", application's context" : ", none"));
            glfwMakeContextCurrent(current);
            try {
                maker.second();
                ADD_FAILURE() << "nothing was raised";
            } catch (const zv::Error& e) {
                EXPECT_EQ(zv::ZV_ERR_GL, e.err()) << e.what();
                const std::string advice = e.expectedCondition();
                EXPECT_NE(std::string::npos, advice.find("make a window of the library current"))
                    << advice;
            }
            EXPECT_EQ(current, glfwGetCurrentContext());
        }
        glfwMakeContextCurrent(ours);
        EXPECT_NO_THROW(maker.second()) << maker.first;
    }
    glfwDestroyWindow(own);
}

}  // namespace
