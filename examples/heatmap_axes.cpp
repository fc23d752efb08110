// A heat map with axes: a scalar field on [-3, 3] x [-2, 2] shown as a zv::ImageSeries through
// the heat map with a colour bar, and a particle's trajectory drawn over it as a line, in one
// zv::Chart whose ticks, titles and limits both share. The mouse pans and zooms them together;
// a double click fits the chart to the field and the path (with the chart's margin).
#include <zarvo.h>

#include <cmath>
#include <vector>

#include "example_util.hpp"

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window window(800, 600, "libzarvo: heat map with axes");
        window.setColorMap(zv::ZV_CMAP_HEAT);

        // 120 x 80 samples; the first row of the buffer is the top of the field (y = 2).
        const unsigned w = 120, h = 80;
        zv::Image field(w, h, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32);
        field.setValueRange(-1.0f, 1.0f);
        field.setColorBarTitle("potential");
        zv::ImageSeries heat(field);
        heat.setExtent(-3.0f, 3.0f, -2.0f, 2.0f);  // x0, x1, y0, y1: the field's edges
        heat.setFilter(zv::ZV_FILTER_LINEAR);      // a smooth field: interpolate the samples
        heat.setColorBar(true);

        const unsigned n = 400;
        zv::Plot path(n, zv::ZV_FLOAT32);
        path.setColor(0.35f, 0.7f, 1.0f);
        path.setLineWidth(2.0f);

        zv::Chart chart;
        chart.add(heat, "potential");
        chart.add(path, "trajectory");
        chart.setXAxisTitle("x (m)");
        chart.setYAxisTitle("y (m)");
        chart.setAxesLimits(3.0f, -3.0f, 2.0f, -2.0f);  // xmax, xmin, ymax, ymin: the field
        chart.setNiceTicks(true);

        std::vector<float> values(w * h), points(2 * n);
        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = frame / 30.0f;
            // Two wells and a ridge, turning slowly.
            for (unsigned j = 0; j < h; ++j)
                for (unsigned i = 0; i < w; ++i) {
                    const float x = -3.0f + 6.0f * (i + 0.5f) / w;
                    const float y = 2.0f - 4.0f * (j + 0.5f) / h;
                    const float c = std::cos(0.3f * t), s = std::sin(0.3f * t);
                    const float u = c * x - s * y, v = s * x + c * y;
                    values[j * w + i] = std::exp(-((u - 1.2f) * (u - 1.2f) + v * v)) -
                                        std::exp(-((u + 1.2f) * (u + 1.2f) + v * v)) +
                                        0.3f * std::sin(2.0f * v) * std::exp(-0.2f * u * u);
                }
            // A spiral orbit drifting across the field.
            for (unsigned k = 0; k < n; ++k) {
                const float a = 0.05f * k + t;
                const float r = 0.4f + 1.4f * k / n;
                points[2 * k] = r * std::cos(a);
                points[2 * k + 1] = 0.8f * r * std::sin(a);
            }

            window.makeCurrent();
            glBindBuffer(GL_PIXEL_UNPACK_BUFFER, field.pbo());
            glBufferSubData(GL_PIXEL_UNPACK_BUFFER, 0, field.size(), values.data());
            glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
            glBindBuffer(GL_ARRAY_BUFFER, path.vbo());
            glBufferSubData(GL_ARRAY_BUFFER, 0, path.size(), points.data());
            glBindBuffer(GL_ARRAY_BUFFER, 0);

            window.draw(chart);
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
