// An animated image: a wave field computed every frame and written straight into the image's
// pixel buffer, shown through each of the seven colour maps in turn.
#include <zarvo.h>

#include <cmath>
#include <cstdio>

#include "example_util.hpp"

namespace {

const char* const MAP_NAMES[] = {"DEFAULT", "SPECTRUM", "COLORS", "RED", "MOOD", "HEAT", "BLUE"};
const int FRAMES_PER_MAP = 60;

// Two circular waves from moving sources and a plane wave, within [0, 1].
void computeField(float* field, unsigned w, unsigned h, float t) {
    const float sx1 = 0.3f + 0.1f * std::cos(t), sy1 = 0.35f + 0.1f * std::sin(t);
    const float sx2 = 0.7f - 0.1f * std::sin(0.7f * t), sy2 = 0.65f;
    for (unsigned y = 0; y < h; ++y) {
        for (unsigned x = 0; x < w; ++x) {
            float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
            float r1 = std::hypot(u - sx1, v - sy1), r2 = std::hypot(u - sx2, v - sy2);
            float s = std::sin(40.0f * r1 - 3.0f * t) + std::sin(31.0f * r2 - 2.0f * t) +
                      0.5f * std::sin(12.0f * (u + v) + t);
            field[y * w + x] = 0.5f + s / 5.2f;  // peaks stay inside the map
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window window(800, 600, "libzarvo: animated image");
        // One float channel per pixel, read through the window's colour map.
        zv::Image image(400, 400, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32);

        for (int frame = 0; run.running(window, frame); ++frame) {
            // SPECTRUM first, the grey DEFAULT map last.
            int map = (1 + frame / FRAMES_PER_MAP) % 7;
            if (frame % FRAMES_PER_MAP == 0) {
                window.setColorMap(static_cast<zv::ColorMap>(map));
                std::string title = std::string("libzarvo: animated image, ") + MAP_NAMES[map];
                window.setTitle(title.c_str());
            }

            // Write the pixels into the image's buffer: map it, fill it, unmap it. The first
            // row of the buffer is the top row of the picture.
            window.makeCurrent();
            glBindBuffer(GL_PIXEL_UNPACK_BUFFER, image.pbo());
            void* pixels = glMapBufferRange(GL_PIXEL_UNPACK_BUFFER, 0, image.size(),
                                            GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT);
            if (pixels) {
                computeField(static_cast<float*>(pixels), image.width(), image.height(),
                             frame / 30.0f);
                glUnmapBuffer(GL_PIXEL_UNPACK_BUFFER);
            }
            glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);

            window.draw(image);  // keeps the aspect ratio: a square in the middle
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
