// The application's own GLFW world beside the library's windows: its error callback, the
// hints its next window is made with, and its windows, which carry user pointers of its own.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "gl/context.hpp"
#include "support/glfw_util.hpp"
#include "support/robust_util.hpp"
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
// before stays current: tests/lifetime_gl_test.cpp.)
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


// ---- Drawing into the application's own framebuffer ----

// The application's hidden window as an application that draws itself makes it: OpenGL 3.3
// core with 4 samples, as the library's windows have, so that both pictures can be compared.
GLFWwindow* drawingApplicationWindow(int w, int h) {
    if (glfwInit() != GLFW_TRUE) return nullptr;
    glfwWindowHint(GLFW_VISIBLE, 0);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, 1);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_SAMPLES, 4);
    GLFWwindow* own = glfwCreateWindow(w, h, "application", nullptr, nullptr);
    glfwDefaultWindowHints();
    return own;
}

// A plot of a sine with markers, axis titles and labels: lines, points and text.
void fillPlot(zv::Plot& plot) {
    std::vector<float> xy(2 * 64);
    for (int k = 0; k < 64; ++k) {
        xy[2 * k] = static_cast<float>(k) / 63.0f;
        xy[2 * k + 1] = 0.5f + 0.4f * std::sin(0.2f * static_cast<float>(k));
    }
    zvtest::writeBuffer(plot.vbo(), xy);
    plot.setAxesLimits(1, 0, 1, 0);
    plot.setXAxisTitle("time");
    plot.setYAxisTitle("value");
}

// RGBA rows, top first, of w x h pixels at (x, y) of the framebuffer bound for reading
// (multisampled storage resolved through a framebuffer object of one sample).
std::vector<unsigned char> readTopFirst(int x, int y, int w, int h) {
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    GLuint resolved = 0, colour = 0;
    if (samples > 0) {
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_SRGB8_ALPHA8, w, h);
        glGenFramebuffers(1, &resolved);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolved);
        glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  colour);
        glBlitFramebuffer(x, y, x + w, y + h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, resolved);
        x = y = 0;
    }
    std::vector<unsigned char> bottomUp(static_cast<size_t>(w) * h * 4);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    if (resolved) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &resolved);
        glDeleteRenderbuffers(1, &colour);
    }
    std::vector<unsigned char> top(bottomUp.size());
    const size_t row = static_cast<size_t>(w) * 4;
    for (int r = 0; r < h; ++r)
        std::copy_n(bottomUp.begin() + static_cast<long>(row * (h - 1 - r)), row,
                    top.begin() + static_cast<long>(row * r));
    return top;
}

// Pixels whose channels differ by more than one level.
int differing(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (size_t i = 0; i < a.size(); i += 4)
        for (size_t c = 0; c < 3; ++c)
            if (std::abs(a[i + c] - b[i + c]) > 1) {
                ++n;
                break;
            }
    return n;
}

// The same plot drawn by a target into the application's default framebuffer, or into a
// framebuffer object of its own with the window's samples and format, equals the library
// window's picture of the plot at the same size, and every pixel outside the rectangle keeps
// what the application had there.
TEST(ApplicationTargetGLTest, PictureEqualsTheWindowsOwnAndNothingElseIsTouched) {
    constexpr int W = 240, H = 180, AW = 400, AH = 300, X = 100, Y = 70;
    zv::Window window(W, H, "library", nullptr, true);
    zv::Plot reference(64, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_CIRCLE);
    fillPlot(reference);
    window.draw(reference);
    const zv::Snapshot snapshot = window.snapshot();
    const std::vector<unsigned char>& expected = snapshot.rgba;

    GLFWwindow* own = drawingApplicationWindow(AW, AH);
    ASSERT_NE(nullptr, own);
    glfwMakeContextCurrent(own);
    {
        zv::Target target;
        zv::Plot plot(64, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_CIRCLE);
        fillPlot(plot);
        GLuint fbo = 0, colour = 0;
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, 4, GL_SRGB8_ALPHA8, AW, AH);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glGenFramebuffers(1, &fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        // Rows stored top first, as Mesa stores a window's: it rasterises edges that fall
        // exactly between pixels by the storage's row order (GL_MESA_framebuffer_flip_y).
        glFramebufferParameteri(GL_FRAMEBUFFER, 0x8BBB, GL_TRUE);
        glGetError();  // a driver without the extension: its pictures may differ there
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        for (GLuint frame : {0u, fbo}) {
            SCOPED_TRACE(frame ? "framebuffer object" : "default framebuffer");
            glBindFramebuffer(GL_FRAMEBUFFER, frame);
            glViewport(0, 0, AW, AH);
            glClearColor(0.0f, 0.0f, 1.0f, 1.0f);  // the application's blue
            glClear(GL_COLOR_BUFFER_BIT);
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            target.draw(plot, frame, X, Y, W, H);
            EXPECT_EQ(own, glfwGetCurrentContext());
            glBindFramebuffer(GL_FRAMEBUFFER, frame);
            const int n = differing(readTopFirst(X, Y, W, H), expected);
            EXPECT_EQ(0, n) << n << " pixels differ from the window's picture";
            // Round the rectangle: the application's blue, one pixel out on every side.
            const std::vector<unsigned char> all = readTopFirst(0, 0, AW, AH);
            auto blue = [&](int x, int y) {  // from the bottom-left corner
                const unsigned char* p = &all[(static_cast<size_t>(AH - 1 - y) * AW + x) * 4];
                return p[0] == 0 && p[1] == 0 && p[2] == 255;
            };
            for (int x = X; x < X + W; x += 7) {
                EXPECT_TRUE(blue(x, Y - 1)) << x;
                EXPECT_TRUE(blue(x, Y + H)) << x;
            }
            for (int y = Y; y < Y + H; y += 7) {
                EXPECT_TRUE(blue(X - 1, y)) << y;
                EXPECT_TRUE(blue(X + W, y)) << y;
            }
            EXPECT_FALSE(blue(X + W / 2, Y + H / 2));
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
        }
        glDeleteFramebuffers(1, &fbo);
        glDeleteRenderbuffers(1, &colour);
    }
    glfwDestroyWindow(own);
}

