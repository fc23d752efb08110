// A scatter plot: three clouds of points circling the origin, drawn as markers only. The
// points are integers here (ZV_INT32): a plot reads its buffer in axis units, whatever the
// element type, so no scaling is needed on either side.
#include <zarvo.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "example_util.hpp"

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window window(800, 600, "libzarvo: scatter plot");

        const unsigned perCloud = 120, n = 3 * perCloud;
        zv::Plot plot(n, zv::ZV_INT32, zv::ZV_PLOT_SCATTER, zv::ZV_MARKER_POINT);
        plot.setColor(0.2f, 0.8f, 1.0f);  // sky blue
        plot.setAxesLimits(1000.0f, -1000.0f, 1000.0f, -1000.0f);
        plot.setXAxisTitle("x");
        plot.setYAxisTitle("y");

        // Each point keeps its offset from its cloud's centre; the centres move.
        std::mt19937 rng(7);
        std::normal_distribution<float> spread(0.0f, 110.0f);
        std::vector<float> offset(2 * n);
        for (float& o : offset) o = spread(rng);
        std::vector<int> points(2 * n);

        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = frame / 40.0f;
            for (unsigned i = 0; i < n; ++i) {
                unsigned cloud = i / perCloud;
                float angle = t + cloud * 2.0943951f;  // 120 degrees apart
                float radius = 520.0f + 120.0f * std::sin(2.0f * t + cloud);
                points[2 * i] = static_cast<int>(radius * std::cos(angle) + offset[2 * i]);
                points[2 * i + 1] = static_cast<int>(radius * std::sin(angle) + offset[2 * i + 1]);
            }
            // The points are made on the CPU here, so one upload replaces the buffer's contents.
            window.makeCurrent();
            glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
            glBufferSubData(GL_ARRAY_BUFFER, 0, plot.size(), points.data());
            glBindBuffer(GL_ARRAY_BUFFER, 0);

            window.draw(plot);
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
