// A grid gallery: an image, a line plot, a scatter plot and a histogram in one window, each in
// its own cell under a caption. A grid frame is the cell draws followed by Window::draw().
// With a picture file, the last frame is also written in the light and dark themes
// (gallery_light.png, gallery_dark.png), titles outside the frames.
#include <zarvo.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "example_util.hpp"

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window window(1000, 800, "libzarvo: gallery");
        zv::Font font;
        font.loadSystemFont("Vera", 24);  // fontconfig finds the installed family
        window.setFont(&font);
        window.setColorMap(zv::ZV_CMAP_HEAT);

        // An 8-bit grey image: 0..255 spans the colour map.
        zv::Image image(256, 192, zv::ZV_GRAYSCALE, zv::ZV_UINT8);

        const unsigned n = 50;
        zv::Plot line(n, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_POINT);
        line.setColor(1.0f, 0.75f, 0.1f);
        line.setAxesLimits(1.0f, 0.0f, 1.2f, -1.2f);
        line.setXAxisTitle("time");

        zv::Plot scatter(n, zv::ZV_FLOAT32, zv::ZV_PLOT_SCATTER, zv::ZV_MARKER_TRIANGLE);
        scatter.setColor(0.2f, 0.8f, 1.0f);
        scatter.setAxesLimits(1.0f, -1.0f, 1.0f, -1.0f);

        const unsigned bins = 24;
        zv::Histogram hist(bins, zv::ZV_FLOAT32);
        hist.setBarColor(0.35f, 0.85f, 0.35f);
        hist.setAxesLimits(1.0f, 0.0f, 1.0f, 0.0f);

        std::vector<unsigned char> pixels(image.size());
        std::vector<float> linePts(2 * n), scatterPts(2 * n), freq(bins);

        window.grid(2, 2);
        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = frame / 25.0f;
            for (unsigned y = 0; y < image.height(); ++y)
                for (unsigned x = 0; x < image.width(); ++x) {
                    float u = x / 255.0f, v = y / 191.0f;
                    float s = std::sin(9.0f * u + t) * std::cos(7.0f * v - 0.5f * t);
                    pixels[y * image.width() + x] = static_cast<unsigned char>(127.5f + 127.0f * s);
                }
            for (unsigned i = 0; i < n; ++i) {
                float x = i / float(n - 1);
                linePts[2 * i] = x;
                linePts[2 * i + 1] = std::sin(12.566f * x - t) * std::exp(-1.5f * x);
                float a = 0.37f * i + 0.3f * t, r = 0.15f + 0.8f * i / n;
                scatterPts[2 * i] = r * std::cos(a);
                scatterPts[2 * i + 1] = r * std::sin(a);
            }
            for (unsigned b = 0; b < bins; ++b) {
                float c = (b + 0.5f) / bins - 0.5f - 0.2f * std::sin(t);
                freq[b] = 0.9f * std::exp(-c * c * 30.0f);
            }

            window.makeCurrent();
            glBindBuffer(GL_PIXEL_UNPACK_BUFFER, image.pbo());
            glBufferSubData(GL_PIXEL_UNPACK_BUFFER, 0, image.size(), pixels.data());
            glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
            glBindBuffer(GL_ARRAY_BUFFER, line.vbo());
            glBufferSubData(GL_ARRAY_BUFFER, 0, line.size(), linePts.data());
            glBindBuffer(GL_ARRAY_BUFFER, scatter.vbo());
            glBufferSubData(GL_ARRAY_BUFFER, 0, scatter.size(), scatterPts.data());
            glBindBuffer(GL_ARRAY_BUFFER, hist.vbo());
            glBufferSubData(GL_ARRAY_BUFFER, 0, hist.size(), freq.data());
            glBindBuffer(GL_ARRAY_BUFFER, 0);

            // Column first, then row; row 0 is the top one.
            auto drawCells = [&] {
                window.draw(0, 0, image, "Image", false);
                window.draw(1, 0, line, "Line plot");
                window.draw(0, 1, scatter, "Scatter plot");
                window.draw(1, 1, hist, "Histogram");
                window.draw();
            };
            drawCells();
            run.capture(window, frame);
            if (run.lastFrame(frame) && !run.picture().empty()) {
                line.setYAxisTitle("amplitude");
                line.setTitle("A damped wave");
                hist.setXAxisTitle("value");
                hist.setYAxisTitle("frequency");
                const zv::Style themes[2] = {zv::Style::light(), zv::Style::dark()};
                const char* suffixes[2] = {"_light", "_dark"};
                for (int k = 0; k < 2; ++k) {
                    window.setStyle(themes[k]);
                    drawCells();
                    run.capture(window, frame, suffixes[k]);
                }
                window.setStyle(zv::Style());
            }
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
