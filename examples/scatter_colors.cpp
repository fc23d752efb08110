// A colour-mapped scatter: a swirling cloud of particles, each coloured by its speed through
// the window's colour map and sized by its mass, with a colour bar naming the speeds. The
// application writes positions, speeds and sizes into three buffers the scatter made; the
// colours are looked up on the GPU at every draw.
#include <zarvo.h>

#include <cmath>
#include <vector>

#include "example_util.hpp"

namespace {

// Writes `data` into a buffer the library made.
void upload(unsigned buffer, const std::vector<float>& data) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(data.size() * sizeof(float)),
                    data.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window window(800, 600, "libzarvo: colour-mapped scatter");
        window.setColorMap(zv::ZV_CMAP_MOOD);

        const unsigned n = 600;
        // Discs whose side comes from the size buffer.
        zv::Scatter cloud(n, zv::ZV_FLOAT32, zv::ZV_MARKER_POINT, true);
        cloud.setValueRange(0.5f, 1.7f);  // speeds from 0.5 (violet) to 1.7 (yellow-green)
        cloud.setColorBar(true);
        cloud.setColorBarTitle("speed");
        cloud.setAxesLimits(2.0f, -2.0f, 2.0f, -2.0f);  // xmax, xmin, ymax, ymin
        cloud.setNiceTicks(true);
        cloud.setXAxisTitle("x");
        cloud.setYAxisTitle("y");

        std::vector<float> xy(2 * n), speed(n), size(n);
        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = frame / 40.0f;
            for (unsigned i = 0; i < n; ++i) {
                // Particles on a spiral: the inner ones turn faster.
                const float k = static_cast<float>(i) / static_cast<float>(n);
                const float r = 0.15f + 1.6f * k + 0.08f * std::sin(17.0f * k + t);
                const float w = 2.0f / (0.4f + r);
                const float a = 23.0f * k + w * t;
                xy[2 * i] = r * std::cos(a);
                xy[2 * i + 1] = 0.8f * r * std::sin(a);
                speed[i] = w * r;
                size[i] = 6.0f + 14.0f * std::fabs(std::sin(5.3f * static_cast<float>(i)));
            }
            window.makeCurrent();
            upload(cloud.vbo(), xy);
            upload(cloud.valueVbo(), speed);
            upload(cloud.sizeVbo(), size);
            window.draw(cloud);
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
