// Builds against the installed library only: draws a few frames of a plot whose points are
// written through OpenGL, and catches one of the library's exceptions.
#include <zarvo.h>

#include <cmath>
#include <cstdio>
#include <vector>

int main() {
    try {
        zv::Window window(320, 240, "consumer", nullptr, true);
        const unsigned n = 100;
        zv::Plot plot(n, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_POINT);
        plot.setAxesLimits(1.0f, 0.0f, 1.0f, -1.0f);
        for (int frame = 0; frame < 5; ++frame) {
            std::vector<float> points(2 * n);
            for (unsigned i = 0; i < n; ++i) {
                points[2 * i] = i / float(n - 1);
                points[2 * i + 1] = std::sin(6.2831853f * (points[2 * i] + frame * 0.1f));
            }
            window.makeCurrent();
            glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
            glBufferSubData(GL_ARRAY_BUFFER, 0, plot.size(), points.data());
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            window.draw(plot);
        }
        try {
            zv::Plot bad(10, zv::ZV_INT8);
            std::fprintf(stderr, "ZV_INT8 plot was accepted\n");
            return 1;
        } catch (const zv::TypeError& e) {
            std::printf("caught %s (code %d)\n", e.what(), e.err());
        }
        if (glGetError() != GL_NO_ERROR) {
            std::fprintf(stderr, "OpenGL error\n");
            return 1;
        }
    } catch (const zv::Error& e) {
        std::fprintf(stderr, "%s (%s, code %d)\n", e.what(), e.functionName(), e.err());
        return 1;
    }
    std::printf("consumer ok\n");
    return 0;
}
