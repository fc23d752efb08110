// Long runs: a 2 x 2 gallery redrawn for thousands of frames with new data written every
// frame, and hundreds of windows made and destroyed with an image, a plot and a histogram
// each. Resident memory after the warm-up must stay flat and every owned OpenGL name must be
// released at the end. Labelled "soak" and left out of the default run (tests/extra.cmake).
//
// The frame and window counts can be lowered for a quick look:
//   soak_test --frames=N --windows=N

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "gl/gl_objects.hpp"
#include "support/gl_test.hpp"
#include "support/robust_util.hpp"
#include "zarvo.h"

namespace {

// AddressSanitizer keeps freed blocks in quarantine, so resident memory says nothing about
// leaks there; it finds them itself.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool UNDER_ASAN = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool UNDER_ASAN = true;
#else
constexpr bool UNDER_ASAN = false;
#endif
#else
constexpr bool UNDER_ASAN = false;
#endif

int gFrames = 5000;
int gWindows = 200;
constexpr size_t MAX_GROWTH = 2u << 20;  // bytes of resident memory after the warm-up

constexpr int W = 800;
constexpr int H = 600;
constexpr unsigned IMG = 256;
constexpr unsigned POINTS = 1000;
constexpr unsigned BINS = 64;

void expectFlat(size_t before, size_t after) {
    if (UNDER_ASAN) return;
    EXPECT_LT(static_cast<long>(after) - static_cast<long>(before), static_cast<long>(MAX_GROWTH))
        << "resident memory grew after the warm-up";
}

double mib(long bytes) { return static_cast<double>(bytes) / (1 << 20); }

void report(const char* what, size_t before, size_t after, long glBefore, long glAfter) {
    std::printf("[soak] %s: resident %.2f MiB -> %.2f MiB (growth %+.3f MiB); owned GL names "
                "%ld -> %ld\n",
                what, mib(static_cast<long>(before)), mib(static_cast<long>(after)),
                mib(static_cast<long>(after) - static_cast<long>(before)), glBefore, glAfter);
    std::fflush(stdout);
    const long growth = static_cast<long>(after) - static_cast<long>(before);
    ::testing::Test::RecordProperty("resident_growth_bytes", std::to_string(growth));
}

// The per-frame data, computed into buffers made once, so the test itself does not grow.
struct FrameData {
    std::vector<float> pixels = std::vector<float>(IMG * IMG);
    std::vector<float> points = std::vector<float>(2 * POINTS);
    std::vector<float> bins = std::vector<float>(BINS);
    void fill(int frame) {
        const float t = 0.05f * static_cast<float>(frame);
        for (unsigned y = 0; y < IMG; ++y)
            for (unsigned x = 0; x < IMG; ++x)
                pixels[y * IMG + x] = 0.5f + 0.5f * std::sin(0.05f * static_cast<float>(x + y) + t);
        for (unsigned i = 0; i < POINTS; ++i) {
            const float x = static_cast<float>(i) / POINTS;
            points[2 * i] = x;
            points[2 * i + 1] = 0.5f + 0.4f * std::sin(12.0f * x + t);
        }
        for (unsigned i = 0; i < BINS; ++i)
            bins[i] = 50.0f + 45.0f * std::sin(0.2f * static_cast<float>(i) + t);
    }
};

// Median of samples of the resident size taken over a stretch of frames: the driver's
// memory breathes by a megabyte from frame to frame, and one sample could land on a peak.
class ResidentSamples {
public:
    void clear() { mCount = 0; }
    void take() {
        if (mCount < N) mSamples[mCount++] = zvtest::residentBytes();
    }
    size_t median() {
        std::sort(mSamples, mSamples + mCount);
        return mCount ? mSamples[mCount / 2] : 0;
    }

private:
    static constexpr int N = 64;
    size_t mSamples[N] = {};
    int mCount = 0;
};

TEST(Soak, GalleryOfFourCellsWithNewDataEveryFrame) {
    const long glStart = internal::liveGLObjects();
    size_t warm = 0, end = 0;
    long glWarm = 0;
    {
        zv::Window window(W, H, "soak gallery", nullptr, true);
        zv::Font font;
        font.loadSystemFont("Vera", 16);
        window.setFont(&font);
        zv::Image image(IMG, IMG, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32);
        zv::Plot line(POINTS, zv::ZV_FLOAT32);
        zv::Plot scatter(POINTS, zv::ZV_FLOAT32, zv::ZV_PLOT_SCATTER, zv::ZV_MARKER_CIRCLE);
        zv::Histogram histogram(BINS, zv::ZV_FLOAT32);
        line.setColor(0.0f, 1.0f, 0.0f);
        scatter.setColor(0xFFFF00FF);
        histogram.setBarColor(0.0f, 1.0f, 0.0f);
        histogram.setAxesLimits(static_cast<float>(BINS), 0.0f, 100.0f, 0.0f);
        line.setXAxisTitle("x");
        line.setYAxisTitle("sin");
        window.setColorMap(zv::ZV_CMAP_SPECTRUM);
        window.grid(2, 2);
        FrameData data;
        // Memory is measured as the median over 100 frames after a fifth of the run, when
        // the driver has settled (it keeps growing for a few hundred frames after the first
        // read-back), and again over the last 100 frames.
        const int warmUp = gFrames / 5;
        ResidentSamples samples;
        zvtest::Snapshot last;
        for (int frame = 0; frame < gFrames; ++frame) {
            if (frame == warmUp) glWarm = internal::liveGLObjects();
            if (frame % 10 == 0 && frame >= warmUp && frame < warmUp + 100) samples.take();
            if (frame == warmUp + 100) {
                warm = samples.median();
                samples.clear();
            }
            if (frame % 10 == 0 && frame >= gFrames - 100) samples.take();
            data.fill(frame);
            window.makeCurrent();
            zvtest::writeBuffer(image.pbo(), data.pixels);
            zvtest::writeBuffer(line.vbo(), data.points);
            zvtest::writeBuffer(scatter.vbo(), data.points);
            zvtest::writeBuffer(histogram.vbo(), data.bins);
            window.draw(0, 0, image, "image");
            window.draw(1, 0, line, "line");
            window.draw(0, 1, scatter, "scatter");
            window.draw(1, 1, histogram, "histogram");
            // Read back early as well, so that whatever the driver keeps for a read-back is
            // there before the measurement starts.
            if (frame == 10 || frame == gFrames - 1) last = zvtest::readBack(0, 0, W, H);
            window.draw();
            if (frame % 500 == 0) zvtest::expectNoGLError("a gallery frame");
        }
        end = samples.median();
        zvtest::expectNoGLError("the last gallery frame");
        EXPECT_EQ(internal::liveGLObjects(), glWarm) << "owned GL names grew while drawing";
        // The last frame still shows all four cells.
        EXPECT_GT(last.count(0, H / 2, W / 2, H, zvtest::notBlack), 50000);
        EXPECT_GT(last.count(W / 2, H / 2, W, H, zvtest::isGreen), 500);
        EXPECT_GT(last.count(W / 2, 0, W, H / 2, zvtest::isGreen), 5000);
        EXPECT_GT(last.count(0, 0, W, H, zvtest::isRed), 200);
    }
    report("gallery", warm, end, glStart, internal::liveGLObjects());
    expectFlat(warm, end);
    EXPECT_EQ(internal::liveGLObjects(), glStart);
}

// One window with its own share group, an image, a plot and a histogram drawn in it, then
// everything destroyed.
void oneWindow(int n) {
    zv::Window window(320, 240, "soak window", nullptr, true);
    zv::Image image(64, 48, zv::ZV_RGB, zv::ZV_UINT8);
    zv::Plot plot(100, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_POINT);
    zv::Histogram histogram(16, zv::ZV_UINT32);
    std::vector<unsigned char> pixels(image.size(), static_cast<unsigned char>(n));
    zvtest::writeBuffer(image.pbo(), pixels);
    window.draw(image);
    window.draw(plot);
    window.draw(histogram);
}

TEST(Soak, WindowsMadeAndDestroyedWithAnImagePlotAndHistogramEach) {
    const long glStart = internal::liveGLObjects();
    const int warmUp = std::min(20, gWindows / 5);
    for (int n = 0; n < warmUp; ++n) oneWindow(n);
    const size_t warm = zvtest::residentBytes();
    for (int n = warmUp; n < gWindows; ++n) {
        oneWindow(n);
        ASSERT_EQ(internal::liveGLObjects(), glStart) << "after window " << n;
    }
    const size_t end = zvtest::residentBytes();
    report("windows", warm, end, glStart, internal::liveGLObjects());
    expectFlat(warm, end);
}

}  // namespace

// The counts come from the command line so that a quick run needs no rebuild.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--frames=", 9) == 0) gFrames = std::atoi(argv[i] + 9);
        if (std::strncmp(argv[i], "--windows=", 10) == 0) gWindows = std::atoi(argv[i] + 10);
    }
    return RUN_ALL_TESTS();
}
