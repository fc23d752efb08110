// Axes at any scale, three plots side by side: a damped oscillation in SI units (tens of
// microseconds, microns), whose labels switch to scientific notation by themselves; a power
// law over four decades on logarithmic axes, where it is a straight line; and a noisy sweep
// from -100 to 100 with ticks at round values.
#include <zarvo.h>

#include <cmath>
#include <vector>

#include "example_util.hpp"

namespace {

void write(zv::Plot& plot, const std::vector<float>& xy) {
    glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
    glBufferSubData(GL_ARRAY_BUFFER, 0, plot.size(), xy.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window window(1200, 400, "libzarvo: axes at any scale");
        zv::Font font;
        font.loadSystemFont("Vera", 24);
        window.setFont(&font);

        // Tens of microseconds against microns: the default nine ticks, labelled
        // "1.0e-05" and so on because two decimals would all read "0.00".
        const unsigned n = 200;
        zv::Plot tiny(n, zv::ZV_FLOAT32);
        tiny.setColor(0xFFC020FF);
        tiny.setAxesLimits(4e-5f, 0.0f, 1.2e-6f, -1.2e-6f);  // xmax, xmin, ymax, ymin
        tiny.setXAxisTitle("t [s]");
        tiny.setYAxisTitle("x [m]");

        // y = 1000 x^-1.5 from 1 to 10^4: a straight line on log-log axes. Limits first,
        // then the axes become logarithmic (their limits must be above zero).
        const unsigned m = 40;
        zv::Plot power(m, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_CIRCLE);
        power.setColor(0.2f, 0.8f, 1.0f);
        power.setAxesLimits(1e4f, 1.0f, 1e3f, 1e-4f);
        power.setLogAxes(true, true);
        power.setXAxisTitle("frequency");

        // -100 to 100 with ticks at -100, -50, 0, 50, 100 and 0.2 steps up the y axis.
        zv::Plot sweep(n, zv::ZV_FLOAT32);
        sweep.setColor(0.35f, 0.85f, 0.35f);
        sweep.setAxesLimits(100.0f, -100.0f, 1.0f, 0.0f);
        sweep.setNiceTicks(true);

        std::vector<float> tinyXY(2 * n), powerXY(2 * m), sweepXY(2 * n);
        window.grid(1, 3);
        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = frame / 30.0f;
            for (unsigned i = 0; i < n; ++i) {
                const float s = 4e-5f * i / (n - 1);  // seconds
                tinyXY[2 * i] = s;
                tinyXY[2 * i + 1] =
                    1e-6f * std::exp(-s / 1.5e-5f) * std::cos(2 * 3.14159265f * s / 8e-6f + t);
                const float u = -100.0f + 200.0f * i / (n - 1);
                sweepXY[2 * i] = u;
                sweepXY[2 * i + 1] =
                    0.5f + 0.35f * std::sin(u / 18.0f + t) + 0.05f * std::sin(u * 1.7f);
            }
            for (unsigned i = 0; i < m; ++i) {
                const float f = std::pow(10.0f, 4.0f * i / (m - 1));
                powerXY[2 * i] = f;
                powerXY[2 * i + 1] = 1000.0f * std::pow(f, -1.5f) * (1.0f + 0.15f * std::sin(i + t));
            }
            window.makeCurrent();
            write(tiny, tinyXY);
            write(power, powerXY);
            write(sweep, sweepXY);

            window.draw(0, 0, tiny, "Microseconds and microns");
            window.draw(1, 0, power, "Log-log power law");
            window.draw(2, 0, sweep, "Round ticks");
            window.draw();  // presents the three cells
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
