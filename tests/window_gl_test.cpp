// The window core and the public window: ids, share groups, colour-map selection, whole
// window and grid cell draws. (Where a grid's cells go, with no GPU: cell_layout_test.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <thread>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "colormap/colormap_impl.hpp"
#include "font/font.hpp"
#include "glfw/window.hpp"
#include "support/gl_test.hpp"
#include "support/glfw_util.hpp"
#include "support/image_util.hpp"
#include "window/window.hpp"
#include "zarvo.h"

namespace {

using internal::window_impl;
using zvtest::SolidRenderable;

const char* DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

std::shared_ptr<window_impl> makeWindow(int w, int h, std::shared_ptr<window_impl> parent = {}) {
    return std::make_shared<window_impl>(w, h, "test", parent, true);
}

TEST(WindowIdGLTest, IdsInCreationOrderAndAFailedWindowUsesItsId) {
    auto a = makeWindow(64, 64);
    auto b = makeWindow(64, 64);
    EXPECT_EQ(0, a->id());
    EXPECT_EQ(1, b->id());
    testing::internal::CaptureStderr();
    EXPECT_THROW(makeWindow(0, 0), zv::Error);  // GLFW refuses a zero size
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, err.find("Error: Could not Create GLFW Window!")) << err;
    auto c = makeWindow(64, 64);
    EXPECT_EQ(3, c->id());
    // The failed window left no stale current record behind.
    EXPECT_EQ(c->glewContext(), glewGetContext());
}

TEST(WindowIdGLTest, CounterIsSafeAcrossThreads) {
    std::vector<std::vector<int>> seen(4);
    std::vector<std::thread> threads;
    for (auto& s : seen)
        threads.emplace_back([&s] {
            for (int i = 0; i < 500; ++i) s.push_back(internal::getNextUniqueId());
        });
    for (auto& t : threads) t.join();
    std::set<int> all;
    for (auto& s : seen) all.insert(s.begin(), s.end());
    EXPECT_EQ(2000u, all.size());
}

class WindowGLTest : public zvtest::GLTest {};

TEST_F(WindowGLTest, ChildJoinsTheGroupAndOutlivesItsParent) {
    auto child = makeWindow(200, 150, window);
    EXPECT_EQ(window->group(), child->group());
    EXPECT_EQ(window->colorMapPtr()->get(), child->colorMapPtr()->get());
    GLuint ubo = child->colorMapBuffer();
    window.reset();
    auto r = std::make_shared<SolidRenderable>(0, 1, 0);
    child->draw(r);
    EXPECT_TRUE(glIsBuffer(ubo));
    zvtest::Snapshot s = zvtest::readBack(0, 0, 200, 150);
    EXPECT_TRUE(zvtest::near(s.at(100, 75), {0, 255, 0, 255}));
    zvtest::expectNoGLError("child draw");
}

TEST_F(WindowGLTest, ExpiredParentStartsANewGroup) {
    std::weak_ptr<window_impl> gone;
    {
        auto temp = makeWindow(64, 64);
        gone = temp;
    }
    auto orphan = std::make_shared<window_impl>(64, 64, "orphan", gone, true);
    EXPECT_NE(window->group(), orphan->group());
    EXPECT_NE(window->colorMapPtr()->get(), orphan->colorMapPtr()->get());
}

TEST_F(WindowGLTest, ColorMapSelection) {
    const internal::colormap_impl& maps = **window->colorMapPtr();
    EXPECT_EQ(maps.defaultMap(), window->colorMapBuffer());
    EXPECT_EQ(256u, window->colorMapLength());
    window->setColorMap(zv::ZV_CMAP_HEAT);
    EXPECT_EQ(maps.heat(), window->colorMapBuffer());
    EXPECT_EQ(64u, window->colorMapLength());
    for (int bad : {7, -1, 100}) {
        window->setColorMap(static_cast<zv::ColorMap>(bad));
        EXPECT_EQ(maps.heat(), window->colorMapBuffer()) << bad;
        EXPECT_EQ(64u, window->colorMapLength());
    }
    // The renderable is handed the selection immediately before it renders.
    auto r = std::make_shared<SolidRenderable>();
    window->draw(r);
    EXPECT_EQ(maps.heat(), r->lastUBO);
    EXPECT_EQ(64u, r->lastSize);
    // Every buffer holds the 259 rows of the image shader's block.
    GLint size = 0;
    glBindBuffer(GL_UNIFORM_BUFFER, maps.heat());
    glGetBufferParameteriv(GL_UNIFORM_BUFFER, GL_BUFFER_SIZE, &size);
    glBindBuffer(GL_UNIFORM_BUFFER, 0);
    EXPECT_EQ(259 * 16, size);
    EXPECT_EQ(std::vector<GLuint>({256, 257, 259, 254, 256, 64, 254}),
              std::vector<GLuint>({maps.defaultLen(), maps.spectrumLen(), maps.colorsLen(),
                                   maps.redLen(), maps.moodLen(), maps.heatLen(), maps.blueLen()}));
}

