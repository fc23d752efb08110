// A live stream explored with the mouse. A noisy signal arrives 25 samples a frame; the chart
// shows the newest 4000 with their running mean, and its limits follow the data
// (setAutoFit) until you take over:
//
//   drag with the left button   pan through the history
//   wheel                       zoom about the cursor (Shift: time only, Ctrl: values only)
//   double click                fit to the data and follow the stream again
//
// After each drag or zoom the program prints the view, read back from the chart's getters:
// the mouse changes the limits through the chart's own setters. Headless runs (a frame
// count given) simply follow the stream and save the last frame.
#include <zarvo.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "example_util.hpp"

namespace {

constexpr unsigned HISTORY = 4000;   // samples shown
constexpr unsigned PER_FRAME = 25;   // samples arriving each frame
constexpr unsigned MEAN_OF = 50;     // the running mean's window

// The signal: a slow random walk under a wobble and noise, from a fixed seed so that every
// run draws the same picture.
class Stream {
public:
    float next() {
        mWalk += 0.02f * noise();
        const float t = static_cast<float>(mCount++);
        return mWalk + 0.6f * std::sin(t * 0.013f) + 0.25f * noise();
    }
    unsigned long count() const { return mCount; }

private:
    float noise() {  // uniform in [-1, 1)
        mState = mState * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<float>(mState >> 40) / static_cast<float>(1ULL << 23) - 1.0f;
    }
    std::uint64_t mState = 42;
    float mWalk = 0.0f;
    unsigned long mCount = 0;
};

// Writes (time, value) pairs into a plot's buffer, oldest first.
void write(zv::Plot& plot, unsigned long firstTime, const std::vector<float>& values) {
    glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
    auto* xy = static_cast<float*>(glMapBufferRange(
        GL_ARRAY_BUFFER, 0, plot.size(), GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT));
    if (xy) {
        for (size_t i = 0; i < values.size(); ++i) {
            xy[2 * i] = static_cast<float>(firstTime + i);
            xy[2 * i + 1] = values[i];
        }
        glUnmapBuffer(GL_ARRAY_BUFFER);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window window(800, 600, "libzarvo: explore a live stream with the mouse");
        zv::Plot signal(HISTORY, zv::ZV_FLOAT32);
        zv::Plot mean(HISTORY, zv::ZV_FLOAT32);
        zv::Chart chart;
        chart.setXAxisTitle("sample");
        chart.setYAxisTitle("value");
        chart.add(signal, "signal");
        chart.add(mean, "mean of 50");
        chart.setNiceTicks(true);  // round labels whatever the view
        chart.setAutoFit(true);

        const auto printView = [&chart] {
            std::printf("view: samples %.0f to %.0f, values %.3f to %.3f%s\n", chart.xmin(),
                        chart.xmax(), chart.ymin(), chart.ymax(),
                        chart.autoFit() ? " (following)" : "");
        };
        // Called after the mouse moved the limits, so the getters give the new view.
        window.setMouseButtonCallback([&](int button, int action, int, double, double) {
            if (button == zv::ZV_MOUSE_LEFT && action == zv::ZV_RELEASE) printView();
        });
        window.setScrollCallback([&](double, double) { printView(); });
        if (run.frames() < 0) {
            std::printf("drag: pan, wheel: zoom (Shift: time, Ctrl: values), double click: "
                        "follow the stream again, Escape: quit\n");
        }

        // The newest HISTORY samples and their running means, kept on the CPU only to write
        // them; the library reads the buffers on the GPU alone.
        Stream stream;
        std::vector<float> values, means;
        double sum = 0.0;
        std::vector<float> recent;  // the last MEAN_OF samples, for the running mean
        const auto arrive = [&] {
            const float v = stream.next();
            recent.push_back(v);
            sum += v;
            if (recent.size() > MEAN_OF) {
                sum -= recent.front();
                recent.erase(recent.begin());
            }
            values.push_back(v);
            means.push_back(static_cast<float>(sum / static_cast<double>(recent.size())));
            if (values.size() > HISTORY) {
                values.erase(values.begin());
                means.erase(means.begin());
            }
        };
        for (unsigned i = 0; i < HISTORY; ++i) arrive();

        for (int frame = 0; run.running(window, frame); ++frame) {
            for (unsigned i = 0; i < PER_FRAME; ++i) arrive();
            const unsigned long first = stream.count() - values.size();
            window.makeCurrent();
            write(signal, first, values);
            write(mean, first, means);
            window.draw(chart);
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