// The application draws its own triangle, then a chart into the top-right corner; the read
// back shows both, the triangle's red where the chart is not. A draw made while one of the
// library's windows is current goes to the target's context all the same and leaves the
// window current.
TEST(ApplicationTargetGLTest, OwnTriangleAndAChartInACorner) {
    constexpr int AW = 320, AH = 240, CW = 160, CH = 120;
    zv::Window window(64, 48, "library", nullptr, true);
    GLFWwindow* library = glfwGetCurrentContext();
    GLFWwindow* own = drawingApplicationWindow(AW, AH);
    ASSERT_NE(nullptr, own);
    glfwMakeContextCurrent(own);
    {
        zv::Target target;
        zv::Plot plot(64, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_NONE);
        fillPlot(plot);

        const char* vs =
            "#version 330 core\nconst vec2 p[3] = vec2[3](vec2(-0.9, -0.9), vec2(0.9, -0.9), "
            "vec2(0.0, 0.9));\nvoid main() { gl_Position = vec4(p[gl_VertexID], 0.0, 1.0); }\n";
        const char* fs =
            "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0, 0.0, 0.0, 1.0); }\n";
        GLuint v = glCreateShader(GL_VERTEX_SHADER), f = glCreateShader(GL_FRAGMENT_SHADER);
        glShaderSource(v, 1, &vs, nullptr);
        glShaderSource(f, 1, &fs, nullptr);
        glCompileShader(v);
        glCompileShader(f);
        GLuint program = glCreateProgram();
        glAttachShader(program, v);
        glAttachShader(program, f);
        glLinkProgram(program);
        glDeleteShader(v);
        glDeleteShader(f);
        GLuint vao = 0;
        glGenVertexArrays(1, &vao);

        for (GLFWwindow* current : {own, library}) {
            SCOPED_TRACE(current == own ? "application's context current" : "library's");
            glfwMakeContextCurrent(own);
            glViewport(0, 0, AW, AH);
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            glUseProgram(program);
            glBindVertexArray(vao);
            glDrawArrays(GL_TRIANGLES, 0, 3);
            glfwMakeContextCurrent(current);
            target.draw(plot, 0, AW - CW, AH - CH, CW, CH);
            EXPECT_EQ(current, glfwGetCurrentContext());
            glfwMakeContextCurrent(own);
            // The application's program and vertex array are still bound: it draws on.
            GLint bound = 0;
            glGetIntegerv(GL_CURRENT_PROGRAM, &bound);
            EXPECT_EQ(static_cast<GLint>(program), bound);
            const std::vector<unsigned char> all = readTopFirst(0, 0, AW, AH);
            auto at = [&](int x, int y) {  // from the bottom-left corner
                const unsigned char* p = &all[(static_cast<size_t>(AH - 1 - y) * AW + x) * 4];
                return std::vector<int>{p[0], p[1], p[2]};
            };
            EXPECT_EQ((std::vector<int>{255, 0, 0}), at(AW / 4, AH / 4));  // the triangle
            EXPECT_EQ((std::vector<int>{0, 0, 0}), at(5, AH - 5));        // the background
            // The chart's corner: no red of the triangle, and its white frame and line.
            int red = 0, lit = 0;
            for (int y = AH - CH; y < AH; ++y)
                for (int x = AW - CW; x < AW; ++x) {
                    const std::vector<int> c = at(x, y);
                    if (c[0] > 200 && c[1] < 50 && c[2] < 50) ++red;
                    if (c[0] + c[1] + c[2] > 100) ++lit;
                }
            EXPECT_EQ(0, red);
            EXPECT_GT(lit, CW);
        }
        glDeleteVertexArrays(1, &vao);
        glDeleteProgram(program);
    }
    glfwDestroyWindow(own);
}

