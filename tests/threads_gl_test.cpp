// Calls into the library from a thread other than the drawing thread (the one that made the
// first window) raise zv::Error with advice, instead of corrupting the heap (two font loads
// at once shared FreeType's state) or aborting (GLFW asserts off its thread). Run under the
// sanitizers, this also shows the refusals themselves touch nothing unsafely.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "zarvo.h"

namespace {

const char* const SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const MONO = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

// Runs each call on a thread of its own, all at once, and counts those that raised
// zv::Error (ZV_ERR_GL) saying what to do; any other outcome is a failure.
int refusedOnOtherThreads(const std::vector<std::function<void()>>& calls) {
    std::atomic<int> refused{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (const auto& call : calls) {
        threads.emplace_back([&, call] {
            while (!go) std::this_thread::yield();
            try {
                call();
                ADD_FAILURE() << "a call from another thread returned normally";
            } catch (const zv::Error& e) {
                EXPECT_EQ(zv::ZV_ERR_GL, e.err());
                EXPECT_NE(nullptr, std::strstr(e.expectedCondition(), "hand data to that thread"))
                    << e.expectedCondition();
                ++refused;
            } catch (...) {
                ADD_FAILURE() << "a call from another thread raised something else";
            }
        });
    }
    go = true;
    for (auto& t : threads) t.join();
    return refused;
}

TEST(ThreadsGLTest, CallsFromOtherThreadsAreRefused) {
    zv::Window window(160, 120, "drawing thread", nullptr, true);
    zv::Font font;
    zv::Image image(8, 8, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    zv::Plot plot(16, zv::ZV_FLOAT32);

    EXPECT_EQ(2, refusedOnOtherThreads({[&] { font.loadFont(SANS, 16); },
                                        [&] { font.loadFont(MONO, 20); }}));
    std::vector<std::function<void()>> windows(4, [] {
        zv::Window w(64, 48, "another thread", nullptr, true);
    });
    EXPECT_EQ(4, refusedOnOtherThreads(windows));
    // A sample of the rest: drawing, making objects, setters, and the window's own calls.
    EXPECT_EQ(6, refusedOnOtherThreads({
                     [&] { window.draw(image); },
                     [&] { window.grid(1, 1); },
                     [&] { zv::Histogram h(16, zv::ZV_FLOAT32); },
                     [&] { plot.setAxesLimits(1, 0, 1, 0); },
                     [&] { window.makeCurrent(); },
                     [&] { zv::Font other; },
                 }));

    // The drawing thread still does everything.
    font.loadFont(SANS, 16);
    window.setFont(&font);
    window.grid(1, 2);
    window.draw(0, 0, image, "image");
    window.draw(1, 0, plot, "plot");
    window.draw();
    zv::Window second(64, 48, "drawing thread, second", &window, true);
    second.draw(plot);
}

}  // namespace
