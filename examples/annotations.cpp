// Marks on a chart: a noisy signal with a horizontal line at its alarm threshold, a shaded
// span over the calibration interval, a vertical line at an event and text naming them, all
// in axis units, so they stay on the data as the mouse pans and zooms (drag, wheel; a double
// click fits the signal: the marks do not enter the fit).
#include <zarvo.h>

#include <cmath>
#include <vector>

#include "example_util.hpp"

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window window(800, 600, "libzarvo: annotations");

        const unsigned n = 400;
        zv::Plot signal(n, zv::ZV_FLOAT32);  // orange, the cycle's first colour
        zv::Span calibration(zv::ZV_MARK_X, 1.0f, 2.5f);
        calibration.setColor(0x56B4E950);  // sky blue at opacity 0.31
        zv::ReferenceLine threshold(zv::ZV_MARK_Y, 1.5f);
        threshold.setColor(0xD55E00FF);  // vermilion
        zv::ReferenceLine event(zv::ZV_MARK_X, 6.0f);
        event.setWidth(3.0f);
        zv::Annotation thresholdNote("alarm threshold", 0.2f, 1.6f);
        thresholdNote.setColor(0xD55E00FF);
        zv::Annotation eventNote("valve opened \u2192", 3.9f, -1.6f);
        zv::Annotation calibrationNote("calibration", 1.1f, 2.2f);

        zv::Chart chart;
        chart.setAxesLimits(10.0f, 0.0f, 2.5f, -2.5f);  // xmax, xmin, ymax, ymin
        chart.add(calibration, "calibration");
        chart.add(signal, "signal");
        chart.add(threshold, "threshold");
        chart.add(event, nullptr);
        chart.add(thresholdNote, nullptr);
        chart.add(eventNote, nullptr);
        chart.add(calibrationNote, nullptr);

        std::vector<float> xy(2 * n);
        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = frame / 30.0f;
            for (unsigned i = 0; i < n; ++i) {
                const float x = 10.0f * static_cast<float>(i) / static_cast<float>(n - 1);
                const float step = x > 6.0f ? 0.9f : 0.0f;
                xy[2 * i] = x;
                xy[2 * i + 1] = step + 0.5f * std::sin(1.7f * x + t) +
                                0.15f * std::sin(23.0f * x + 3.0f * t) - 0.4f;
            }
            window.makeCurrent();
            glBindBuffer(GL_ARRAY_BUFFER, signal.vbo());
            glBufferSubData(GL_ARRAY_BUFFER, 0,
                            static_cast<GLsizeiptr>(xy.size() * sizeof(float)), xy.data());
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            window.draw(chart);
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
