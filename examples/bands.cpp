// Bands around a line: the mean of a drifting measurement with a band of one standard
// deviation either side and, lighter, the envelope of its smallest and largest values, in
// one chart with a legend. The bands are translucent: the envelope shows through the band of
// one standard deviation, which is drawn over it, and the mean is drawn over both.
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
        zv::Window window(800, 600, "libzarvo: bands");

        const unsigned n = 200;
        zv::Band envelope(n, zv::ZV_FLOAT32);  // min then max: two curves
        zv::Band spread(n, zv::ZV_FLOAT32);    // mean - sigma then mean + sigma
        zv::Plot mean(n, zv::ZV_FLOAT32);
        envelope.setColor(0x56B4E940);  // sky blue at opacity 0.25
        spread.setColor(0x56B4E9A0);    // the same, at opacity 0.63
        mean.setLineWidth(2.0f);

        zv::Chart chart;
        chart.setAxesLimits(10.0f, 0.0f, 3.0f, -3.0f);  // xmax, xmin, ymax, ymin
        chart.setXAxisTitle("time");
        chart.setYAxisTitle("value");
        chart.add(envelope, "min to max");
        chart.add(spread, "mean +- sigma");
        chart.add(mean, "mean");  // takes the cycle's first colour, orange

        std::vector<float> env(4 * n), sig(4 * n), line(2 * n);
        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = frame / 30.0f;
            for (unsigned i = 0; i < n; ++i) {
                const float x = 10.0f * static_cast<float>(i) / static_cast<float>(n - 1);
                const float m = std::sin(0.8f * x - t) + 0.4f * std::sin(2.3f * x + t);
                const float sigma = 0.25f + 0.15f * (1.0f + std::sin(0.5f * x + t));
                const float reach = 2.2f * sigma + 0.2f * std::fabs(std::sin(3.7f * x));
                line[2 * i] = x;
                line[2 * i + 1] = m;
                // Each band: the first curve's points, then the second's.
                sig[2 * i] = sig[2 * (n + i)] = env[2 * i] = env[2 * (n + i)] = x;
                sig[2 * i + 1] = m - sigma;
                sig[2 * (n + i) + 1] = m + sigma;
                env[2 * i + 1] = m - reach;
                env[2 * (n + i) + 1] = m + reach;
            }
            window.makeCurrent();
            upload(envelope.vbo(), env);
            upload(spread.vbo(), sig);
            upload(mean.vbo(), line);
            window.draw(chart);
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
