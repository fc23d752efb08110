// A simulated temperature field in kelvin, shown through the heat map with a colour bar:
// the image's value range maps 250 K to 320 K onto the map on the GPU, so the application
// writes temperatures as they are, without scaling them to [0, 1] itself.
#include <zarvo.h>

#include <cmath>

#include "example_util.hpp"

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window window(800, 600, "libzarvo: temperature field");
        window.setColorMap(zv::ZV_CMAP_HEAT);

        const unsigned w = 160, h = 120;
        zv::Image field(w, h, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32);
        field.setValueRange(250.0f, 320.0f);  // kelvin

        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = frame / 30.0f;
            window.makeCurrent();
            glBindBuffer(GL_PIXEL_UNPACK_BUFFER, field.pbo());
            auto* kelvin = static_cast<float*>(glMapBufferRange(
                GL_PIXEL_UNPACK_BUFFER, 0, field.size(),
                GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT));
            if (kelvin) {
                // Two warm spots drifting over a cool plate, rows from the top.
                const float ax = 0.3f + 0.1f * std::cos(t), ay = 0.4f + 0.1f * std::sin(t);
                const float bx = 0.7f - 0.1f * std::sin(t), by = 0.6f;
                for (unsigned y = 0; y < h; ++y)
                    for (unsigned x = 0; x < w; ++x) {
                        const float u = float(x) / w, v = float(y) / h;
                        const float da = (u - ax) * (u - ax) + (v - ay) * (v - ay);
                        const float db = (u - bx) * (u - bx) + (v - by) * (v - by);
                        kelvin[y * w + x] = 255.0f + 60.0f * std::exp(-da / 0.01f) +
                                            45.0f * std::exp(-db / 0.02f) + 10.0f * v;
                    }
                glUnmapBuffer(GL_PIXEL_UNPACK_BUFFER);
            }
            glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);

            window.draw(field, true, true);  // keep the aspect ratio, colour bar at the right
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
