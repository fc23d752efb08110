#include "support/gl_test.hpp"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

#include "glfw/window.hpp"

namespace zvtest {

std::ostream& operator<<(std::ostream& os, const RGBA& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

bool near(const RGBA& a, const RGBA& b, int tol) {
    return std::abs(a.r - b.r) <= tol && std::abs(a.g - b.g) <= tol &&
           std::abs(a.b - b.b) <= tol && std::abs(a.a - b.a) <= tol;
}

RGBA Snapshot::at(int x, int y) const {
    int lx = x - x0, ly = y - y0;
    if (lx < 0 || ly < 0 || lx >= width || ly >= height) return {-1, -1, -1, -1};
    const unsigned char* p = &rgba[(static_cast<size_t>(ly) * width + lx) * 4];
    return {p[0], p[1], p[2], p[3]};
}

int Snapshot::count(int xa, int ya, int xb, int yb,
                    const std::function<bool(const RGBA&)>& pred) const {
    int n = 0;
    for (int y = ya; y < yb; ++y)
        for (int x = xa; x < xb; ++x)
            if (at(x, y).r >= 0 && pred(at(x, y))) ++n;
    return n;
}

std::vector<int> Snapshot::bounds(const std::function<bool(const RGBA&)>& pred) const {
    std::vector<int> b = {-1, -1, -1, -1};
    for (int y = y0; y < y0 + height; ++y)
        for (int x = x0; x < x0 + width; ++x) {
            if (!pred(at(x, y))) continue;
            if (b[0] < 0 || x < b[0]) b[0] = x;
            if (b[1] < 0 || y < b[1]) b[1] = y;
            if (x > b[2]) b[2] = x;
            if (y > b[3]) b[3] = y;
        }
    return b;
}

std::string Snapshot::save(const std::string& name) const {
    const char* dir = std::getenv("ZV_TEST_OUTPUT_DIR");
    std::string d = dir ? dir : "test-output";
    mkdir(d.c_str(), 0755);
    std::string path = d + "/" + name + ".ppm";
    std::ofstream f(path, std::ios::binary);
    f << "P6\n" << width << " " << height << "\n255\n";
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x)
            f.write(reinterpret_cast<const char*>(&rgba[(static_cast<size_t>(y) * width + x) * 4]), 3);
    return path;
}

Snapshot readBack(int x, int y, int width, int height) {
    Snapshot s;
    s.x0 = x;
    s.y0 = y;
    s.width = width;
    s.height = height;
    s.rgba.resize(static_cast<size_t>(width) * height * 4);
    GLint pack = 4, readBuffer = GL_BACK, readFbo = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    const internal::Context* window = internal::currentWindow();
    const GLuint frame = window ? window->frameBuffer() : 0;
    if (frame == 0) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, s.rgba.data());
        glReadBuffer(readBuffer);
    } else {
        // A headless window's multisampled framebuffer object is resolved first, as
        // presenting resolves the window system's back buffer.
        GLint drawFbo = 0, rb = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFbo);
        glGetIntegerv(GL_RENDERBUFFER_BINDING, &rb);
        GLuint colour = 0, resolved = 0;
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glGenFramebuffers(1, &resolved);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolved);
        glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  colour);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, frame);
        glBlitFramebuffer(x, y, x + width, y + height, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, resolved);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, s.rgba.data());
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFbo));
        glDeleteFramebuffers(1, &resolved);
        glDeleteRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(rb));
    }
    glPixelStorei(GL_PACK_ALIGNMENT, pack);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFbo);
    return s;
}

bool isWhite(const RGBA& c) { return c.r > 200 && c.g > 200 && c.b > 200; }
bool isBlack(const RGBA& c) { return c.r < 8 && c.g < 8 && c.b < 8; }
bool isRed(const RGBA& c) { return c.r > 100 && c.g < 40 && c.b < 40; }
bool notBlack(const RGBA& c) { return !isBlack(c); }

void expectNoGLError(const char* where) {
    GLenum e = glGetError();
    EXPECT_EQ(e, static_cast<GLenum>(GL_NO_ERROR)) << "OpenGL error after " << where;
}

void GLTest::SetUp() {
    window = std::make_shared<internal::window_impl>(W, H, "zarvo test",
                                                     std::weak_ptr<internal::window_impl>(), true);
    // Judge pixels only on a real context of at least 3.3 core.
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    ASSERT_NE(renderer, nullptr);
    GLint major = 0, minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    ASSERT_GE(major * 10 + minor, 33) << "renderer " << renderer;
    expectNoGLError("window creation");
}

void GLTest::TearDown() {
    if (window) {
        internal::MakeContextCurrent(window.get());
        expectNoGLError("the test");
    }
    window.reset();
}

Snapshot GLTest::grab() {
    int w = 0, h = 0;
    window->get()->getFrameBufferSize(&w, &h);
    Snapshot s = readBack(0, 0, w, h);
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (::testing::Test::HasFailure() && info) {
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : name)
            if (c == '/') c = '_';
        ADD_FAILURE() << "picture written to " << s.save(name);
    }
    return s;
}

internal::DrawContext drawContext(const internal::window_impl& window, int x, int y, int w,
                                  int h) {
    internal::DrawContext d;
    d.windowId = window.id();
    d.area = {x, y, w, h};
    d.viewport = {x, y, w, h};
    d.colorMap = window.colorMapBuffer();
    d.colorMapRows = window.colorMapLength();
    return d;
}

internal::DrawnFrame SolidRenderable::render(const internal::DrawContext& draw) {
    last = draw;
    lastWindow = draw.windowId;
    lastX = draw.area.x;
    lastY = draw.area.y;
    lastWidth = draw.area.width;
    lastHeight = draw.area.height;
    lastUBO = draw.colorMap;
    lastSize = draw.colorMapRows;
    glGetIntegerv(GL_VIEWPORT, viewport);
    scissorOn = glIsEnabled(GL_SCISSOR_TEST);
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    // Fills exactly the scissor box when the scissor test is on, else the viewport.
    GLboolean wasOn = glIsEnabled(GL_SCISSOR_TEST);
    if (!wasOn) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(viewport[0], viewport[1], viewport[2], viewport[3]);
    }
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glClearColor(mColor[0], mColor[1], mColor[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    if (!wasOn) glDisable(GL_SCISSOR_TEST);
    return {};
}

}  // namespace zvtest
