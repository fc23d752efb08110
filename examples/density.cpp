// The density of a million points: two clouds that turn around each other, written into the
// 2-D histogram's buffer every frame and counted into 200 x 150 bins on the GPU, shown
// through the "spectrum" colour map on a logarithmic scale. Empty bins stay black.
#include <zarvo.h>

#include <cmath>
#include <random>
#include <vector>

#include "example_util.hpp"

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window window(800, 600, "libzarvo: 2-D histogram");
        window.setColorMap(zv::ZV_CMAP_SPECTRUM);

        const unsigned n = 1000000;
        zv::Histogram2D density(n, 200, 150);
        // The bins span the plane the points may reach; the axes show that rectangle.
        density.setBinRange(-4.0f, 4.0f, -3.0f, 3.0f);
        density.fitAxesToData();
        density.setLogScale(true);
        density.setXAxisTitle("x");
        density.setYAxisTitle("y");

        // Unit samples drawn once; each frame only turns and stretches them.
        std::mt19937 rng(7);
        std::normal_distribution<float> unit(0.0f, 1.0f);
        std::vector<float> base(2 * size_t(n)), points(2 * size_t(n));
        for (float& v : base) v = unit(rng);

        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = 0.6f + frame / 40.0f;
            const float c = std::cos(t), s = std::sin(t);
            for (unsigned i = 0; i < n; ++i) {
                const bool first = i % 3 != 0;
                const float cx = first ? 1.3f * c : -1.6f * c, cy = first ? 1.0f * s : -1.2f * s;
                const float sx = first ? 0.9f : 0.4f, sy = first ? 0.5f : 0.8f;
                points[2 * i] = cx + sx * base[2 * i];
                points[2 * i + 1] = cy + sy * base[2 * i + 1];
            }
            window.makeCurrent();
            glBindBuffer(GL_ARRAY_BUFFER, density.vbo());
            glBufferSubData(GL_ARRAY_BUFFER, 0, density.size(), points.data());
            glBindBuffer(GL_ARRAY_BUFFER, 0);

            window.draw(density);
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
