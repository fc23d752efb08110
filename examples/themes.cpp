// Styles and themes: the same chart of two series in three grid cells side by side, drawn
// with the library's own look, the light theme and the dark theme. A window's style sets
// the background and the captions; each chart here has a style of its own, so one frame
// shows all three. The themed charts write their titles outside the frame (the y title
// turned to read upwards, a chart title above) and put the legend right of the frame.
#include <zarvo.h>

#include <cmath>

#include "example_util.hpp"

namespace {

// Writes n points of f(x) over [0, 24) hours into a plot's buffer.
template <class F>
void write(zv::Plot& plot, unsigned n, F f) {
    glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
    auto* xy = static_cast<float*>(glMapBufferRange(
        GL_ARRAY_BUFFER, 0, plot.size(), GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT));
    if (xy) {
        for (unsigned i = 0; i < n; ++i) {
            const float x = 24.0f * i / n;
            xy[2 * i] = x;
            xy[2 * i + 1] = f(x);
        }
        glUnmapBuffer(GL_ARRAY_BUFFER);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window window(1500, 500, "libzarvo: styles and themes");
        zv::Font font;
        font.loadSystemFont("Vera", 24);
        window.setFont(&font);
        // The window's style: the background between the cells and the captions.
        zv::Style look = zv::Style::light();
        look.background = 0xE8E8E8FF;
        window.setStyle(look);

        const unsigned n = 240, samples = 24;
        zv::Plot air(n, zv::ZV_FLOAT32);
        zv::Plot ground(samples, zv::ZV_FLOAT32, zv::ZV_PLOT_SCATTER, zv::ZV_MARKER_CIRCLE);

        const zv::Style styles[3] = {zv::Style(), zv::Style::light(), zv::Style::dark()};
        const char* captions[3] = {"Style()", "Style::light()", "Style::dark()"};
        zv::Chart charts[3];
        for (int k = 0; k < 3; ++k) {
            zv::Chart& c = charts[k];
            c.setAxesLimits(24.0f, 0.0f, 30.0f, -5.0f);  // xmax, xmin, ymax, ymin
            c.setXAxisTitle("time of day (h)");
            c.setYAxisTitle("Temperature (°C)");
            c.setTitle("A day of readings");
            c.add(air, "air");
            c.add(ground, "ground");
            c.setStyle(styles[k]);
        }

        window.grid(1, 3);
        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = frame / 30.0f;
            window.makeCurrent();
            write(air, n, [t](float h) {
                return 12.0f + 9.0f * std::sin(0.2618f * (h - 9.0f) - 0.1f * t);
            });
            write(ground, samples, [t](float h) {
                return 10.0f + 4.0f * std::sin(0.2618f * (h - 12.0f) - 0.1f * t);
            });
            for (int k = 0; k < 3; ++k) window.draw(k, 0, charts[k], captions[k]);
            window.draw();
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
