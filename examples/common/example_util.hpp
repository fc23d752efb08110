#pragma once
// What the examples share, apart from the library: how many frames to run, writing the last
// frame to a PNG file, and printing a libzarvo error. Not part of the library.
//
// Every example takes the same two optional arguments:
//
//   example [frames] [picture.png]
//
// frames       stop after this many frames (otherwise run until Escape or the close button)
// picture.png  write the last frame to this file (scripts/demo.sh passes out/<example>.png)

#include <zarvo.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef ZV_HAVE_STB
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop
#endif

namespace example {

class Run {
public:
    Run(int argc, char** argv)
        : mFrames(argc > 1 ? std::atoi(argv[1]) : -1), mPicture(argc > 2 ? argv[2] : "") {}

    // True while frame number `frame` should be drawn: below the frame count when one was
    // given, otherwise until the user closes the window.
    bool running(zv::Window& window, int frame) const {
        return mFrames >= 0 ? frame < mFrames : !window.close();
    }
    // True for the last frame of a run with a frame count.
    bool lastFrame(int frame) const { return mFrames >= 0 && frame == mFrames - 1; }
    int frames() const { return mFrames; }
    const std::string& picture() const { return mPicture; }

    // On the last frame, writes the window's back buffer to the picture file (with `suffix`
    // inserted before ".png" when given). Call it right after a whole-window draw, or after
    // a grid's cell draws and before Window::draw() presents them.
    void capture(zv::Window& window, int frame, const char* suffix = nullptr) const {
        if (!lastFrame(frame) || mPicture.empty()) return;
        std::string path = mPicture;
        if (suffix) {
            size_t dot = path.rfind(".png");
            path.insert(dot == std::string::npos ? path.size() : dot, suffix);
        }
        writePNG(window, path);
    }

    // Reads the back buffer of `window` (its creation size) and writes it as an RGB PNG.
    // Mesa keeps the back buffer's contents after a swap, which is what lets a whole-window
    // draw, which presents at once, be captured afterwards.
    static bool writePNG(zv::Window& window, const std::string& path) {
        window.makeCurrent();
        const int w = window.width(), h = window.height();
        std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 3);
        GLint readBuffer = 0, packAlignment = 0;
        glGetIntegerv(GL_READ_BUFFER, &readBuffer);
        glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
        glReadBuffer(static_cast<GLenum>(readBuffer));
#ifdef ZV_HAVE_STB
        stbi_flip_vertically_on_write(1);  // OpenGL rows run bottom-up, PNG rows top-down
        if (!stbi_write_png(path.c_str(), w, h, 3, pixels.data(), w * 3)) {
            std::fprintf(stderr, "could not write %s\n", path.c_str());
            return false;
        }
        std::printf("wrote %s\n", path.c_str());
        return true;
#else
        std::fprintf(stderr, "built without stb_image_write (libstb-dev): %s not written\n",
                     path.c_str());
        return false;
#endif
    }

private:
    int mFrames;
    std::string mPicture;
};

// Prints a libzarvo error the way the examples report them; returns the exit status.
inline int report(const zv::Error& e) {
    std::fprintf(stderr, "libzarvo error %d in %s (line %d): %s\n", e.err(), e.functionName(),
                 e.line(), e.what());
    if (auto* a = dynamic_cast<const zv::ArgumentError*>(&e))
        std::fprintf(stderr, "  argument %d: %s\n", a->argIndex(), a->expectedCondition());
    else if (auto* d = dynamic_cast<const zv::DimensionError*>(&e))
        std::fprintf(stderr, "  argument %d: %s\n", d->argIndex(), d->expectedCondition());
    else if (auto* t = dynamic_cast<const zv::TypeError*>(&e))
        std::fprintf(stderr, "  argument %d: type %s\n", t->argIndex(), t->typeName());
    return 1;
}

}  // namespace example
