// Windows with no window system: an EGL context drawing into a framebuffer object of the
// library's. The same frame drawn in a window of the X server and in a headless window gives
// the same bytes; objects are shared in a headless share group; the application's framebuffer
// bindings survive; EGL devices are chosen by index; a program left to choose goes headless
// when no X display opens; nothing is leaked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include <EGL/egl.h>

#include "gl/gl_objects.hpp"
#include "zarvo.h"

namespace {

const char* DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

zv::WindowOptions headless(const zv::Window* parent = nullptr) {
    zv::WindowOptions o;
    o.system = zv::ZV_WINDOW_HEADLESS;
    o.parent = parent;
    return o;
}

void upload(GLenum target, GLuint buffer, const std::vector<float>& values) {
    glBindBuffer(target, buffer);
    glBufferSubData(target, 0, static_cast<GLsizeiptr>(values.size() * sizeof(float)),
                    values.data());
    glBindBuffer(target, 0);
}

// A grid frame of every kind of object, with captions: sloped lines, round markers, text
// and an image through a colour map, whose edges only a resolved multisampled picture
// shows with intermediate levels.
zv::Snapshot drawGallery(zv::Window& window) {
    window.makeCurrent();
    zv::Font font;
    font.loadFont(DEJAVU, 20);
    window.setFont(&font);
    window.setColorMap(zv::ZV_CMAP_HEAT);
    const unsigned n = 40;
    zv::Plot line(n, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_CIRCLE);
    zv::Histogram hist(16, zv::ZV_FLOAT32);
    zv::Image image(64, 48, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32);
    std::vector<float> xy(2 * n), freq(16), pixels(64 * 48);
    for (unsigned i = 0; i < n; ++i) {
        xy[2 * i] = static_cast<float>(i) / (n - 1);
        xy[2 * i + 1] = std::sin(7.0f * xy[2 * i]);
    }
    for (unsigned b = 0; b < 16; ++b) freq[b] = 0.1f + 0.05f * b;
    for (unsigned p = 0; p < pixels.size(); ++p) pixels[p] = 0.5f + 0.5f * std::sin(0.05f * p);
    upload(GL_ARRAY_BUFFER, line.vbo(), xy);
    upload(GL_ARRAY_BUFFER, hist.vbo(), freq);
    upload(GL_PIXEL_UNPACK_BUFFER, image.pbo(), pixels);
    line.setAxesLimits(1.0f, 0.0f, 1.0f, -1.0f);
    line.setXAxisTitle("time");
    hist.setAxesLimits(1.0f, 0.0f, 1.0f, 0.0f);
    window.grid(2, 2);
    window.draw(0, 0, image, "Image", false, true);
    window.draw(1, 0, line, "Line");
    window.draw(0, 1, hist, "Histogram");
    window.draw();
    return window.snapshot();
}

// Markers on the frame's corners, clipped to it, and a line round the limits' rectangle:
// edges that fall exactly between pixels.
zv::Snapshot drawCorners(zv::Window& window) {
    window.makeCurrent();
    zv::Plot scatter(5, zv::ZV_FLOAT32, zv::ZV_PLOT_SCATTER, zv::ZV_MARKER_SQUARE);
    upload(GL_ARRAY_BUFFER, scatter.vbo(), {0, 0, 1, 0, 1, 1, 0, 1, 0.5f, 0.5f});
    scatter.setAxesLimits(1.0f, 0.0f, 1.0f, 0.0f);
    scatter.setColor(1.0f, 0.0f, 0.0f);
    window.draw(scatter);
    return window.snapshot();
}

int inked(const zv::Snapshot& s) {
    int n = 0;
    for (size_t i = 0; i < s.rgba.size(); i += 4)
        n += s.rgba[i] + s.rgba[i + 1] + s.rgba[i + 2] > 30;
    return n;
}

}  // namespace

