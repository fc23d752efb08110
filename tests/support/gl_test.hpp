#pragma once
// Test support for GL tests: a hidden window whose context is current, read-back of the
// colour buffer, and image dumps of failing pixel checks.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gl/gl.hpp"
#include "common/renderable.hpp"
#include "window/window_impl.hpp"

namespace zvtest {

struct RGBA {
    int r, g, b, a;
};
std::ostream& operator<<(std::ostream& os, const RGBA& c);
// Every channel within tol of the other's (3/255 suits flat areas).
bool near(const RGBA& a, const RGBA& b, int tol = 3);

// A read-back of the colour buffer: rows bottom-up, as OpenGL returns them.
struct Snapshot {
    int x0 = 0, y0 = 0, width = 0, height = 0;
    std::vector<unsigned char> rgba;
    // Pixel at window coordinates (x, y), from the bottom-left corner.
    RGBA at(int x, int y) const;
    // Number of pixels of the rectangle [x0, x1) x [y0, y1) for which pred holds.
    int count(int x0, int y0, int x1, int y1, const std::function<bool(const RGBA&)>& pred) const;
    // Bounding box {minx, miny, maxx, maxy} of the pixels for which pred holds;
    // {-1, -1, -1, -1} when none does.
    std::vector<int> bounds(const std::function<bool(const RGBA&)>& pred) const;
    // Writes the snapshot as a PPM file into the test output directory and returns its path.
    std::string save(const std::string& name) const;
};

// Reads the back buffer of the current default framebuffer (before a grid's draw() presents
// it, or right after a whole-window draw: Mesa keeps the back buffer after a swap).
Snapshot readBack(int x, int y, int width, int height);

bool isWhite(const RGBA& c);
bool isBlack(const RGBA& c);
bool isRed(const RGBA& c);
bool notBlack(const RGBA& c);

// Fails the test when an OpenGL error is pending.
void expectNoGLError(const char* where);

// A hidden 800 x 600 window with its context current and its entry points loaded.
class GLTest : public ::testing::Test {
protected:
    static constexpr int W = 800;
    static constexpr int H = 600;
    void SetUp() override;
    void TearDown() override;
    // The window's framebuffer, read back; saved into the output directory under the test's
    // name when the test has failed so far.
    Snapshot grab();
    std::shared_ptr<internal::window_impl> window;
};

// What the window hands an object drawn over an area of x, y, w x h pixels with the same
// viewport (set it first), the window's colour map included.
internal::DrawContext drawContext(const internal::window_impl& window, int x, int y, int w,
                                  int h);

// Fills its viewport with one colour and records what it was handed.
class SolidRenderable : public internal::AbstractRenderable {
public:
    explicit SolidRenderable(float r = 0, float g = 1, float b = 0) : mColor{r, g, b} {}
    internal::DrawnFrame render(const internal::DrawContext& draw) override;
    internal::DrawContext last;  // what the last draw was handed
    int lastWindow = -1, lastX = -1, lastY = -1, lastWidth = -1, lastHeight = -1;
    GLuint lastUBO = 0, lastSize = 0;
    int viewport[4] = {0, 0, 0, 0};
    bool scissorOn = false;
    int scissor[4] = {0, 0, 0, 0};

private:
    float mColor[3];
};

}  // namespace zvtest
