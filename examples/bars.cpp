// Bars over categories: the monthly output of two plants stacked into one column per month,
// beside a third series of the same months, with the months named on the axis and a legend.
// The values move a little every frame, written into the bars' own buffers as a GPU
// computation would; the stack is added on the GPU too.
#include <zarvo.h>

#include <cmath>
#include <string>
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
        zv::Window window(800, 600, "libzarvo: bars");

        const std::vector<std::string> months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun"};
        const unsigned n = static_cast<unsigned>(months.size());
        zv::Bars north(n, zv::ZV_FLOAT32);  // the cycle's first colour, orange
        zv::Bars south(n, zv::ZV_FLOAT32);  // sky blue, on top of north
        zv::Bars demand(n, zv::ZV_FLOAT32); // bluish green, beside the stack
        north.setCategoryNames(months);
        south.stackOn(north);

        zv::Chart chart;
        chart.setAxesLimits(5.5f, -0.5f, 10.0f, 0.0f);  // xmax, xmin, ymax, ymin
        chart.setNiceTicks(true);
        chart.setLegendCorner(zv::ZV_LEGEND_TOP_LEFT);
        chart.add(north, "north");
        chart.add(south, "south");
        chart.add(demand, "demand");

        std::vector<float> a(n), b(n), c(n);
        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = frame / 30.0f;
            for (unsigned i = 0; i < n; ++i) {
                const float x = static_cast<float>(i);
                a[i] = 3.0f + 1.2f * std::sin(0.9f * x + t);
                b[i] = 2.0f + 0.8f * std::cos(1.3f * x - t);
                c[i] = 5.5f + 1.5f * std::sin(0.6f * x + 0.5f * t);
            }
            window.makeCurrent();
            upload(north.vbo(), a);
            upload(south.vbo(), b);
            upload(demand.vbo(), c);
            window.draw(chart);
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