// The picture is the X window's, byte for byte: same size, samples and formats. Both kinds
// of context live in one process here, so switching between them works too.
TEST(Headless, GridOfEveryKindEqualsTheXWindowsPictureByteForByte) {
    zv::Window off(640, 480, "headless", headless());
    ASSERT_TRUE(off.headless());
    const zv::Snapshot picture = drawGallery(off);
    ASSERT_EQ(picture.width, 640);
    ASSERT_EQ(picture.height, 480);
    EXPECT_GT(inked(picture), 640 * 480 / 20);
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no X display to compare with";
    zv::WindowOptions x;
    x.system = zv::ZV_WINDOW_X11;
    x.invisible = true;
    zv::Window on(640, 480, "x", x);
    ASSERT_FALSE(on.headless());
    const zv::Snapshot reference = drawGallery(on);
    ASSERT_EQ(reference.rgba.size(), picture.rgba.size());
    size_t differing = 0;
    for (size_t i = 0; i < picture.rgba.size(); ++i) differing += picture.rgba[i] != reference.rgba[i];
    EXPECT_EQ(differing, 0u);
    EXPECT_TRUE(drawCorners(on).rgba == drawCorners(off).rgba);
    // The headless window still draws after the X window's context was current.
    EXPECT_EQ(drawGallery(off).rgba, picture.rgba);
}

// A child shares its parent's objects; the frame keeps its content until the next frame and
// follows setSize(); the application's framebuffer bindings (its own framebuffer, or none)
// come back after draws and snapshots.
TEST(Headless, ShareGroupResizeAndTheApplicationsFramebufferBindings) {
    zv::Window parent(200, 100, "parent", headless());
    zv::Plot plot(2, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_NONE);
    upload(GL_ARRAY_BUFFER, plot.vbo(), {0.0f, 0.0f, 1.0f, 1.0f});
    plot.setAxesLimits(1.0f, 0.0f, 1.0f, 0.0f);
    zv::Window child(300, 150, "child", headless(&parent));
    child.draw(plot);
    const zv::Snapshot first = child.snapshot();
    EXPECT_EQ(first.width, 300);
    EXPECT_GT(inked(first), 300);

    child.setSize(120, 90);
    EXPECT_EQ(child.framebufferSize().width, 120);
    EXPECT_EQ(child.framebufferSize().height, 90);
    child.draw(plot);
    const zv::Snapshot resized = child.snapshot();
    EXPECT_EQ(resized.width, 120);
    EXPECT_EQ(resized.height, 90);
    EXPECT_GT(inked(resized), 100);

    // The application's own framebuffer stays bound for drawing and reading.
    child.makeCurrent();
    GLuint mine = 0, colour = 0;
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 4, 4);
    glGenFramebuffers(1, &mine);
    glBindFramebuffer(GL_FRAMEBUFFER, mine);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    struct Case {
        GLuint draw, read;
    };
    for (const Case c : {Case{mine, mine}, Case{0, mine}, Case{0, 0}}) {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, c.draw);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, c.read);
        child.draw(plot);
        EXPECT_EQ(child.snapshot().rgba, resized.rgba);
        GLint drawn = -1, read = -1, rb = -1;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
        glGetIntegerv(GL_RENDERBUFFER_BINDING, &rb);
        EXPECT_EQ(static_cast<GLuint>(drawn), c.draw);
        EXPECT_EQ(static_cast<GLuint>(read), c.read);
        EXPECT_EQ(rb, 0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &mine);
    glDeleteRenderbuffers(1, &colour);

    // hide() and show() only move the closed flag.
    EXPECT_FALSE(child.close());
    child.hide();
    EXPECT_TRUE(child.close());
    child.show();
    EXPECT_FALSE(child.close());
}