// A left drag forwarded in the framebuffer's pixels pans the chart drawn last by as much as
// the cursor moved; a press outside the rectangle, or the wheel there, moves nothing.
TEST(ApplicationTargetGLTest, ForwardedMouseEventsPanTheChart) {
    constexpr int AW = 400, AH = 300, X = 100, Y = 50, CW = 240, CH = 200;
    GLFWwindow* own = drawingApplicationWindow(AW, AH);
    ASSERT_NE(nullptr, own);
    glfwMakeContextCurrent(own);
    {
        zv::Target target;
        zv::Plot plot(64, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_NONE);
        fillPlot(plot);
        // Before any draw nothing is known to be anywhere.
        target.mouseButton(zv::ZV_MOUSE_LEFT, zv::ZV_PRESS, X + CW / 2, Y + CH / 2);
        target.cursor(X + CW / 2 + 30, Y + CH / 2);
        target.mouseButton(zv::ZV_MOUSE_LEFT, zv::ZV_RELEASE, X + CW / 2 + 30, Y + CH / 2);
        EXPECT_EQ(0.0f, plot.xmin());
        target.draw(plot, 0, X, Y, CW, CH);

        // Outside: left of the rectangle and above it.
        target.mouseButton(zv::ZV_MOUSE_LEFT, zv::ZV_PRESS, X - 5, Y + CH / 2);
        target.cursor(X + 40, Y + CH / 2);
        target.mouseButton(zv::ZV_MOUSE_LEFT, zv::ZV_RELEASE, X + 40, Y + CH / 2);
        target.scroll(2.0, 0, X + CW / 2, Y + CH + 3);
        EXPECT_EQ(0.0f, plot.xmin());
        EXPECT_EQ(1.0f, plot.xmax());
        EXPECT_EQ(0.0f, plot.ymin());

        // A drag right by 30 pixels and up by 20 moves the limits down on both axes.
        const double cx = X + CW / 2 + 0.5, cy = Y + CH / 2 + 0.5;
        target.mouseButton(zv::ZV_MOUSE_LEFT, zv::ZV_PRESS, cx, cy);
        target.cursor(cx + 30, cy + 20);
        target.mouseButton(zv::ZV_MOUSE_LEFT, zv::ZV_RELEASE, cx + 30, cy + 20);
        const float dx = plot.xmax() - plot.xmin();
        EXPECT_NEAR(1.0f, dx, 1e-4);
        EXPECT_LT(plot.xmin(), -0.1f);
        EXPECT_LT(plot.ymin(), -0.05f);
        // The frame is narrower than the rectangle (labels beside it): the pan is 30 pixels of
        // the frame, more than 30 / CW of the range and less than 30 / (CW / 2).
        EXPECT_GT(-plot.xmin(), 30.0f / CW);
        EXPECT_LT(-plot.xmin(), 60.0f / CW);
        EXPECT_EQ(own, glfwGetCurrentContext());
        target.draw(plot, 0, X, Y, CW, CH);  // the panned limits draw
    }
    glfwDestroyWindow(own);
}

