// A live plot: every frame the points are written into the plot's own OpenGL buffer.
// g++ -std=c++17 readme_plot.cpp $(pkg-config --cflags --libs zarvo)
#include <zarvo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : -1;  // optional: stop after N frames
    try {
        zv::Window window(800, 600, "live plot");  // its context is now current
        const unsigned n = 200;
        zv::Plot plot(n, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_NONE);
        plot.setColor(0.2f, 0.8f, 1.0f);
        plot.setAxesLimits(10.0f, 0.0f, 1.0f, -1.0f);  // xmax, xmin, ymax, ymin
        plot.setXAxisTitle("t (µs)");  // text is UTF-8
        plot.setYAxisTitle("y");
        for (int frame = 0; frame != frames && !window.close(); ++frame) {
            window.makeCurrent();  // OpenGL calls go to this window's context
            glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
            auto* xy = static_cast<float*>(glMapBufferRange(
                GL_ARRAY_BUFFER, 0, plot.size(), GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT));
            if (xy) {
                for (unsigned i = 0; i < n; ++i) {
                    float t = 10.0f * i / (n - 1);
                    xy[2 * i] = t;  // x0, y0, x1, y1, ... in axis units
                    xy[2 * i + 1] = std::exp(-0.2f * t) * std::sin(3.0f * t - 0.1f * frame);
                }
                glUnmapBuffer(GL_ARRAY_BUFFER);
            }
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            window.draw(plot);  // the chart frame around the data, then the frame is shown
        }
    } catch (const zv::Error& e) {  // every failure is a zv::Error: what failed, and what to do
        std::fprintf(stderr, "%s: %s (code %d)\n%s\n", e.functionName(), e.what(), e.err(),
                     e.expectedCondition());
        return 1;
    }
    return 0;
}