// Destroying a headless window releases its context and its framebuffer's renderbuffers;
// the last one leaves no EGL context current.
TEST(Headless, WindowsMadeAndDestroyedLeaveNothingBehind) {
    long before = -1;
    for (int i = 0; i < 20; ++i) {
        zv::Window w(64, 64, "w", headless());
        if (before < 0) before = internal::liveGLObjects();
        zv::Window child(32, 32, "c", headless(&w));
        EXPECT_EQ(internal::liveGLObjects(), before + 2);  // the child's two renderbuffers
        child.grid(1, 1);
        child.draw();
        EXPECT_EQ(child.snapshot().width, 32);
    }
    EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
    zv::Window last(8, 8, "last", headless());
    EXPECT_EQ(internal::liveGLObjects(), before);
}

// EGL devices by index: those the driver lists work, others are errors that say which exist.
TEST(Headless, EglDeviceIndexFromTheOptionOrTheEnvironment) {
    zv::WindowOptions o = headless();
    o.eglDevice = 0;
    zv::Window first(32, 32, "device 0", o);
    first.grid(1, 1);
    EXPECT_EQ(first.snapshot().width, 32);

    o.eglDevice = 999;
    try {
        zv::Window w(32, 32, "device 999", o);
        FAIL() << "an index the driver does not list was taken";
    } catch (const zv::ArgumentError& e) {
        EXPECT_EQ(e.argIndex(), 4);
        EXPECT_NE(std::string(e.expectedCondition()).find("indices 0 to"), std::string::npos)
            << e.expectedCondition();
    }
    // A child must use its parent's device.
    o.parent = &first;
    o.eglDevice = -1;
    EXPECT_THROW(zv::Window(32, 32, "surfaceless child", o), zv::ArgumentError);

    for (const char* value : {"999", "two", "-1"}) {
        setenv("ZV_EGL_DEVICE", value, 1);
        try {
            zv::Window w(32, 32, "from the environment", headless());
            FAIL() << "ZV_EGL_DEVICE=" << value << " was taken";
        } catch (const zv::ArgumentError&) {
            FAIL() << "ZV_EGL_DEVICE is not an argument";
        } catch (const zv::Error& e) {
            EXPECT_EQ(e.err(), zv::ZV_ERR_GL);
            EXPECT_NE(std::string(e.expectedCondition()).find("ZV_EGL_DEVICE"),
                      std::string::npos);
        }
    }
    setenv("ZV_EGL_DEVICE", "0", 1);
    zv::Window fromEnvironment(16, 16, "device 0", headless());
    EXPECT_TRUE(fromEnvironment.headless());
    unsetenv("ZV_EGL_DEVICE");
}

// A program not written for it: ZV_HEADLESS=1 makes its windows headless, and with no
// display it goes headless on its own with one line on stderr (once); ZV_HEADLESS=0 refuses.
TEST(Headless, ChosenByTheEnvironmentOrWhenNoDisplayOpens) {
    zv::WindowOptions x;
    x.system = zv::ZV_WINDOW_X11;
    setenv("ZV_HEADLESS", "1", 1);
    {
        zv::Window w(32, 32, "forced");
        EXPECT_TRUE(w.headless());
        zv::Window child(16, 16, "child", &w);  // a parent's kind wins
        EXPECT_TRUE(child.headless());
        x.parent = &w;
        EXPECT_THROW(zv::Window(16, 16, "x child", x), zv::ArgumentError);
        x.parent = nullptr;
    }
    unsetenv("DISPLAY");
    setenv("ZV_HEADLESS", "0", 1);
    EXPECT_THROW(zv::Window(32, 32, "refused"), zv::Error);
    EXPECT_THROW(zv::Window(32, 32, "x", x), zv::Error);
    unsetenv("ZV_HEADLESS");
    testing::internal::CaptureStderr();
    {
        zv::Window a(32, 32, "fallback");
        zv::Window b(32, 32, "fallback again");
        EXPECT_TRUE(a.headless());
        EXPECT_TRUE(b.headless());
        a.grid(1, 1);
        EXPECT_EQ(a.snapshot().width, 32);
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("headless"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    // An explicit X window still refuses to fall back.
    EXPECT_THROW(zv::Window(32, 32, "x", x), zv::Error);
}
