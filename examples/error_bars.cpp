// Error bars: measurements with asymmetric errors in y and symmetric errors in x, drawn as
// bars with caps under markers at the measured points, in one chart with a legend. The
// application writes points and errors into buffers the series made (a fit of the chart,
// fitAxesToData or setAutoFit, would take in the whole of every bar).
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
        zv::Window window(800, 600, "libzarvo: error bars");

        const unsigned n = 12;
        // Below and above in y, one error each side in x.
        zv::ErrorBars errors(n, zv::ZV_FLOAT32, zv::ZV_ERRORS_ASYMMETRIC, zv::ZV_ERRORS_SYMMETRIC);
        errors.setCapSize(8.0f);
        zv::Plot points(n, zv::ZV_FLOAT32, zv::ZV_PLOT_SCATTER, zv::ZV_MARKER_POINT);

        zv::Chart chart;
        chart.setAxesLimits(12.5f, 0.0f, 4.0f, 0.0f);  // xmax, xmin, ymax, ymin
        chart.setNiceTicks(true);
        chart.setXAxisTitle("dose");
        chart.setYAxisTitle("response");
        chart.add(errors, "uncertainty");  // the cycle's first colour, orange
        chart.add(points, "measured");     // the second, sky blue

        std::vector<float> xy(2 * n), ey(2 * n), ex(n);
        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = frame / 30.0f;
            for (unsigned i = 0; i < n; ++i) {
                const float x = 0.5f + static_cast<float>(i);
                const float y = 3.0f * (1.0f - std::exp(-0.3f * x)) + 0.3f * std::sin(x + t);
                xy[2 * i] = x;
                xy[2 * i + 1] = y;
                ey[2 * i] = 0.15f + 0.1f * static_cast<float>(i % 3);       // below
                ey[2 * i + 1] = 0.25f + 0.05f * static_cast<float>(i % 4);  // above
                ex[i] = 0.2f;
            }
            window.makeCurrent();
            upload(errors.vbo(), xy);
            upload(errors.yErrorVbo(), ey);
            upload(errors.xErrorVbo(), ex);
            upload(points.vbo(), xy);
            window.draw(chart);
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
