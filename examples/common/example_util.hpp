#pragma once
// What every example shares: how long to run and, when run headless by scripts/demo.sh,
// writing the last frame to a PNG. Not part of the library.
//
//   ZV_DEMO_FRAMES=N   stop after N frames (otherwise run until Escape or the close button)
//   ZV_DEMO_OUT=path   write the last frame to this PNG file

#include <zarvo.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef ZV_HAVE_STB
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>
#endif

namespace example {

// Frames to run, or -1 to run until the window is closed.
inline int frameLimit() {
    const char* v = std::getenv("ZV_DEMO_FRAMES");
    return v ? std::atoi(v) : -1;
}

// True while the example should go on drawing frame number `frame`.
inline bool running(zv::Window& window, int frame) {
    int limit = frameLimit();
    if (limit >= 0) return frame < limit;
    return !window.close();
}

// Writes the window's back buffer (call after the last whole-window draw, or before
// Window::draw() presents a grid) to $ZV_DEMO_OUT when it is set.
inline void saveFrame(zv::Window& window) {
    const char* out = std::getenv("ZV_DEMO_OUT");
    if (!out) return;
    window.makeCurrent();
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    int w = window.width(), h = window.height();
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
#ifdef ZV_HAVE_STB
    stbi_flip_vertically_on_write(1);
    if (!stbi_write_png(out, w, h, 3, pixels.data(), w * 3))
        std::fprintf(stderr, "could not write %s\n", out);
    else
        std::printf("wrote %s\n", out);
#else
    std::fprintf(stderr, "built without stb_image_write: %s not written\n", out);
#endif
}

}  // namespace example
