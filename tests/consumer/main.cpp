// Builds against the installed library only: draws a few frames of a plot whose points are
// written through OpenGL, an image and a histogram, checks that the plot reached the screen,
// and catches one of the library's exceptions.
#include <zarvo.h>

#include <cmath>
#include <cstdio>
#include <vector>

int main() {
    try {
        zv::Window window(320, 240, "consumer", nullptr, true);
        const unsigned n = 100;
        zv::Plot plot(n, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_POINT);
        plot.setColor(0.0f, 1.0f, 0.0f);
        plot.setAxesLimits(1.0f, 0.0f, 1.0f, -1.0f);
        std::vector<float> points(2 * n);
        for (int frame = 0; frame < 5; ++frame) {
            for (unsigned i = 0; i < n; ++i) {
                points[2 * i] = i / float(n - 1);
                points[2 * i + 1] = 0.5f * std::sin(6.2831853f * (points[2 * i] + frame * 0.1f));
            }
            window.makeCurrent();
            glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
            glBufferSubData(GL_ARRAY_BUFFER, 0, plot.size(), points.data());
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            window.draw(plot);
        }
        // The back buffer still holds the last frame (Mesa keeps it after the swap): the green
        // line must be somewhere in it.
        std::vector<unsigned char> rgb(320 * 240 * 3);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 320, 240, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        int green = 0;
        for (size_t p = 0; p < rgb.size(); p += 3)
            if (rgb[p] < 60 && rgb[p + 1] > 150 && rgb[p + 2] < 60) ++green;
        if (green < 50) {
            std::fprintf(stderr, "the plot did not reach the window (%d green pixels)\n", green);
            return 1;
        }

        zv::Image image(16, 16, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
        std::vector<unsigned char> pixels(image.size(), 128);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, image.pbo());
        glBufferSubData(GL_PIXEL_UNPACK_BUFFER, 0, image.size(), pixels.data());
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
        window.draw(image);
        zv::Histogram hist(8, zv::ZV_UINT32);
        std::vector<unsigned> counts = {1, 2, 3, 4, 4, 3, 2, 1};
        glBindBuffer(GL_ARRAY_BUFFER, hist.vbo());
        glBufferSubData(GL_ARRAY_BUFFER, 0, hist.size(), counts.data());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        hist.setAxesLimits(8.0f, 0.0f, 5.0f, 0.0f);
        window.draw(hist);

        try {
            zv::Plot bad(10, zv::ZV_INT8);
            std::fprintf(stderr, "ZV_INT8 plot was accepted\n");
            return 1;
        } catch (const zv::TypeError& e) {
            std::printf("caught %s (code %d)\n", e.what(), e.err());
        }
        if (glGetError() != GL_NO_ERROR) {
            std::fprintf(stderr, "OpenGL error\n");
            return 1;
        }
    } catch (const zv::Error& e) {
        std::fprintf(stderr, "%s (%s, code %d)\n", e.what(), e.functionName(), e.err());
        return 1;
    }
    std::printf("consumer ok\n");
    return 0;
}
