// A histogram of changing data: every frame, fresh samples from two drifting bell curves are
// counted into bins, and the counts (ZV_UINT32) are written into the histogram's buffer.
#include <zarvo.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "example_util.hpp"

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window window(800, 600, "libzarvo: histogram");

        const unsigned bins = 48, samples = 20000;
        const float lo = -4.0f, hi = 4.0f;
        zv::Histogram hist(bins, zv::ZV_UINT32);
        hist.setBarColor(0.35f, 0.85f, 0.35f);
        // The bins always fill the frame's width; the x limits only label it. ymax scales
        // the bars: a count of 1500 reaches the top of the frame.
        hist.setAxesLimits(hi, lo, 1500.0f, 0.0f);
        hist.setXAxisTitle("value");
        hist.setYAxisTitle("count");

        std::mt19937 rng(11);
        std::normal_distribution<float> unit(0.0f, 1.0f);
        std::uniform_real_distribution<float> pick(0.0f, 1.0f);
        std::vector<unsigned> counts(bins);

        for (int frame = 0; run.running(window, frame); ++frame) {
            const float t = frame / 30.0f;
            const float m1 = -1.5f + 0.8f * std::sin(t), m2 = 1.5f + 0.6f * std::cos(0.7f * t);
            std::fill(counts.begin(), counts.end(), 0u);
            for (unsigned s = 0; s < samples; ++s) {
                float v = pick(rng) < 0.6f ? m1 + 0.7f * unit(rng) : m2 + 0.45f * unit(rng);
                int b = static_cast<int>((v - lo) / (hi - lo) * bins);
                if (b >= 0 && b < static_cast<int>(bins)) ++counts[b];
            }
            window.makeCurrent();
            glBindBuffer(GL_ARRAY_BUFFER, hist.vbo());
            glBufferSubData(GL_ARRAY_BUFFER, 0, hist.size(), counts.data());
            glBindBuffer(GL_ARRAY_BUFFER, 0);

            window.draw(hist);
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
