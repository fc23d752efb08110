// The native window: hints, visibility, the closed flag and its events, shared contexts.
#include <gtest/gtest.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "glfw/window.hpp"
#include "support/gl_test.hpp"
#include "support/glfw_util.hpp"

namespace {

bool visible(const wtk::Widget& w, bool expected = true) {
    return zvtest::isVisible(w.getNativeHandle(), expected);
}

// Runs the key callback the widget registered, as GLFW would from pollEvents.
void sendKey(const wtk::Widget& w, int key, int action) {
    GLFWwindow* native = w.getNativeHandle();
    GLFWkeyfun registered = glfwSetKeyCallback(native, nullptr);
    ASSERT_NE(nullptr, registered);
    registered(native, key, 0, action, 0);
    glfwSetKeyCallback(native, registered);
}

void sendClose(const wtk::Widget& w) {
    GLFWwindow* native = w.getNativeHandle();
    GLFWwindowclosefun registered = glfwSetWindowCloseCallback(native, nullptr);
    ASSERT_NE(nullptr, registered);
    registered(native);
    glfwSetWindowCloseCallback(native, registered);
}

TEST(WidgetGLTest, DefaultWidgetHasNoWindow) {
    wtk::Widget w;
    EXPECT_EQ(nullptr, w.getNativeHandle());
    EXPECT_FALSE(w.close());
}

TEST(WidgetGLTest, CoreContextOfAtLeast33WithFourSamples) {
    wtk::Widget w(320, 240, "hints", nullptr, true);
    GLFWwindow* native = w.getNativeHandle();
    ASSERT_NE(nullptr, native);
    EXPECT_GE(glfwGetWindowAttrib(native, GLFW_CONTEXT_VERSION_MAJOR) * 10 +
                  glfwGetWindowAttrib(native, GLFW_CONTEXT_VERSION_MINOR),
              33);
    EXPECT_EQ(GLFW_OPENGL_CORE_PROFILE, glfwGetWindowAttrib(native, GLFW_OPENGL_PROFILE));
    EXPECT_EQ(GLFW_TRUE, glfwGetWindowAttrib(native, GLFW_OPENGL_FORWARD_COMPAT));
    w.makeContextCurrent();
    EXPECT_EQ(&w, wtk::Widget::current());
    // Core GL 1.x entry points need no loader.
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    EXPECT_EQ(4, samples);
    wtk::Widget::makeNoneCurrent();
    EXPECT_EQ(nullptr, wtk::Widget::current());
}

TEST(WidgetGLTest, InvisibleCreationDoesNotLeakIntoTheNextWindow) {
    wtk::Widget hidden(200, 100, "hidden", nullptr, true);
    EXPECT_FALSE(visible(hidden, false));
    EXPECT_FALSE(hidden.close());
    wtk::Widget shown(200, 100, "shown", nullptr, false);
    EXPECT_TRUE(visible(shown));
    int w = 0, h = 0;
    shown.getFrameBufferSize(&w, &h);
    EXPECT_EQ(200, w);
    EXPECT_EQ(100, h);
    // resetCloseFlag does not show a window that was created hidden.
    hidden.resetCloseFlag();
    EXPECT_FALSE(visible(hidden, false));
}

TEST(WidgetGLTest, HideShowAndTheClosedFlag) {
    wtk::Widget w(200, 100, "flags", nullptr, false);
    w.hide();
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(visible(w, false));
    w.show();
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(visible(w));
    w.hide();
    w.resetCloseFlag();
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(visible(w));
}

TEST(WidgetGLTest, EscapePressClosesOtherKeysAndActionsDoNot) {
    wtk::Widget w(200, 100, "keys", nullptr, false);
    struct Case { int key, action; } ignored[] = {
        {GLFW_KEY_ESCAPE, GLFW_RELEASE}, {GLFW_KEY_ESCAPE, GLFW_REPEAT}, {GLFW_KEY_A, GLFW_PRESS},
        {GLFW_KEY_Q, GLFW_PRESS}};
    for (const Case& c : ignored) {
        sendKey(w, c.key, c.action);
        EXPECT_FALSE(w.close()) << c.key << " " << c.action;
        EXPECT_TRUE(visible(w));
    }
    sendKey(w, GLFW_KEY_ESCAPE, GLFW_PRESS);
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(visible(w, false));
}

TEST(WidgetGLTest, CloseButtonHidesButKeepsTheWindow) {
    wtk::Widget w(200, 100, "close", nullptr, false);
    sendClose(w);
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(visible(w, false));
    ASSERT_NE(nullptr, w.getNativeHandle());
    w.show();
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(visible(w));
}

TEST(WidgetGLTest, TitlePositionAndSize) {
    wtk::Widget w(200, 100, "size", nullptr, false);
    w.setTitle("renamed");
    w.setSize(300, 150);
    w.setPos(10, 20);
    w.pollEvents();
    int width = 0, height = 0;
    glfwGetWindowSize(w.getNativeHandle(), &width, &height);
    EXPECT_EQ(300, width);
    EXPECT_EQ(150, height);
}

// Two windows of one share group see each other's buffers (through the window core, which
// also loads the entry points).
class SharedContextGLTest : public zvtest::GLTest {};

TEST_F(SharedContextGLTest, BufferMadeInOneContextIsUsableInTheOther) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const float data[4] = {1, 2, 3, 4};
    glBufferData(GL_ARRAY_BUFFER, sizeof(data), data, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glFinish();
    auto child = std::make_shared<internal::window_impl>(100, 100, "child", window, true);
    EXPECT_EQ(window->glewContext(), child->glewContext());
    EXPECT_EQ(wtk::Widget::current(), child->get());
    EXPECT_TRUE(glIsBuffer(buffer));
    float back[4] = {0, 0, 0, 0};
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(back), back);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_EQ(3.0f, back[2]);
    // An unrelated window does not share it.
    auto stranger = std::make_shared<internal::window_impl>(100, 100, "stranger",
                                                            std::weak_ptr<internal::window_impl>(), true);
    EXPECT_FALSE(glIsBuffer(buffer));
    internal::MakeContextCurrent(window.get());
    glDeleteBuffers(1, &buffer);
}

}  // namespace
