// Two live series in one chart with a legend: a travelling wave as a line and its samples
// as a scatter plot of square markers, both drawn through the chart's limits. Neither sets a
// colour, so the chart gives them the first two of its colour-blind-safe cycle.
#include <zarvo.h>

#include <cmath>

#include "example_util.hpp"

namespace {

// Writes n points of f(x) over [0, 2 pi) into a plot's buffer.
template <class F>
void write(zv::Plot& plot, unsigned n, F f) {
    glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
    auto* xy = static_cast<float*>(glMapBufferRange(
        GL_ARRAY_BUFFER, 0, plot.size(), GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT));
    if (xy) {
        for (unsigned i = 0; i < n; ++i) {
            const float x = 6.2831853f * i / n;
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
        zv::Window window(800, 600, "libzarvo: chart with a legend");

        const unsigned n = 200, samples = 24;
        zv::Plot wave(n, zv::ZV_FLOAT32);
        zv::Plot probes(samples, zv::ZV_FLOAT32, zv::ZV_PLOT_SCATTER, zv::ZV_MARKER_SQUARE);

        zv::Chart chart;
        chart.setAxesLimits(6.2831853f, 0.0f, 1.5f, -1.5f);  // xmax, xmin, ymax, ymin
        chart.setXAxisTitle("phase \u03C6 (rad)");  // text is UTF-8
        chart.setYAxisTitle("signal (\u00B5V)");
        chart.add(wave, "sin(\u03C6 \u2212 \u03C9t)");
        chart.add(probes, "probes, \u0394\u03C6 = 15\u00B0");  // drawn over the wave, listed second

        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = frame / 20.0f;
            window.makeCurrent();
            write(wave, n, [t](float x) { return std::sin(x - t); });
            write(probes, samples,
                  [t](float x) { return 0.8f * std::cos(2.0f * x + t) * std::sin(x - t); });
            window.draw(chart);
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