// Objects belong to the group of the context they were made in: the target's are refused by
// a library window, the window's by the target, each with advice; a target is refused with
// advice when nothing, a library window or an already served context is current.
TEST(ApplicationTargetGLTest, ObjectsOfOneGroupAreRefusedByTheOtherAndTargetsWhereNoneServe) {
    zv::Window window(64, 48, "library", nullptr, true);
    zv::Plot windowsPlot(16, zv::ZV_FLOAT32);
    auto expectRefused = [](const std::function<void()>& f, zv::ErrorCode code,
                            const char* advice) {
        try {
            f();
            ADD_FAILURE() << "nothing was raised";
        } catch (const zv::Error& e) {
            EXPECT_EQ(code, e.err()) << e.what();
            EXPECT_NE(std::string::npos, std::string(e.expectedCondition()).find(advice))
                << e.expectedCondition();
        }
    };
    expectRefused([] { zv::Target t; }, zv::ZV_ERR_GL, "draw into the library's windows");
    glfwMakeContextCurrent(nullptr);
    expectRefused([] { zv::Target t; }, zv::ZV_ERR_GL, "make your window's context current");

    GLFWwindow* own = drawingApplicationWindow(64, 48);
    ASSERT_NE(nullptr, own);
    glfwMakeContextCurrent(own);
    {
        zv::Target target;
        expectRefused([] { zv::Target t; }, zv::ZV_ERR_GL, "keep one zv::Target");
        zv::Plot targetsPlot(16, zv::ZV_FLOAT32);
        expectRefused([&] { target.draw(windowsPlot, 0, 0, 0, 32, 32); }, zv::ZV_ERR_ARGUMENT,
                      "create it while this target's context is current");
        expectRefused([&] { window.draw(targetsPlot); }, zv::ZV_ERR_ARGUMENT,
                      "create it while a window of this window's group is current");
        EXPECT_EQ(own, glfwGetCurrentContext());
        const struct {
            unsigned frame;
            int w, h;
            const char* advice;
        } bad[] = {{987654u, 32, 32, "the name of a framebuffer object of this context"},
                   {0u, 0, 32, "width must be 1 to 16384"},
                   {0u, 32, -1, "height must be 1 to 16384"},
                   {0u, 20000, 32, "width must be 1 to 16384"}};
        for (const auto& b : bad) {
            SCOPED_TRACE(b.advice);
            expectRefused([&] { target.draw(targetsPlot, b.frame, 0, 0, b.w, b.h); },
                          zv::ZV_ERR_ARGUMENT, b.advice);
        }
        // An incomplete framebuffer object of the application's.
        GLuint fbo = 0;
        glGenFramebuffers(1, &fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        expectRefused([&] { target.draw(targetsPlot, fbo, 0, 0, 32, 32); }, zv::ZV_ERR_ARGUMENT,
                      "not complete");
        GLint bound = -1;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
        EXPECT_EQ(0, bound);
        glDeleteFramebuffers(1, &fbo);
    }
    glfwDestroyWindow(own);
}

// The names of every kind the library makes that live in the context, counted among the
// first few thousand.
int liveNames() {
    int n = 0;
    for (GLuint k = 1; k < 4000; ++k) {
        n += glIsBuffer(k) + glIsTexture(k) + glIsProgram(k) + glIsShader(k) +
             glIsVertexArray(k) + glIsFramebuffer(k) + glIsRenderbuffer(k) + glIsSampler(k) +
             glIsQuery(k);
    }
    return n;
}

// Everything a target and its objects made in the application's context is deleted when
// they go: the colour maps, the group's chart font, quad and programs, each object's buffers
// and per-context vertex arrays. Objects destroyed after their target leave nothing either:
// the target deletes what they still own. A second target for the same context starts from
// the same count.
TEST(ApplicationTargetGLTest, NothingIsLeftInTheContextWhenTheTargetGoes) {
    GLFWwindow* own = drawingApplicationWindow(320, 240);
    ASSERT_NE(nullptr, own);
    glfwMakeContextCurrent(own);
    {
        // Entry points for the count before any target: a first one, made and dropped.
        zv::Target first;
    }
    const int before = liveNames();
    struct Objects {
        zv::Histogram histogram{16, zv::ZV_FLOAT32};
        zv::Plot plot{64, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_CIRCLE};
        zv::Image image{8, 8, zv::ZV_GRAYSCALE, zv::ZV_UINT8};
        zv::Plot inChart{16, zv::ZV_FLOAT32};
        zv::Chart chart;
    };
    for (bool objectsOutliveTheTarget : {false, true, false}) {
        SCOPED_TRACE(objectsOutliveTheTarget ? "objects destroyed after the target"
                                             : "objects destroyed first");
        std::unique_ptr<Objects> objects;
        {
            zv::Target target;
            objects = std::make_unique<Objects>();
            fillPlot(objects->plot);
            objects->chart.add(objects->inChart, "series");
            target.draw(objects->histogram, 0, 0, 0, 160, 120);
            target.draw(objects->plot, 0, 0, 0, 160, 120);
            target.draw(objects->image, 0, 0, 0, 160, 120, true, true);
            target.draw(objects->chart, 0, 0, 0, 160, 120);
            EXPECT_GT(liveNames(), before);
            if (!objectsOutliveTheTarget) objects.reset();
        }
        EXPECT_EQ(before, liveNames());
        objects.reset();
        EXPECT_EQ(before, liveNames());
        EXPECT_EQ(own, glfwGetCurrentContext());
        EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());
    }
    glfwDestroyWindow(own);
}

}  // namespace
