// A live stream explored with the mouse. A noisy signal arrives 25 samples a frame; the chart
// shows the newest 4000 with their running mean, and its limits follow the data
// (setAutoFit) until you take over. The plots are ring buffers (Plot::advanceRing): each
// frame writes only its 25 new samples, over the oldest, and the line runs from the oldest
// sample through the newest wherever the ring's start lies. The read-out (Window::setReadout)
// shows the sample and value under the cursor, with a crosshair:
//
//   drag with the left button   pan through the history
//   wheel                       zoom about the cursor (Shift: time only, Ctrl: values only)
//   right drag                  zoom to the box drawn
//   double click                fit to the data and follow the stream again
//
// After each drag or zoom the program prints the view, read back from the chart's getters:
// the mouse changes the limits through the chart's own setters. Headless runs (a frame
// count given) simply follow the stream and save the last frame.
#include <zarvo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
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

// A plot used as a ring of (time, value) points: new points go over the oldest, and the
// plot is told how many came (it moves its start past them once full).
class Ring {
public:
    explicit Ring(zv::Plot& plot) : mPlot(plot) { mPlot.setCount(0); }
    // Queues a point of this frame.
    void add(float time, float value) {
        mNew.push_back(time);
        mNew.push_back(value);
    }
    // Writes the frame's points at the ring's head (the part past the buffer's end goes to
    // its start) and tells the plot they came. The window's context is current.
    void write() {
        const unsigned capacity = mPlot.capacity();
        const unsigned n = static_cast<unsigned>(mNew.size() / 2);
        glBindBuffer(GL_ARRAY_BUFFER, mPlot.vbo());
        for (unsigned done = 0; done < n;) {
            const unsigned run = std::min(n - done, capacity - mHead);
            glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(mHead) * 8,
                            static_cast<GLsizeiptr>(run) * 8, &mNew[2 * done]);
            mHead = (mHead + run) % capacity;
            done += run;
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        mNew.clear();
        // Only these points changed: the next draw reads their share of the buffer alone.
        mPlot.advanceRing(n);
    }

private:
    zv::Plot& mPlot;
    std::vector<float> mNew;
    unsigned mHead = 0;  // where the next point goes
};

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
        window.setReadout(true);  // the sample and value under the cursor

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

        // Each sample and its running mean are written once, into the rings; the library
        // reads the buffers on the GPU alone.
        Stream stream;
        Ring signalRing(signal), meanRing(mean);
        double sum = 0.0;
        std::deque<float> recent;  // the last MEAN_OF samples, for the running mean
        const auto arrive = [&] {
            const float v = stream.next();
            recent.push_back(v);
            sum += v;
            if (recent.size() > MEAN_OF) {
                sum -= recent.front();
                recent.pop_front();
            }
            const float time = static_cast<float>(stream.count() - 1);
            signalRing.add(time, v);
            meanRing.add(time, static_cast<float>(sum / static_cast<double>(recent.size())));
        };
        const auto write = [&] {
            window.makeCurrent();
            signalRing.write();
            meanRing.write();
        };
        for (unsigned i = 0; i < HISTORY; ++i) arrive();
        write();

        for (int frame = 0; run.running(window, frame); ++frame) {
            for (unsigned i = 0; i < PER_FRAME; ++i) arrive();
            write();
            window.draw(chart);
            run.capture(window, frame);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
