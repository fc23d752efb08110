// Input and resize callbacks of zv::Window and the framebuffer size, driven by real events
// synthesised on the test's X server.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "glfw/window.hpp"
#include "support/gl_test.hpp"
#include "support/glfw_util.hpp"
#include "support/x11_input.hpp"
#include "window/window.hpp"
#include "zarvo.h"

namespace {

GLFWwindow* nativeOf(zv::Window& w) { return w.get()->get()->get()->getNativeHandle(); }

// A shown window at a known place on the screen, with something cheap to draw: each draw
// polls the events.
class InputGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.setPos(40, 30);
        ASSERT_TRUE(zvtest::isVisible(nativeOf(window)));
        ASSERT_TRUE(zvtest::isAt(nativeOf(window), 40, 30));
        window.draw(histogram);
    }
    // Draws until `done` holds, a bounded number of times: the X server delivers events
    // asynchronously.
    template <typename P>
    bool drawUntil(P done) {
        for (int i = 0; i < 100; ++i) {
            window.draw(histogram);
            if (done()) return true;
            glfwWaitEventsTimeout(0.01);
        }
        return done();
    }
    zv::Window window{320, 240, "input"};
    zv::Histogram histogram{4, zv::ZV_FLOAT32};
    zvtest::XInput input{nativeOf(window)};
};

std::string fmt(double v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

// Every kind of event reaches its callback, in the order it happened, with the position,
// button, key, action and modifiers the user made.
TEST_F(InputGLTest, CallbacksGetEventsInOrderWithTheirArguments) {
    std::vector<std::string> events;
    window.setKeyCallback([&](int key, int, int action, int mods) {
        events.push_back("key " + std::to_string(key) + " " + std::to_string(action) + " " +
                         std::to_string(mods));
    });
    window.setMouseButtonCallback([&](int button, int action, int mods, double x, double y) {
        events.push_back("button " + std::to_string(button) + " " + std::to_string(action) +
                         " " + std::to_string(mods) + " at " + fmt(x) + "," + fmt(y));
    });
    window.setCursorCallback(
        [&](double x, double y) { events.push_back("cursor " + fmt(x) + "," + fmt(y)); });
    window.setScrollCallback(
        [&](double dx, double dy) { events.push_back("scroll " + fmt(dx) + "," + fmt(dy)); });

    input.moveTo(50, 60);
    input.button(1, true);
    input.moveTo(70, 65);
    input.button(1, false);
    input.click(4);  // wheel up
    input.click(5);  // wheel down
    input.tap(XK_a);
    input.key(XK_Shift_L, true);
    input.click(3);
    input.key(XK_Shift_L, false);
    const std::vector<std::string> expected = {
        "cursor 50,60",
        "button 0 1 0 at 50,60",
        "cursor 70,65",
        "button 0 0 0 at 70,65",
        "scroll 0,1",
        "scroll 0,-1",
        "key 65 1 0",
        "key 65 0 0",
        "key 340 1 0",  // left Shift: modifiers are those held before the event
        "button 1 1 1 at 70,65",
        "button 1 0 1 at 70,65",
        "key 340 0 1",
    };
    EXPECT_TRUE(drawUntil([&] { return events.size() >= expected.size(); }));
    EXPECT_EQ(expected, events);

    // An empty function removes a callback.
    events.clear();
    window.setCursorCallback(nullptr);
    input.moveTo(20, 20);
    input.click(4);
    EXPECT_TRUE(drawUntil([&] { return !events.empty(); }));
    EXPECT_EQ(std::vector<std::string>{"scroll 0,1"}, events);
}

// Escape still hides the window while the key callback sees it; a callback that throws does
// not stop the later events, and its exception comes out of the draw that polled.
TEST_F(InputGLTest, EscapeKeepsItsMeaningAndCallbackErrorsComeOutOfTheDraw) {
    std::vector<int> keys;
    window.setKeyCallback([&](int key, int, int action, int) {
        if (action == zv::ZV_PRESS) keys.push_back(key);
    });
    int clicks = 0;
    window.setMouseButtonCallback([&](int, int action, int, double, double) {
        if (action == zv::ZV_PRESS && ++clicks == 1) throw std::runtime_error("from a callback");
    });
    input.moveTo(100, 100);
    input.click(1);
    input.click(1);
    bool thrown = false;
    for (int i = 0; i < 100 && clicks < 2; ++i) {
        try {
            window.draw(histogram);
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ("from a callback", e.what());
            thrown = true;
        }
        glfwWaitEventsTimeout(0.01);
    }
    EXPECT_TRUE(thrown);
    EXPECT_EQ(2, clicks);

    input.tap(XK_Escape);
    for (int i = 0; i < 100 && !window.close(); ++i) {
        glfwWaitEventsTimeout(0.01);
        glfwPollEvents();
    }
    EXPECT_TRUE(window.close());
    EXPECT_EQ(std::vector<int>{zv::ZV_KEY_ESCAPE}, keys);
    EXPECT_FALSE(zvtest::isVisible(nativeOf(window), false));
}

// framebufferSize() follows a resize, which the resize callback reports; width() and
// height() keep the creation size; drawing and snapshots fill the new size.
TEST_F(InputGLTest, FramebufferSizeFollowsResizes) {
    EXPECT_EQ(320, window.framebufferSize().width);
    EXPECT_EQ(240, window.framebufferSize().height);
    std::vector<std::pair<int, int>> sizes;
    window.setResizeCallback([&](int w, int h) { sizes.emplace_back(w, h); });
    window.setSize(400, 180);
    EXPECT_TRUE(drawUntil([&] { return !sizes.empty(); }));
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(std::make_pair(400, 180), sizes.back());
    EXPECT_EQ(400, window.framebufferSize().width);
    EXPECT_EQ(180, window.framebufferSize().height);
    EXPECT_EQ(320, window.width());
    EXPECT_EQ(240, window.height());
    window.draw(histogram);
    zv::Snapshot s = window.snapshot();
    EXPECT_EQ(400, s.width);
    EXPECT_EQ(180, s.height);
}

}  // namespace
