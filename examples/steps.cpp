// A signal and what a sample-and-hold converter makes of it: the smooth line, and the held
// samples as steps (each sample holds until the next one, ZV_STEPS_POST) with a marker on
// every sample, in one chart with a legend. Neither series sets a colour, so the chart gives
// them the first two of its colour-blind-safe cycle.
#include <zarvo.h>

#include <cmath>

#include "example_util.hpp"

namespace {

// Writes n points of f(x) over [0, span] into a plot's buffer (the last point at span).
template <class F>
void write(zv::Plot& plot, unsigned n, float span, F f) {
    glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
    auto* xy = static_cast<float*>(glMapBufferRange(
        GL_ARRAY_BUFFER, 0, plot.size(), GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT));
    if (xy) {
        for (unsigned i = 0; i < n; ++i) {
            const float x = span * static_cast<float>(i) / static_cast<float>(n - 1);
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
        zv::Window window(800, 600, "libzarvo: steps");

        const unsigned n = 400, samples = 17;
        const float span = 8.0f;
        zv::Plot signal(n, zv::ZV_FLOAT32);
        zv::Plot held(samples, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_POINT);
        held.setStepMode(zv::ZV_STEPS_POST);  // a sample holds until the next one
        held.setLineWidth(2.0f);

        zv::Chart chart;
        chart.setAxesLimits(8.5f, -0.5f, 2.0f, -1.5f);  // xmax, xmin, ymax, ymin: room for the legend
        chart.setNiceTicks(true);
        chart.setXAxisTitle("time");
        chart.setYAxisTitle("volts");
        chart.add(signal, "signal");
        chart.add(held, "held samples");

        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = frame / 30.0f;
            const auto wave = [t](float x) {
                return std::sin(1.3f * x - t) + 0.3f * std::sin(3.1f * x + t);
            };
            window.makeCurrent();
            write(signal, n, span, wave);
            write(held, samples, span, wave);
            window.draw(chart);
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
