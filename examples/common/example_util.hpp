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

    // On the last frame, writes what the window shows to the picture file (with `suffix`
    // inserted before ".png" when given). Call it after the frame is presented: right after a
    // whole-window draw, or after the Window::draw() that presents a grid's cells.
    void capture(zv::Window& window, int frame, const char* suffix = nullptr) const {
        if (!lastFrame(frame) || mPicture.empty()) return;
        std::string path = mPicture;
        if (suffix) {
            size_t dot = path.rfind(".png");
            path.insert(dot == std::string::npos ? path.size() : dot, suffix);
        }
        writePNG(window, path);
    }

    // Writes what `window` shows as a PNG file, through the library's snapshot.
    static bool writePNG(zv::Window& window, const std::string& path) {
        try {
            window.saveSnapshot(path);
        } catch (const zv::Error& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return false;
        }
        std::printf("wrote %s\n", path.c_str());
        return true;
    }

private:
    int mFrames;
    std::string mPicture;
};

// Prints a libzarvo error the way the examples report them; returns the exit status.
inline int report(const zv::Error& e) {
    std::fprintf(stderr, "libzarvo error %d in %s (line %d): %s\n", e.err(), e.functionName(),
                 e.line(), e.what());
    if (auto* t = dynamic_cast<const zv::TypeError*>(&e))
        std::fprintf(stderr, "  argument %d: type %s\n", t->argIndex(), t->typeName());
    else if (auto* a = dynamic_cast<const zv::ArgumentError*>(&e))
        std::fprintf(stderr, "  argument %d: %s\n", a->argIndex(), a->expectedCondition());
    else if (auto* d = dynamic_cast<const zv::DimensionError*>(&e))
        std::fprintf(stderr, "  argument %d: %s\n", d->argIndex(), d->expectedCondition());
    else if (*e.expectedCondition())
        std::fprintf(stderr, "  %s\n", e.expectedCondition());
    return 1;
}

}  // namespace example
