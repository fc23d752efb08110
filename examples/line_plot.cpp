// A live line plot: a travelling sine wave with a circle at every point, axis limits and axis
// titles. The points are written into the plot's vertex buffer every frame.
#include <zarvo.h>

#include <cmath>
#include <cstdio>

#include "example_util.hpp"

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window window(800, 600, "libzarvo: line plot");

        const unsigned n = 60;
        const float twoPi = 6.2831853f;
        zv::Plot plot(n, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_CIRCLE);
        plot.setColor(0xFFC020FF);                     // amber, packed 0xRRGGBBAA
        plot.setAxesLimits(twoPi, 0.0f, 1.5f, -1.5f);  // xmax, xmin, ymax, ymin
        plot.setXAxisTitle("phase");
        plot.setYAxisTitle("amplitude");

        for (int frame = 0; run.running(window, frame); ++frame) {
            window.makeCurrent();
            glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
            auto* xy = static_cast<float*>(glMapBufferRange(
                GL_ARRAY_BUFFER, 0, plot.size(), GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT));
            if (xy) {
                const float t = frame / 20.0f;
                for (unsigned i = 0; i < n; ++i) {
                    float x = twoPi * i / (n - 1);
                    xy[2 * i] = x;  // x0, y0, x1, y1, ...
                    xy[2 * i + 1] = (1.0f + 0.2f * std::sin(0.5f * t)) * std::sin(x - t);
                }
                glUnmapBuffer(GL_ARRAY_BUFFER);
            }
            glBindBuffer(GL_ARRAY_BUFFER, 0);

            window.draw(plot);
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
