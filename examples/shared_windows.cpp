// Two windows in one share group drawing the same objects. The second window is created with
// the first as its parent, so it shares the first one's buffers; it starts hidden, draws all
// the same (a hidden window is a fine off-screen canvas) and, in an interactive run, is shown
// after two seconds. Each window has its own colour map.
#include <zarvo.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "example_util.hpp"

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window main(800, 400, "libzarvo: main window");
        // Objects belong to the share group of the window current when they are made: the
        // main window's, current since its creation.
        zv::Image image(128, 128, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32);
        const unsigned n = 100;
        zv::Plot plot(n, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_NONE);
        plot.setColor(1.0f, 0.5f, 0.2f);
        plot.setAxesLimits(1.0f, 0.0f, 1.0f, -1.0f);

        // Same share group, created hidden; creating it makes its context current.
        zv::Window second(400, 400, "libzarvo: second window", &main, true);
        second.setColorMap(zv::ZV_CMAP_MOOD);
        main.setColorMap(zv::ZV_CMAP_BLUE);

        std::vector<float> pixels(image.width() * image.height());
        std::vector<float> points(2 * n);
        main.grid(1, 2);
        for (int frame = 0; run.running(main, frame); ++frame) {
            const float t = frame / 30.0f;
            for (unsigned y = 0; y < image.height(); ++y)
                for (unsigned x = 0; x < image.width(); ++x) {
                    float u = x / 127.0f - 0.5f, v = y / 127.0f - 0.5f;
                    pixels[y * image.width() + x] =
                        0.5f + 0.5f * std::cos(30.0f * (u * u + v * v) - 2.0f * t);
                }
            for (unsigned i = 0; i < n; ++i) {
                float x = i / float(n - 1);
                points[2 * i] = x;
                points[2 * i + 1] = 0.8f * std::sin(6.2831853f * (2.0f * x) - t);
            }
            // Either window's context can write the shared buffers; use the main one.
            main.makeCurrent();
            glBindBuffer(GL_PIXEL_UNPACK_BUFFER, image.pbo());
            glBufferSubData(GL_PIXEL_UNPACK_BUFFER, 0, image.size(), pixels.data());
            glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
            glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
            glBufferSubData(GL_ARRAY_BUFFER, 0, plot.size(), points.data());
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            // Contexts sharing objects see each other's writes once the writes are flushed.
            glFlush();

            // Cell draws make the main window current; draw() presents them.
            main.draw(0, 0, image);
            main.draw(1, 0, plot);
            main.draw();
            run.capture(main, frame);

            // A whole-window draw makes the second window current and presents at once. A draw
            // would show a window the user closed again, so skip it then.
            if (!second.close()) {
                second.draw(image);
                run.capture(second, frame, "_second");
            }
            if (run.frames() < 0 && frame == 120) second.show();
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