TEST_F(WindowGLTest, WholeWindowDrawFillsTheFramebuffer) {
    auto r = std::make_shared<SolidRenderable>(0, 0, 1);
    glEnable(GL_DEPTH_TEST);  // the application's: off for the draw, on again afterwards
    window->draw(r);
    EXPECT_EQ(window->id(), r->lastWindow);
    EXPECT_EQ(std::vector<int>({0, 0, W, H}),
              std::vector<int>({r->lastX, r->lastY, r->lastWidth, r->lastHeight}));
    EXPECT_EQ(std::vector<int>({0, 0, W, H}), std::vector<int>(r->viewport, r->viewport + 4));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glDisable(GL_DEPTH_TEST);
    zvtest::Snapshot s = grab();
    EXPECT_EQ(W * H, s.count(0, 0, W, H, [](const zvtest::RGBA& c) { return c.b > 250 && c.r < 5; }));
}

TEST_F(WindowGLTest, CellDrawUsesTheInsetAreaAndHandsOverTheWholeCell) {
    window->grid(2, 3);
    auto r = std::make_shared<SolidRenderable>(0, 1, 0);
    window->draw(1, 0, r, nullptr);
    EXPECT_EQ(std::vector<int>({266, 300, 266, 300}),
              std::vector<int>({r->lastX, r->lastY, r->lastWidth, r->lastHeight}));
    EXPECT_EQ(std::vector<int>({271, 306, 256, 264}), std::vector<int>(r->viewport, r->viewport + 4));
    const internal::PixelArea v = r->last.viewport;
    EXPECT_EQ(std::vector<int>({271, 306, 256, 264}), std::vector<int>({v.x, v.y, v.width, v.height}));
    EXPECT_TRUE(r->scissorOn);
    EXPECT_EQ(std::vector<int>({271, 306, 256, 264}), std::vector<int>(r->scissor, r->scissor + 4));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    zvtest::Snapshot s = grab();
    auto green = [](const zvtest::RGBA& c) { return c.g > 250 && c.r < 5; };
    EXPECT_EQ(256 * 264, s.count(0, 0, W, H, green));
    EXPECT_EQ((std::vector<int>{271, 306, 526, 569}), s.bounds(green));
}

TEST_F(WindowGLTest, BottomLeftCellOfATwoByTwoGridWithoutCaption) {
    auto big = makeWindow(1024, 768);
    big->grid(2, 2);
    auto r = std::make_shared<SolidRenderable>(0, 1, 0);
    big->draw(0, 1, r, nullptr);  // no font needed without a caption
    EXPECT_EQ(std::vector<int>({10, 7, 492, 338}), std::vector<int>(r->viewport, r->viewport + 4));
    zvtest::Snapshot s = zvtest::readBack(0, 0, 1024, 768);
    EXPECT_EQ(0, s.count(0, 0, 1024, 768, zvtest::isRed));
    EXPECT_EQ((std::vector<int>{10, 7, 501, 344}),
              s.bounds([](const zvtest::RGBA& c) { return c.g > 250; }));
}

