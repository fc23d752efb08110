// Input and resize callbacks of zv::Window and the framebuffer size, driven by real events
// synthesised on the test's X server.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "glfw/window.hpp"
#include "support/gl_test.hpp"
#include "support/glfw_util.hpp"
#include "support/x11_input.hpp"
#include "window/window.hpp"
#include "zarvo.h"

namespace {

GLFWwindow* nativeOf(zv::Window& w) { return w.get()->impl()->get()->getNativeHandle(); }

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
    // Draws until `done` holds, a bounded number of times, without polling anywhere else:
    // every callback then runs inside one of the draws.
    template <typename P>
    bool drawOnlyUntil(zv::Window& w, P done) {
        for (int i = 0; i < 200 && !done(); ++i) {
            w.draw(histogram);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
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

// A callback that removes or replaces itself runs to its end with its own captures; a
// callback's own state lasts from one call to the next, and a replacement gets the events
// that follow.
TEST_F(InputGLTest, CallbackReplacedWhileRunningFinishesWithItsCaptures) {
    std::vector<std::string> seen;
    const std::string note(64, 'n');  // on the heap, so that reading it freed is caught
    window.setMouseButtonCallback([&, note](int, int action, int, double, double) {
        if (action != zv::ZV_PRESS) return;
        window.setMouseButtonCallback(nullptr);  // a one-shot handler
        seen.push_back(note);
    });
    window.setKeyCallback([&, count = 0, tag = std::string(32, 'f')](int, int, int action,
                                                                   int) mutable {
        if (action != zv::ZV_PRESS) return;
        if (++count == 2) {
            window.setKeyCallback([&, tag = std::string(32, 'r')](int key, int, int a, int) {
                if (a == zv::ZV_PRESS) seen.push_back(tag + " " + std::to_string(key));
            });
        }
        seen.push_back(tag + " " + std::to_string(count));
    });
    input.moveTo(60, 60);
    input.click(1);
    input.click(1);
    input.tap(XK_a);
    input.tap(XK_b);
    input.tap(XK_c);
    const std::vector<std::string> expected = {note, std::string(32, 'f') + " 1",
                                               std::string(32, 'f') + " 2",
                                               std::string(32, 'r') + " 67"};
    EXPECT_TRUE(drawOnlyUntil(window, [&] { return seen.size() >= expected.size(); }));
    EXPECT_EQ(expected, seen);
}

// A callback that draws another window and takes its snapshot leaves each window's context
// with its own application state, and the draw that polled leaves its own window current.
TEST_F(InputGLTest, CallbackDrawingAnotherWindowKeepsEachContextsState) {
    zv::Window other(160, 120, "other", &window, true);
    other.makeCurrent();
    glEnable(GL_CULL_FACE);
    window.makeCurrent();
    glEnable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    zv::Snapshot picture;
    window.setResizeCallback([&](int, int) {
        other.draw(histogram);
        picture = other.snapshot();
    });
    window.setSize(300, 200);
    EXPECT_TRUE(drawOnlyUntil(window, [&] { return picture.width > 0; }));
    EXPECT_EQ(160, picture.width);
    EXPECT_EQ(nativeOf(window), glfwGetCurrentContext());
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(GL_LINE, mode[0]);
    glDisable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    other.makeCurrent();
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(GL_FILL, mode[0]);
    glDisable(GL_CULL_FACE);
}

// A draw made by a callback does not poll: the events still queued reach the callback one
// after the other from the outer polling, so redrawing on every motion does not nest.
TEST_F(InputGLTest, RedrawFromACursorCallbackDoesNotNest) {
    int depth = 0, deepest = 0, calls = 0;
    double lastX = -1, lastY = -1;
    window.setCursorCallback([&](double x, double y) {
        ++calls;
        lastX = x;
        lastY = y;
        deepest = std::max(deepest, ++depth);
        window.draw(histogram);
        --depth;
    });
    Display* display = glfwGetX11Display();
    int wx = 0, wy = 0;
    glfwGetWindowPos(nativeOf(window), &wx, &wy);
    const int motions = 300;
    for (int i = 0; i < motions; ++i)
        XTestFakeMotionEvent(display, -1, wx + 10 + i % 200, wy + 10 + i / 200, CurrentTime);
    XSync(display, False);
    const int endX = 10 + (motions - 1) % 200, endY = 10 + (motions - 1) / 200;
    EXPECT_TRUE(drawOnlyUntil(window, [&] { return lastX == endX && lastY == endY; }));
    EXPECT_EQ(1, deepest);
    EXPECT_GE(calls, motions - 1);  // the first motion may land where the pointer already was
}

// The last handle of a window dropped in the window's own resize or key callback: the call
// returns, the window is gone once the polling is done, and the program goes on, whether a
// draw or the application itself polled. What the resize callback throws after dropping the
// window comes out of the next draw that polls (the window's own one, as it polled).
TEST(CallbackLifetimeGLTest, WindowDestroyedFromItsOwnCallback) {
    zv::Window keeper(64, 48, "keeper", nullptr, true);
    zv::Histogram histogram(4, zv::ZV_FLOAT32);
    for (bool byKey : {false, true}) {
        for (bool drawPolls : {true, false}) {
            SCOPED_TRACE(std::string(byKey ? "key" : "resize") +
                         (drawPolls ? ", a draw polls" : ", the application polls"));
            auto doomed = std::make_unique<zv::Window>(200, 150, "doomed", &keeper);
            doomed->setPos(300, 200);
            ASSERT_TRUE(zvtest::isVisible(nativeOf(*doomed)));
            ASSERT_TRUE(zvtest::isAt(nativeOf(*doomed), 300, 200));
            doomed->draw(histogram);
            int calls = 0;
            if (byKey) {
                doomed->setKeyCallback([&](int, int, int, int) {
                    ++calls;
                    doomed.reset();
                });
                zvtest::XInput input(nativeOf(*doomed));
                input.moveTo(50, 50);
                input.tap(XK_a);
            } else {
                doomed->setResizeCallback([&](int, int) {
                    ++calls;
                    doomed.reset();
                    throw std::runtime_error("after dropping the window");
                });
                doomed->setSize(260, 180);
            }
            bool thrown = false;
            const auto polled = [&](const std::function<void()>& poll) {
                try {
                    poll();
                } catch (const std::runtime_error& e) {
                    EXPECT_STREQ("after dropping the window", e.what());
                    thrown = true;
                }
            };
            for (int i = 0; i < 200 && doomed; ++i) {
                if (drawPolls) {
                    polled([&] { doomed->draw(histogram); });
                } else {
                    glfwPollEvents();
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            EXPECT_FALSE(doomed);
            EXPECT_EQ(1, calls);  // no event reaches a window after its last handle is gone
            polled([&] { keeper.draw(histogram); });
            EXPECT_EQ(!byKey, thrown);
            keeper.draw(histogram);
            EXPECT_EQ(nativeOf(keeper), glfwGetCurrentContext());
            EXPECT_EQ(64, keeper.snapshot().width);
        }
    }
}

}  // namespace