TEST_F(WindowGLTest, CaptionIsRedInTheBandAboveTheDrawingArea) {
    auto font = std::make_shared<internal::font_impl>();
    font->loadFont(DEJAVU, 32);
    window->setFont(font);
    window->grid(2, 2);
    auto r = std::make_shared<SolidRenderable>(0, 0, 1);
    window->draw(0, 0, r, "Caption");
    zvtest::Snapshot s = grab();
    // Cell (0, 0) is the top-left one: origin (0, 300), 400 x 300, drawing area up to 300 + 6 + 264.
    std::vector<int> red = s.bounds(zvtest::isRed);
    ASSERT_GE(red[0], 0) << "no caption drawn";
    EXPECT_GE(red[0], 133);        // starts a third of the way across the cell
    EXPECT_LT(red[0], 140);
    EXPECT_GE(red[1], 300 + 264);  // above the drawing area (baseline at 92% of the cell)
    EXPECT_LE(red[3], 600);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

// Draws nothing: what the window shows is its own clear.
class EmptyRenderable : public internal::AbstractRenderable {
public:
    internal::DrawnFrame render(const internal::DrawContext&) override { return {}; }
};

// The window's background is black whatever clear colour the application left set, in every
// place the frame's clear shows: a whole-window draw, the margins and captions band of a grid
// cell, and the bands beside an image that keeps its aspect ratio.
TEST_F(WindowGLTest, FramesClearToTheBackgroundWhateverTheApplicationsClearColour) {
    auto wide = zvtest::makeImage(2, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8, std::vector<uint8_t>{255, 255});
    wide->keepAspectRatio(true);
    const std::function<void()> draws[] = {
        [&] { window->draw(std::make_shared<EmptyRenderable>()); },
        [&] {
            window->grid(2, 2);
            window->draw(1, 1, std::make_shared<EmptyRenderable>(), nullptr);
        },
        [&] { window->draw(wide); },
    };
    const auto black = [](const zvtest::RGBA& c) { return zvtest::near(c, {0, 0, 0, 255}); };
    const auto white = [](const zvtest::RGBA& c) { return zvtest::isWhite(c); };
    for (size_t k = 0; k < 3; ++k) {
        glClearColor(1.0f, 0.0f, 1.0f, 1.0f);  // the application's own
        draws[k]();
        zvtest::Snapshot s = grab();
        const int image = k == 2 ? s.count(0, 0, W, H, white) : 0;
        if (k == 2) {
            EXPECT_EQ(W * H * 2 / 3, image);  // 800 x 400 between two bands of 100
        }
        EXPECT_EQ(W * H - image, s.count(0, 0, W, H, black)) << "draw " << k;
        zvtest::expectNoGLError("the draw");
    }
}

TEST_F(WindowGLTest, BrokenPreconditionsRaiseWithAdvice) {
    auto r = std::make_shared<SolidRenderable>();
    try {
        window->draw(0, 0, r, nullptr);
        FAIL() << "cell draw before grid";
    } catch (const zv::ArgumentError& e) {
        EXPECT_NE(std::string::npos, std::string(e.expectedCondition()).find("grid"));
    }
    EXPECT_THROW(window->grid(0, 2), zv::ArgumentError);
    EXPECT_THROW(window->grid(2, -1), zv::ArgumentError);
    window->grid(1, 1);
    try {
        window->draw(0, 0, r, "caption");
        FAIL() << "caption without a font";
    } catch (const zv::ArgumentError& e) {
        EXPECT_EQ(zv::ZV_ERR_ARGUMENT, e.err());
        EXPECT_NE(std::string::npos, std::string(e.expectedCondition()).find("setFont"));
    }
    EXPECT_EQ(-1, r->lastWindow);  // nothing was drawn
}

TEST_F(WindowGLTest, GridAndPresentActOnTheirOwnWindow) {
    auto other = makeWindow(320, 240);
    internal::MakeContextCurrent(window.get());
    other->grid(1, 1);
    EXPECT_EQ(other->get(), wtk::Widget::current());
    internal::MakeContextCurrent(window.get());
    other->draw();
    EXPECT_EQ(other->get(), wtk::Widget::current());
    EXPECT_EQ(other->glewContext(), glewGetContext());
}

TEST_F(WindowGLTest, DrawShowsAWindowClosedByEscape) {
    auto shown = std::make_shared<window_impl>(200, 100, "escape", std::weak_ptr<window_impl>(), false);
    GLFWwindow* native = shown->get()->getNativeHandle();
    GLFWkeyfun key = glfwSetKeyCallback(native, nullptr);
    key(native, GLFW_KEY_ESCAPE, 0, GLFW_PRESS, 0);
    glfwSetKeyCallback(native, key);
    EXPECT_TRUE(shown->close());
    EXPECT_FALSE(zvtest::isVisible(native, false));
    shown->draw(std::make_shared<SolidRenderable>());
    EXPECT_FALSE(shown->close());
    EXPECT_TRUE(zvtest::isVisible(native));
}

// The first draw after a resize fills the new size, even when a snapshot between the draws
// had the driver take up the size the window had then (it takes up a window's size afresh
// only after a swap, at whatever reads or draws first).
TEST_F(WindowGLTest, FirstDrawAfterSetSizeFillsTheNewSize) {
    for (bool shown : {true, false}) {
        auto w = std::make_shared<window_impl>(200, 150, "resize", std::weak_ptr<window_impl>(),
                                               !shown);
        auto r = std::make_shared<SolidRenderable>(0, 1, 0);
        const std::pair<int, int> sizes[] = {{200, 150}, {640, 480}, {64, 600}, {400, 300}};
        for (const auto& size : sizes) {
            w->setSize(size.first, size.second);
            w->draw(r);
            const zv::Snapshot s = w->snapshot();
            ASSERT_EQ(size.first, s.width) << shown;
            ASSERT_EQ(size.second, s.height) << shown;
            int lit = 0;
            for (size_t i = 0; i < s.rgba.size(); i += 4) lit += s.rgba[i + 1] > 250;
            EXPECT_EQ(size.first * size.second, lit)
                << size.first << " x " << size.second << (shown ? " shown" : " hidden");
        }
    }
}

TEST(PublicWindowGLTest, CopiesShareOneWindow) {
    zv::Window a(320, 240, "public", nullptr, true);
    EXPECT_FALSE(a.close());
    EXPECT_EQ(nullptr, a.context());
    EXPECT_EQ(nullptr, a.display());
    a.setSize(640, 480);
    EXPECT_EQ(320, a.width());
    EXPECT_EQ(240, a.height());
    {
        zv::Window b(a);
        EXPECT_EQ(a.get()->impl(), b.get()->impl());
        b.setColorMap(zv::ZV_CMAP_BLUE);
        EXPECT_EQ((*a.get()->impl()->colorMapPtr())->blue(), a.get()->impl()->colorMapBuffer());
        b.hide();
        EXPECT_TRUE(a.close());
        b.show();
    }
    // The window survives the copy.
    a.makeCurrent();
    EXPECT_EQ(a.get()->impl()->glewContext(), glewGetContext());
    zv::Window c(64, 64, "other", nullptr, true);
    c = a;
    EXPECT_EQ(a.get()->impl(), c.get()->impl());
    a.grid(1, 1);
    a.draw();
    zvtest::expectNoGLError("public window");
}

TEST(PublicWindowGLTest, ChildWindowThroughThePublicHandle) {
    zv::Window parent(128, 128, "parent", nullptr, true);
    zv::Window child(128, 128, "child", &parent, true);
    EXPECT_EQ(parent.get()->impl()->group(), child.get()->impl()->group());
    zv::Font font;
    font.loadFont(DEJAVU, 16);
    parent.setFont(&font);
    child.setFont(&font);
    EXPECT_EQ(parent.get()->impl()->font(), child.get()->impl()->font());
}

// What an application finds in OpenGL after each kind of draw, as the README states it: the
// viewport and the clear colour set, everything else as the application left it.
TEST(PublicWindowGLTest, WhatADrawLeavesInOpenGL) {
    enum class Draw { Image, Plot, Histogram, ImageCellWithCaption, PlotCellWithoutCaption };
    struct Case {
        const char* name;
        Draw draw;
        bool cell;
    } cases[] = {
        {"image", Draw::Image, false},
        {"plot with markers", Draw::Plot, false},
        {"histogram", Draw::Histogram, false},
        {"image in a cell with a caption", Draw::ImageCellWithCaption, true},
        {"plot in a cell without a caption", Draw::PlotCellWithoutCaption, true},
    };
    zv::Window win(400, 300, "state", nullptr, true);
    zv::Font font;
    font.loadFont(DEJAVU, 16);
    win.setFont(&font);
    zv::Image image(8, 8, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    zv::Plot plot(8, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_CIRCLE);
    zv::Histogram histogram(8, zv::ZV_FLOAT32);
    win.makeCurrent();
    GLuint appSampler = 0, appVAO = 0, appBuffer = 0;
    glGenSamplers(1, &appSampler);
    glGenVertexArrays(1, &appVAO);
    glGenBuffers(1, &appBuffer);

    auto integer = [](GLenum what) {
        GLint v = -1;
        glGetIntegerv(what, &v);
        return v;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        win.makeCurrent();
        // The application's own state.
        glActiveTexture(GL_TEXTURE0);
        glBindSampler(0, appSampler);
        glActiveTexture(GL_TEXTURE3);
        glBindVertexArray(appVAO);
        glBindBuffer(GL_ARRAY_BUFFER, appBuffer);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
        glEnable(GL_BLEND);
        glEnable(GL_SCISSOR_TEST);
        glEnable(GL_PROGRAM_POINT_SIZE);
        glPointSize(7.0f);
        glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_GREATER);

        switch (c.draw) {
            case Draw::Image: win.draw(image); break;
            case Draw::Plot: win.draw(plot); break;
            case Draw::Histogram: win.draw(histogram); break;
            case Draw::ImageCellWithCaption:
                win.grid(2, 2);
                win.draw(1, 0, image, "caption");
                break;
            case Draw::PlotCellWithoutCaption:
                win.grid(2, 2);
                win.draw(1, 0, plot, nullptr);
                break;
        }

        // Only the viewport and the clear colour are left changed, on purpose; everything
        // the application set is as it set it (tests/state_guard_gl_test.cpp goes through every
        // state one by one).
        GLfloat clear[4] = {-1, -1, -1, -1};
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        EXPECT_EQ(std::vector<float>({0, 0, 0, 1}), std::vector<float>(clear, clear + 4));
        GLint viewport[4] = {-1, -1, -1, -1};
        glGetIntegerv(GL_VIEWPORT, viewport);
        const std::vector<int> expectedViewport =
            c.cell ? std::vector<int>{200, 150, 200, 150} : std::vector<int>{0, 0, 400, 300};
        EXPECT_EQ(expectedViewport, std::vector<int>(viewport, viewport + 4));

        EXPECT_EQ(0, integer(GL_CURRENT_PROGRAM));
        EXPECT_EQ(static_cast<GLint>(appVAO), integer(GL_VERTEX_ARRAY_BINDING));
        EXPECT_EQ(static_cast<GLint>(appBuffer), integer(GL_ARRAY_BUFFER_BINDING));
        EXPECT_EQ(0, integer(GL_PIXEL_UNPACK_BUFFER_BINDING));
        EXPECT_EQ(0, integer(GL_UNIFORM_BUFFER_BINDING));
        EXPECT_EQ(GL_TEXTURE3, integer(GL_ACTIVE_TEXTURE));
        EXPECT_EQ(8, integer(GL_UNPACK_ALIGNMENT));
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
        EXPECT_TRUE(glIsEnabled(GL_PROGRAM_POINT_SIZE));
        EXPECT_EQ(7, integer(GL_POINT_SIZE));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_EQ(GL_GREATER, integer(GL_DEPTH_FUNC));
        glActiveTexture(GL_TEXTURE0);
        EXPECT_EQ(static_cast<GLint>(appSampler), integer(GL_SAMPLER_BINDING));
        EXPECT_EQ(0, integer(GL_TEXTURE_BINDING_2D));
        GLint colorMap = -1;
        glGetIntegeri_v(GL_UNIFORM_BUFFER_BINDING, 0, &colorMap);
        EXPECT_EQ(0, colorMap);
        zvtest::expectNoGLError(c.name);
        if (c.cell) win.draw();
    }
    win.makeCurrent();
    glDeleteSamplers(1, &appSampler);
    glDeleteVertexArrays(1, &appVAO);
    glDeleteBuffers(1, &appBuffer);
}

}  // namespace
