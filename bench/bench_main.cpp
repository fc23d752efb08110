// Frame costs of the library against a hand-written OpenGL baseline drawing the same
// pictures (bench/baseline.hpp), in two 800 x 600 windows of the library with identical
// contexts: one drawn by the library, one by the baseline.
//
//   zv_bench [--workload a,b,...] [--budget seconds]
//       times every workload on both sides and prints one table: median wall ms per frame
//       (up to glFinish), median drawing-thread CPU ms, GL calls per frame, the ratios, and
//       the share of pixels where the two pictures differ, and the library's read-backs per
//       frame (glReadPixels, glGetBufferSubData, glMapBuffer*: calls that may wait on the GPU).
//   zv_bench --callgrind N1,N2 --side lib|base --workload name
//       for scripts/bench.sh --callgrind: draws N1 frames, then N2 frames, dumping the
//       callgrind counters after each run of frames.
//   zv_bench --library-only [--workload a,b,...] [--budget seconds]
//       times the library side alone: one line per workload, in the format of the peer
//       scripts of ../shared/peers (for scripts/bench.sh --peers).
//   zv_bench --headless [--workload a,b,...] [--budget seconds]
//       times the library side in a window of the X server and in a headless window (EGL,
//       no window system) of the same size, alternating blocks of frames: median wall and CPU
//       ms per frame of each and the ratio headless / X.
//   zv_bench --list
//       prints the workload names.

#include "baseline.hpp"  // OpenGL through the loader's header, before GLFW's
#include "chart/axis_ticks.hpp"
#include "gl/gl.hpp"
#include "gl_count.hpp"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <time.h>
#include <valgrind/callgrind.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "zarvo.h"

namespace {

constexpr int W = 800;
constexpr int H = 600;
const float PLOT_COLOR[4] = {1.0f, 0.6f, 0.1f, 1.0f};  // the library's default plot colour
const float BAR_COLOR[4] = {0.3f, 0.6f, 1.0f, 1.0f};   // the library's default bar colour
const float RED[4] = {1.0f, 0.0f, 0.0f, 1.0f};
const int CAPTION_SIZE = 16;
const int FONT_SIZE = 32;

// Stream: a line whose y values are new every frame (uploaded from one of two arrays made
// beforehand, alternating, as a CPU producer would); Lissajous: a line in no order of x;
// LogLine: a line on logarithmic axes (the library alone: the baseline has no such axes).
enum class Kind {
    Image,
    Line,
    Scatter,
    Histogram,
    EmptyChart,
    Gallery,
    Series,
    Stream,
    Lissajous,
    LogLine,
    Histogram2D,
    ColorScatter,
    ErrorBars,
    Bars,
    Steps,
    Band
};

struct Workload {
    const char* name;
    Kind kind;
    unsigned a = 0, b = 0;  // image width and height, or point / bin count
    bool gray = true, float32 = false;
    int marker = 0;
};

const Workload WORKLOADS[] = {
    {"image-1920x1080-gray-u8", Kind::Image, 1920, 1080, true, false},
    {"image-1920x1080-rgba-f32", Kind::Image, 1920, 1080, false, true},
    {"image-512x512-gray-u8", Kind::Image, 512, 512, true, false},
    {"image-512x512-rgba-f32", Kind::Image, 512, 512, false, true},
    {"line-1e3", Kind::Line, 1000},
    {"line-1e5", Kind::Line, 100000},
    {"line-1e6", Kind::Line, 1000000},
    {"line-1e7", Kind::Line, 10000000},
    // Rings, the markers the peer scripts draw.
    {"line-markers-1e3", Kind::Line, 1000, 0, true, false, zv::ZV_MARKER_CIRCLE},
    {"line-markers-1e5", Kind::Line, 100000, 0, true, false, zv::ZV_MARKER_CIRCLE},
    {"line-markers-1e6", Kind::Line, 1000000, 0, true, false, zv::ZV_MARKER_CIRCLE},
    {"scatter-1e5", Kind::Scatter, 100000, 0, true, false, zv::ZV_MARKER_CIRCLE},
    {"scatter-1e6", Kind::Scatter, 1000000, 0, true, false, zv::ZV_MARKER_CIRCLE},
    {"stream-1e5", Kind::Stream, 100000},
    {"stream-1e6", Kind::Stream, 1000000},
    {"lissajous-1e6", Kind::Lissajous, 1000000},
    {"line-log-1e6", Kind::LogLine, 1000000},
    {"histogram-100", Kind::Histogram, 100},
    {"histogram-1e4", Kind::Histogram, 10000},
    {"histogram-1e6", Kind::Histogram, 1000000},
    {"empty-chart", Kind::EmptyChart},
    {"gallery-2x2-captions", Kind::Gallery},
    // A zv::Chart of 1, 4 and 16 line plots of 1,000 points each, no legend; the baseline
    // draws the lines into one frame by hand.
    {"chart-1-series", Kind::Series, 1},
    {"chart-4-series", Kind::Series, 4},
    {"chart-16-series", Kind::Series, 16},
    // N points binned into 256 x 256 bins over [0, 1]^2 every frame, shown through the map.
    {"hist2d-1e6", Kind::Histogram2D, 1000000},
    {"hist2d-1e7", Kind::Histogram2D, 10000000},
    // N discs of 4 to 14 pixels coloured by value through the map over [0, 1]; N points
    // with asymmetric y errors and symmetric x errors, capped.
    {"color-scatter-1e4", Kind::ColorScatter, 10000},
    {"color-scatter-1e5", Kind::ColorScatter, 100000},
    {"error-bars-1e4", Kind::ErrorBars, 10000},
    {"error-bars-1e5", Kind::ErrorBars, 100000},
    // A zv::Chart of two zv::Bars of N categories, the second stacked on the first (its tops
    // added on the GPU every frame); the baseline runs the same passes by hand.
    {"bars-stacked-100", Kind::Bars, 100},
    {"bars-stacked-1e4", Kind::Bars, 10000},
    // The line's data as steps held after each point (never reduced); a band of the line's
    // points from 0.1 below to 0.1 above it, filled at 0.3 opacity.
    {"steps-1e3", Kind::Steps, 1000},
    {"steps-1e5", Kind::Steps, 100000},
    {"band-1e3", Kind::Band, 1000},
    {"band-1e5", Kind::Band, 100000},
};
constexpr unsigned HIST2D_BINS = 256;

// The colour a chart gives its k-th series without a colour (the library's cycle).
const unsigned SERIES_COLORS[8] = {0xE69F00FF, 0x56B4E9FF, 0x009E73FF, 0xF0E442FF,
                                   0x0072B2FF, 0xD55E00FF, 0xCC79A7FF, 0xBBBBBBFF};
constexpr unsigned SERIES_POINTS = 1000;

// --- Data, the same on both sides --------------------------------------------------------

std::vector<unsigned char> imageData(unsigned w, unsigned h, bool gray, bool float32) {
    const unsigned channels = gray ? 1 : 4;
    std::vector<unsigned char> bytes(size_t(w) * h * channels * (float32 ? 4 : 1));
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x)
            for (unsigned c = 0; c < channels; ++c) {
                const size_t i = (size_t(y) * w + x) * channels + c;
                const float v = c == 0   ? float(x) / float(w)
                                : c == 1 ? float(y) / float(h)
                                : c == 2 ? float((x + y) % 256) / 255.0f
                                         : 1.0f;
                if (float32)
                    std::memcpy(&bytes[i * 4], &v, 4);
                else
                    bytes[i] = static_cast<unsigned char>(gray ? (x + 2 * y) & 255 : v * 255.0f);
            }
    return bytes;
}

// A deterministic generator, so both sides get the same points.
struct Lcg {
    uint32_t s = 12345;
    float next() {
        s = s * 1664525u + 1013904223u;
        return float(s >> 8) / float(1u << 24);
    }
};

// A noisy sine, point for point the line data of the peer scripts (../shared/peers), so
// that their frames and ours draw the same picture. `g`: the generator, for a second array
// that continues the first one's sequence.
std::vector<float> lineData(unsigned n, Lcg& g) {
    std::vector<float> v(2 * size_t(n));
    for (unsigned i = 0; i < n; ++i) {
        const float x = n > 1 ? float(i) / float(n - 1) : 0.5f;
        v[2 * i] = x;
        v[2 * i + 1] = 0.5f + 0.35f * std::sin(6.2831853f * 5.0f * x) + 0.02f * (g.next() - 0.5f);
    }
    return v;
}

std::vector<float> lineData(unsigned n) {
    Lcg g;
    return lineData(n, g);
}

// A band's two curves around the line, the lower curve's n points then the upper's.
std::vector<float> bandData(unsigned n) {
    const std::vector<float> line = lineData(n);
    std::vector<float> v(4 * size_t(n));
    for (unsigned i = 0; i < n; ++i) {
        v[2 * i] = v[2 * (size_t(n) + i)] = line[2 * i];
        v[2 * i + 1] = line[2 * i + 1] - 0.1f;
        v[2 * (size_t(n) + i) + 1] = line[2 * i + 1] + 0.1f;
    }
    return v;
}
const float BAND_COLOR[4] = {0.34f, 0.71f, 0.91f, 0.3f};

// The stream's two arrays: the line's, then the same x with the generator's next n values.
std::vector<float> streamData(unsigned n, int which) {
    Lcg g;
    std::vector<float> first = lineData(n, g);
    return which == 0 ? first : lineData(n, g);
}

// A Lissajous figure, point for point the peer scripts': x = 0.5 + 0.45 sin(2 pi 13 t),
// y = 0.5 + 0.45 sin(2 pi 17 t + 0.5), t = i / (n - 1), in double, then float.
std::vector<float> lissajousData(unsigned n) {
    std::vector<float> v(2 * size_t(n));
    const double pi = 3.14159265358979323846;
    for (unsigned i = 0; i < n; ++i) {
        const double t = n > 1 ? double(i) / double(n - 1) : 0.0;
        v[2 * i] = float(0.5 + 0.45 * std::sin(2 * pi * 13 * t));
        v[2 * i + 1] = float(0.5 + 0.45 * std::sin(2 * pi * 17 * t + 0.5));
    }
    return v;
}

// The line's data on logarithmic axes (bench/mpl_log_bench.py draws the same): x = 10^(3 x)
// over [1, 1000], the same y, on axes [1, 1000] x [0.1, 1].
std::vector<float> logLineData(unsigned n) {
    std::vector<float> v = lineData(n);
    for (unsigned i = 0; i < n; ++i) v[2 * i] = std::pow(10.0f, 3.0f * v[2 * i]);
    return v;
}

// Series k of a chart: the line's wave lowered by k / 40 of the range.
std::vector<float> seriesData(unsigned n, unsigned k) {
    std::vector<float> v = lineData(n);
    for (unsigned i = 0; i < n; ++i) v[2 * i + 1] -= float(k) / 40.0f;
    return v;
}

std::vector<float> scatterData(unsigned n) {
    Lcg g;
    std::vector<float> v(2 * size_t(n));
    for (float& f : v) f = g.next();
    return v;
}

// Frequencies as the peer scripts draw them.
std::vector<float> histogramData(unsigned n) {
    Lcg g;
    std::vector<float> v(n);
    for (float& f : v) f = 0.1f + 0.8f * g.next();
    return v;
}

// The peer scripts' 2-D histogram points: x = (u1 + u2) / 2, y = (u3 + u4) / 2, where u1 to
// u4 are four runs of n values of the generator, in that order.
// Bar values in [0, 0.45], so that a stack of two stays under 1.
std::vector<float> barsData(unsigned n, unsigned k) {
    std::vector<float> v(n);
    for (unsigned i = 0; i < n; ++i) v[i] = 0.2f + 0.25f * std::sin(0.37f * float(i) + float(k));
    return v;
}

// The category labels a chart of bars of n categories shows over x [-0.5, n - 0.5].
std::vector<std::string> barsLabels(unsigned n) {
    return internal::categoryTicks({}, n, float(n) - 0.5f, -0.5f, false).labels;
}

std::vector<float> hist2dData(unsigned n) {
    Lcg g;
    std::vector<float> u(4 * size_t(n));
    for (float& f : u) f = g.next();
    std::vector<float> v(2 * size_t(n));
    for (size_t i = 0; i < n; ++i) {
        v[2 * i] = (u[i] + u[n + i]) * 0.5f;
        v[2 * i + 1] = (u[2 * size_t(n) + i] + u[3 * size_t(n) + i]) * 0.5f;
    }
    return v;
}

// One value per point in [0, 1) (colour-scatter values), or `scale` times that plus
// `offset` (marker sizes, errors).
std::vector<float> perPoint(unsigned n, unsigned seed, float scale, float offset) {
    Lcg g;
    for (unsigned k = 0; k < seed; ++k) g.next();
    std::vector<float> v(n);
    for (float& f : v) f = offset + scale * g.next();
    return v;
}

void upload(GLenum target, GLuint buffer, const void* data, size_t bytes) {
    glBindBuffer(target, buffer);
    glBufferSubData(target, 0, static_cast<GLsizeiptr>(bytes), data);
    glBindBuffer(target, 0);
}

// Labels of an axis after setAxesLimits(1, 0, ...), as the library writes them.
const std::vector<std::string>& unitLabels() {
    static const std::vector<std::string> labels = internal::axisLabels(1.0f, 0.0f, 9);
    return labels;
}

// A grid cell as the window lays it out (see the window core).
struct Cell {
    int x, y, w, h;      // the cell
    int vx, vy, vw, vh;  // the inset drawing area
    float capX, capY;    // caption pen position in cell units
};
Cell cell(int rows, int cols, int col, int row) {
    Cell c;
    c.w = W / cols;
    c.h = H / rows;
    c.x = col * c.w;
    c.y = (rows - 1 - row) * c.h;
    const int mx = int(float(c.w) * 0.02f), my = int(float(c.h) * 0.02f);
    const int mt = int(float(c.h) * 0.06f);
    c.vx = c.x + mx;
    c.vy = c.y + my;
    c.vw = c.w - 2 * mx;
    c.vh = c.h - 2 * mt;
    c.capX = float(c.w) / 3.0f;
    c.capY = float(c.h) * 0.92f;
    return c;
}

// --- The two sides of one workload -------------------------------------------------------

// The back buffer of the current context (Mesa keeps it after a swap).
std::vector<unsigned char> backBuffer() {
    std::vector<unsigned char> px(size_t(W) * H * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return px;
}

class Side {
public:
    virtual ~Side() = default;
    virtual void frame() = 0;
    // One more frame, read back before a grid frame is presented (presenting clears it).
    virtual std::vector<unsigned char> picture() = 0;
};

class LibrarySide : public Side {
public:
    LibrarySide(zv::Window& win, zv::Font& font, const Workload& w) : mWin(win), mW(w) {
        win.makeCurrent();
        switch (w.kind) {
            case Kind::Image: makeImage(w.a, w.b, w.gray, w.float32); break;
            case Kind::Line:
            case Kind::Scatter: makePlot(w.a, w.kind == Kind::Scatter, w.marker); break;
            case Kind::Steps:
                makePlot(w.a, false, 0);
                mPlot->setStepMode(zv::ZV_STEPS_POST);
                break;
            case Kind::Band: {
                mBand.reset(new zv::Band(w.a, zv::ZV_FLOAT32));
                mBand->setColor(BAND_COLOR[0], BAND_COLOR[1], BAND_COLOR[2], BAND_COLOR[3]);
                mBand->setAxesLimits(1, 0, 1, 0);
                const std::vector<float> v = bandData(w.a);
                win.makeCurrent();
                upload(GL_ARRAY_BUFFER, mBand->vbo(), v.data(), v.size() * 4);
                break;
            }
            case Kind::Stream:
                makePlot(w.a, false, 0);
                mStream[0] = streamData(w.a, 0);
                mStream[1] = streamData(w.a, 1);
                break;
            case Kind::Lissajous:
                makePlot(w.a, false, 0);
                upload(GL_ARRAY_BUFFER, mPlot->vbo(), lissajousData(w.a).data(), size_t(w.a) * 8);
                break;
            case Kind::LogLine:
                makePlot(w.a, false, 0);
                mPlot->setAxesLimits(1000, 1, 1, 0.1f);
                mPlot->setLogAxes(true, true);
                upload(GL_ARRAY_BUFFER, mPlot->vbo(), logLineData(w.a).data(), size_t(w.a) * 8);
                break;
            case Kind::Histogram: makeHistogram(w.a); break;
            case Kind::EmptyChart:
                makeHistogram(0);
                mHist->setXAxisTitle("X Axis");
                mHist->setYAxisTitle("Y Axis");
                break;
            case Kind::Gallery:
                makeImage(512, 512, true, false);
                makePlot(1000, false, 0);
                mScatter.reset(new zv::Plot(1000, zv::ZV_FLOAT32, zv::ZV_PLOT_SCATTER,
                                            zv::ZV_MARKER_CIRCLE));
                mScatter->setAxesLimits(1, 0, 1, 0);
                {
                    std::vector<float> v = scatterData(1000);
                    win.makeCurrent();
                    upload(GL_ARRAY_BUFFER, mScatter->vbo(), v.data(), v.size() * 4);
                }
                makeHistogram(100);
                win.setFont(&font);
                win.grid(2, 2);
                break;
            case Kind::Histogram2D: {
                mHist2D.reset(new zv::Histogram2D(w.a, HIST2D_BINS, HIST2D_BINS));
                std::vector<float> v = hist2dData(w.a);
                win.makeCurrent();
                upload(GL_ARRAY_BUFFER, mHist2D->vbo(), v.data(), v.size() * 4);
                break;
            }
            case Kind::ColorScatter: {
                mColorScatter.reset(
                    new zv::Scatter(w.a, zv::ZV_FLOAT32, zv::ZV_MARKER_POINT, true));
                mColorScatter->setAxesLimits(1, 0, 1, 0);
                const std::vector<float> xy = scatterData(w.a);
                const std::vector<float> v = perPoint(w.a, 7, 1.0f, 0.0f);
                const std::vector<float> size = perPoint(w.a, 11, 10.0f, 4.0f);
                win.makeCurrent();
                upload(GL_ARRAY_BUFFER, mColorScatter->vbo(), xy.data(), xy.size() * 4);
                upload(GL_ARRAY_BUFFER, mColorScatter->valueVbo(), v.data(), v.size() * 4);
                upload(GL_ARRAY_BUFFER, mColorScatter->sizeVbo(), size.data(), size.size() * 4);
                break;
            }
            case Kind::ErrorBars: {
                mErrorBars.reset(new zv::ErrorBars(w.a, zv::ZV_FLOAT32, zv::ZV_ERRORS_ASYMMETRIC,
                                                   zv::ZV_ERRORS_SYMMETRIC));
                mErrorBars->setColor(PLOT_COLOR[0], PLOT_COLOR[1], PLOT_COLOR[2]);
                mErrorBars->setAxesLimits(1, 0, 1, 0);
                const std::vector<float> xy = scatterData(w.a);
                const std::vector<float> ey = perPoint(2 * w.a, 7, 0.03f, 0.005f);
                const std::vector<float> ex = perPoint(w.a, 11, 0.02f, 0.005f);
                win.makeCurrent();
                upload(GL_ARRAY_BUFFER, mErrorBars->vbo(), xy.data(), xy.size() * 4);
                upload(GL_ARRAY_BUFFER, mErrorBars->yErrorVbo(), ey.data(), ey.size() * 4);
                upload(GL_ARRAY_BUFFER, mErrorBars->xErrorVbo(), ex.data(), ex.size() * 4);
                break;
            }
            case Kind::Bars: {
                mLowBars.reset(new zv::Bars(w.a, zv::ZV_FLOAT32));
                mHighBars.reset(new zv::Bars(w.a, zv::ZV_FLOAT32));
                mHighBars->stackOn(*mLowBars);
                mLowBars->setColor(SERIES_COLORS[0]);
                mHighBars->setColor(SERIES_COLORS[1]);
                mChart.reset(new zv::Chart());
                mChart->setAxesLimits(float(w.a) - 0.5f, -0.5f, 1, 0);
                mChart->add(*mLowBars);
                mChart->add(*mHighBars);
                win.makeCurrent();
                upload(GL_ARRAY_BUFFER, mLowBars->vbo(), barsData(w.a, 0).data(), size_t(w.a) * 4);
                upload(GL_ARRAY_BUFFER, mHighBars->vbo(), barsData(w.a, 1).data(), size_t(w.a) * 4);
                break;
            }
            case Kind::Series:
                mChart.reset(new zv::Chart());
                mChart->setAxesLimits(1, 0, 1, 0);
                for (unsigned k = 0; k < w.a; ++k) {
                    mSeries.emplace_back(new zv::Plot(SERIES_POINTS, zv::ZV_FLOAT32));
                    std::vector<float> v = seriesData(SERIES_POINTS, k);
                    win.makeCurrent();
                    upload(GL_ARRAY_BUFFER, mSeries.back()->vbo(), v.data(), v.size() * 4);
                    mChart->add(*mSeries.back());
                }
                break;
        }
    }

    std::vector<unsigned char> picture() override {
        mNext = 1;  // the stream's first array, on both sides whatever frames they timed
        if (mW.kind != Kind::Gallery) {
            frame();
            return backBuffer();
        }
        drawCells();
        std::vector<unsigned char> px = backBuffer();
        mWin.draw();
        return px;
    }

    void drawCells() {
        mWin.draw(0, 0, *mImage, "Image");
        mWin.draw(1, 0, *mPlot, "Line plot");
        mWin.draw(0, 1, *mScatter, "Scatter");
        mWin.draw(1, 1, *mHist, "Histogram");
    }

    void frame() override {
        switch (mW.kind) {
            case Kind::Image: mWin.draw(*mImage, false); break;
            case Kind::Stream:
                mNext ^= 1;
                upload(GL_ARRAY_BUFFER, mPlot->vbo(), mStream[mNext].data(),
                       mStream[mNext].size() * 4);
                mWin.draw(*mPlot);
                break;
            case Kind::Line:
            case Kind::Scatter:
            case Kind::Steps:
            case Kind::Lissajous:
            case Kind::LogLine: mWin.draw(*mPlot); break;
            case Kind::Band: mWin.draw(*mBand); break;
            case Kind::Histogram:
            case Kind::EmptyChart: mWin.draw(*mHist); break;
            case Kind::Gallery:
                drawCells();
                mWin.draw();
                break;
            case Kind::Series:
            case Kind::Bars: mWin.draw(*mChart); break;
            case Kind::Histogram2D: mWin.draw(*mHist2D); break;
            case Kind::ColorScatter: mWin.draw(*mColorScatter); break;
            case Kind::ErrorBars: mWin.draw(*mErrorBars); break;
        }
    }

private:
    void makeImage(unsigned w, unsigned h, bool gray, bool f32) {
        mImage.reset(new zv::Image(w, h, gray ? zv::ZV_GRAYSCALE : zv::ZV_RGBA,
                                   f32 ? zv::ZV_FLOAT32 : zv::ZV_UINT8));
        std::vector<unsigned char> d = imageData(w, h, gray, f32);
        mWin.makeCurrent();
        upload(GL_PIXEL_UNPACK_BUFFER, mImage->pbo(), d.data(), d.size());
    }
    void makePlot(unsigned n, bool scatter, int marker) {
        mPlot.reset(new zv::Plot(n, zv::ZV_FLOAT32, scatter ? zv::ZV_PLOT_SCATTER : zv::ZV_PLOT_LINE,
                                 static_cast<zv::ZVMarkerType>(marker)));
        mPlot->setAxesLimits(1, 0, 1, 0);
        std::vector<float> v = scatter ? scatterData(n) : lineData(n);
        mWin.makeCurrent();
        upload(GL_ARRAY_BUFFER, mPlot->vbo(), v.data(), v.size() * 4);
    }
    void makeHistogram(unsigned n) {
        mHist.reset(new zv::Histogram(n, zv::ZV_FLOAT32));
        mHist->setAxesLimits(1, 0, 1, 0);
        std::vector<float> v = histogramData(n);
        mWin.makeCurrent();
        if (n) upload(GL_ARRAY_BUFFER, mHist->vbo(), v.data(), v.size() * 4);
    }

    zv::Window& mWin;
    Workload mW;
    std::unique_ptr<zv::Image> mImage;
    std::unique_ptr<zv::Plot> mPlot, mScatter;
    std::unique_ptr<zv::Histogram> mHist;
    std::unique_ptr<zv::Chart> mChart;
    std::unique_ptr<zv::Histogram2D> mHist2D;
    std::unique_ptr<zv::Band> mBand;
    std::unique_ptr<zv::Scatter> mColorScatter;
    std::unique_ptr<zv::ErrorBars> mErrorBars;
    std::unique_ptr<zv::Bars> mLowBars, mHighBars;
    std::vector<std::unique_ptr<zv::Plot>> mSeries;
    std::vector<float> mStream[2];
    int mNext = 0;
};

class BaselineSide : public Side {
public:
    BaselineSide(zv::Window& win, baseline::Renderer& r, const Workload& w)
        : mR(r), mW(w), mGlfw(nullptr) {
        win.makeCurrent();
        mGlfw = glfwGetCurrentContext();
        const std::vector<std::string>& labels = unitLabels();
        switch (w.kind) {
            case Kind::Image: makeImage(w.a, w.b, w.gray, w.float32); break;
            case Kind::Line:
            case Kind::Scatter:
            case Kind::LogLine:  // never timed: the baseline has no logarithmic axes
                mChart.reset(new baseline::Chart(r, W, H, labels, labels, "", ""));
                makePlot(w.a, w.kind == Kind::Scatter, w.marker);
                break;
            case Kind::Steps:
                mChart.reset(new baseline::Chart(r, W, H, labels, labels, "", ""));
                makePlot(w.a, false, 0);
                mPlot->setStepMode(zv::ZV_STEPS_POST);
                break;
            case Kind::Band: {
                mChart.reset(new baseline::Chart(r, W, H, labels, labels, "", ""));
                mBand.reset(new baseline::Band(r, w.a, BAND_COLOR));
                const std::vector<float> v = bandData(w.a);
                upload(GL_ARRAY_BUFFER, mBand->vbo(), v.data(), v.size() * 4);
                break;
            }
            case Kind::Stream:
                mChart.reset(new baseline::Chart(r, W, H, labels, labels, "", ""));
                makePlot(w.a, false, 0);
                mStream[0] = streamData(w.a, 0);
                mStream[1] = streamData(w.a, 1);
                break;
            case Kind::Lissajous:
                mChart.reset(new baseline::Chart(r, W, H, labels, labels, "", ""));
                makePlot(w.a, false, 0);
                upload(GL_ARRAY_BUFFER, mPlot->vbo(), lissajousData(w.a).data(), size_t(w.a) * 8);
                break;
            case Kind::Histogram:
                mChart.reset(new baseline::Chart(r, W, H, labels, labels, "", ""));
                makeHistogram(w.a, *mChart);
                break;
            case Kind::EmptyChart:
                mChart.reset(new baseline::Chart(r, W, H, labels, labels, "X Axis", "Y Axis"));
                makeHistogram(0, *mChart);
                break;
            case Kind::Gallery: {
                makeImage(512, 512, true, false);
                const Cell c = cell(2, 2, 0, 0);
                mChart.reset(new baseline::Chart(r, c.w, c.h, labels, labels, "", ""));
                makePlot(1000, false, 0);
                mScatterChart.reset(new baseline::Chart(r, c.w, c.h, labels, labels, "", ""));
                mScatter.reset(new baseline::Plot(r, 1000, zv::ZV_MARKER_CIRCLE, true, PLOT_COLOR));
                std::vector<float> v = scatterData(1000);
                upload(GL_ARRAY_BUFFER, mScatter->vbo(), v.data(), v.size() * 4);
                mHistChart.reset(new baseline::Chart(r, c.w, c.h, labels, labels, "", ""));
                makeHistogram(100, *mHistChart);
                const char* titles[4] = {"Image", "Line plot", "Scatter", "Histogram"};
                for (int i = 0; i < 4; ++i) {
                    const Cell ci = cell(2, 2, i % 2, i / 2);
                    r.layout(mCaptions[i], ci.w, ci.h, ci.capX, ci.capY, titles[i], CAPTION_SIZE,
                             false, RED);
                }
                // A grid frame is cleared after it is presented (see frame()); the first
                // one starts from a cleared buffer, as after the library's grid().
                glClear(FRAME_CLEAR_BITS);
                break;
            }
            case Kind::Histogram2D: {
                mChart.reset(new baseline::Chart(r, W, H, labels, labels, "", ""));
                mHist2D.reset(new baseline::Histogram2D(r, w.a, HIST2D_BINS, HIST2D_BINS));
                std::vector<float> v = hist2dData(w.a);
                upload(GL_ARRAY_BUFFER, mHist2D->vbo(), v.data(), v.size() * 4);
                break;
            }
            case Kind::ColorScatter: {
                mChart.reset(new baseline::Chart(r, W, H, labels, labels, "", ""));
                mColorScatter.reset(new baseline::ColorScatter(r, w.a, 0.0f, 1.0f));
                const std::vector<float> xy = scatterData(w.a);
                const std::vector<float> v = perPoint(w.a, 7, 1.0f, 0.0f);
                const std::vector<float> size = perPoint(w.a, 11, 10.0f, 4.0f);
                upload(GL_ARRAY_BUFFER, mColorScatter->vbo(), xy.data(), xy.size() * 4);
                upload(GL_ARRAY_BUFFER, mColorScatter->valueVbo(), v.data(), v.size() * 4);
                upload(GL_ARRAY_BUFFER, mColorScatter->sizeVbo(), size.data(), size.size() * 4);
                break;
            }
            case Kind::ErrorBars: {
                mChart.reset(new baseline::Chart(r, W, H, labels, labels, "", ""));
                mErrorBars.reset(new baseline::ErrorBars(r, w.a, PLOT_COLOR));
                const std::vector<float> xy = scatterData(w.a);
                const std::vector<float> ey = perPoint(2 * w.a, 7, 0.03f, 0.005f);
                const std::vector<float> ex = perPoint(w.a, 11, 0.02f, 0.005f);
                upload(GL_ARRAY_BUFFER, mErrorBars->vbo(), xy.data(), xy.size() * 4);
                upload(GL_ARRAY_BUFFER, mErrorBars->yErrorVbo(), ey.data(), ey.size() * 4);
                upload(GL_ARRAY_BUFFER, mErrorBars->xErrorVbo(), ex.data(), ex.size() * 4);
                break;
            }
            case Kind::Bars: {
                mChart.reset(new baseline::Chart(r, W, H, barsLabels(w.a), labels, "", ""));
                float low[4], high[4];
                for (int i = 0; i < 4; ++i) {
                    low[i] = float((SERIES_COLORS[0] >> (24 - 8 * i)) & 0xFF) / 255.0f;
                    high[i] = float((SERIES_COLORS[1] >> (24 - 8 * i)) & 0xFF) / 255.0f;
                }
                mBars.reset(new baseline::Bars(r, w.a, low, high));
                upload(GL_ARRAY_BUFFER, mBars->lowVBO(), barsData(w.a, 0).data(), size_t(w.a) * 4);
                upload(GL_ARRAY_BUFFER, mBars->highVBO(), barsData(w.a, 1).data(), size_t(w.a) * 4);
                break;
            }
            case Kind::Series:
                mChart.reset(new baseline::Chart(r, W, H, labels, labels, "", ""));
                for (unsigned k = 0; k < w.a; ++k) {
                    float color[4];
                    const unsigned c = SERIES_COLORS[k % 8];
                    for (int i = 0; i < 4; ++i) color[i] = float((c >> (24 - 8 * i)) & 0xFF) / 255.0f;
                    mSeries.emplace_back(new baseline::Plot(mR, SERIES_POINTS, 0, false, color));
                    std::vector<float> v = seriesData(SERIES_POINTS, k);
                    upload(GL_ARRAY_BUFFER, mSeries.back()->vbo(), v.data(), v.size() * 4);
                    mSeriesPtrs.push_back(mSeries.back().get());
                }
                break;
        }
    }

    void frame() override {
        draw();
        present();
    }

    std::vector<unsigned char> picture() override {
        mNext = 1;  // the stream's first array, on both sides whatever frames they timed
        draw();
        std::vector<unsigned char> px = backBuffer();
        present();
        return px;
    }

    // A grid frame clears the back buffer right after presenting it, in the order the
    // library's grid frame does (cells, swap, poll, clear). The order matters to the
    // software rasteriser under a glFinish per frame: a clear that starts a frame is folded
    // into that frame's drawing, while one left at a frame's end is carried out on its own
    // and the next frame's drawing then reads the tiles back (about 7% of a grid frame
    // here); without a glFinish after every frame it joins the next frame's drawing.
    void present() {
        glfwSwapBuffers(mGlfw);
        glfwPollEvents();
        if (mW.kind == Kind::Gallery) glClear(FRAME_CLEAR_BITS);
    }

    void draw() {
        const int full[4] = {0, 0, W, H};
        switch (mW.kind) {
            case Kind::Image:
                mR.beginFrame(W, H);
                mImage->draw(W, H, false);
                break;
            case Kind::Stream:
                mNext ^= 1;
                upload(GL_ARRAY_BUFFER, mPlot->vbo(), mStream[mNext].data(),
                       mStream[mNext].size() * 4);
                mR.beginFrame(W, H);
                mPlot->draw(*mChart, full, 1, 0, 1, 0);
                break;
            case Kind::Line:
            case Kind::Scatter:
            case Kind::Steps:
            case Kind::Lissajous:
            case Kind::LogLine:
                mR.beginFrame(W, H);
                mPlot->draw(*mChart, full, 1, 0, 1, 0);
                break;
            case Kind::Band:
                mR.beginFrame(W, H);
                mBand->draw(*mChart, full, 1, 0, 1, 0);
                break;
            case Kind::Histogram:
            case Kind::EmptyChart:
                mR.beginFrame(W, H);
                mHist->draw(*mChart, full);
                break;
            case Kind::Series:
                mR.beginFrame(W, H);
                baseline::Plot::drawMany(*mChart, full, mSeriesPtrs.data(), mSeriesPtrs.size(), 1,
                                         0, 1, 0);
                break;
            case Kind::Histogram2D:
                mR.beginFrame(W, H);
                mHist2D->draw(*mChart, full);
                break;
            case Kind::ColorScatter:
                mR.beginFrame(W, H);
                mColorScatter->draw(*mChart, full, 1, 0, 1, 0);
                break;
            case Kind::ErrorBars:
                mR.beginFrame(W, H);
                mErrorBars->draw(*mChart, full, 1, 0, 1, 0);
                break;
            case Kind::Bars:
                mR.beginFrame(W, H);
                mBars->draw(*mChart, full);
                break;
            case Kind::Gallery:
                for (int i = 0; i < 4; ++i) {
                    const Cell c = cell(2, 2, i % 2, i / 2);
                    const int inset[4] = {c.vx, c.vy, c.vw, c.vh};
                    glViewport(c.vx, c.vy, c.vw, c.vh);
                    switch (i) {
                        case 0: mImage->draw(c.vw, c.vh, true); break;  // aspect kept in the inset area
                        case 1: mPlot->draw(*mChart, inset, 1, 0, 1, 0); break;
                        case 2: mScatter->draw(*mScatterChart, inset, 1, 0, 1, 0); break;
                        case 3: mHist->draw(*mHistChart, inset); break;
                    }
                    glViewport(c.x, c.y, c.w, c.h);
                    mR.drawText(mCaptions[i]);
                }
                break;
        }
    }

private:
    void makeImage(unsigned w, unsigned h, bool gray, bool f32) {
        mImage.reset(new baseline::Image(mR, w, h, gray, f32));
        std::vector<unsigned char> d = imageData(w, h, gray, f32);
        upload(GL_PIXEL_UNPACK_BUFFER, mImage->pbo(), d.data(), d.size());
    }
    void makePlot(unsigned n, bool scatter, int marker) {
        mPlot.reset(new baseline::Plot(mR, n, marker, scatter, PLOT_COLOR));
        std::vector<float> v = scatter ? scatterData(n) : lineData(n);
        upload(GL_ARRAY_BUFFER, mPlot->vbo(), v.data(), v.size() * 4);
    }
    void makeHistogram(unsigned n, baseline::Chart& chart) {
        mHist.reset(new baseline::Histogram(mR, chart, n, 1.0f, BAR_COLOR));
        std::vector<float> v = histogramData(n);
        if (n) upload(GL_ARRAY_BUFFER, mHist->vbo(), v.data(), v.size() * 4);
    }

    baseline::Renderer& mR;
    Workload mW;
    GLFWwindow* mGlfw;
    std::unique_ptr<baseline::Image> mImage;
    std::unique_ptr<baseline::Chart> mChart, mScatterChart, mHistChart;
    std::unique_ptr<baseline::Plot> mPlot, mScatter;
    std::unique_ptr<baseline::Histogram> mHist;
    std::unique_ptr<baseline::Histogram2D> mHist2D;
    std::unique_ptr<baseline::Band> mBand;
    std::unique_ptr<baseline::ColorScatter> mColorScatter;
    std::unique_ptr<baseline::ErrorBars> mErrorBars;
    std::unique_ptr<baseline::Bars> mBars;
    std::vector<std::unique_ptr<baseline::Plot>> mSeries;
    std::vector<baseline::Plot*> mSeriesPtrs;
    baseline::TextRun mCaptions[4];
    std::vector<float> mStream[2];
    int mNext = 0;
};

// --- Measuring ---------------------------------------------------------------------------

double nowMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double threadCpuMs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

struct Sample {
    double wall, cpu;
    uint64_t calls, reads;
};

Sample timedFrame(Side& side) {
    const double t0 = nowMs(), c0 = threadCpuMs();
    const uint64_t g0 = glcount::count(), r0 = glcount::reads();
    side.frame();
    const uint64_t g1 = glcount::count(), r1 = glcount::reads();
    glFinish();
    return {nowMs() - t0, threadCpuMs() - c0, g1 - g0, r1 - r0};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

struct Result {
    double wall = 0, cpu = 0, calls = 0, reads = 0;
};

// Share of pixels whose colours differ by more than a few steps, in percent.
double pictureDifference(const std::vector<unsigned char>& pa, const std::vector<unsigned char>& pb) {
    if (std::getenv("ZV_BENCH_DEBUG")) {
        size_t lit[2] = {0, 0};
        for (size_t i = 0; i < pa.size(); i += 4) {
            lit[0] += (pa[i] | pa[i + 1] | pa[i + 2]) != 0;
            lit[1] += (pb[i] | pb[i + 1] | pb[i + 2]) != 0;
        }
        std::fprintf(stderr, "lit pixels: library %zu, baseline %zu\n", lit[0], lit[1]);
    }
    size_t differ = 0;
    for (size_t i = 0; i < pa.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            if (std::abs(int(pa[i + c]) - int(pb[i + c])) > 8) {
                ++differ;
                break;
            }
    return 100.0 * double(differ) / double(W * H);
}

struct Bench {
    zv::Window libWin{W, H, "zarvo bench: library"};
    zv::Window baseWin{W, H, "zarvo bench: baseline"};
    std::unique_ptr<zv::Font> font;
    std::unique_ptr<baseline::Renderer> renderer;

    Bench() {
        libWin.setPos(0, 0);
        baseWin.setPos(W + 20, 0);
        libWin.makeCurrent();
        font.reset(new zv::Font());
        font->loadSystemFont("Vera", FONT_SIZE);
        baseWin.makeCurrent();
        renderer.reset(new baseline::Renderer(baseline::findFont("Vera"), FONT_SIZE));
        glcount::install();
    }

    std::unique_ptr<Side> side(bool library, const Workload& w) {
        if (library) return std::unique_ptr<Side>(new LibrarySide(libWin, *font, w));
        return std::unique_ptr<Side>(new BaselineSide(baseWin, *renderer, w));
    }
    zv::Window& window(bool library) { return library ? libWin : baseWin; }
};

// Times both sides of one workload, alternating blocks of frames between them.
void timeWorkload(Bench& bench, const Workload& w, double budgetSeconds, Result out[2],
                  double& pictureDiff) {
    std::unique_ptr<Side> sides[2] = {bench.side(true, w), bench.side(false, w)};
    double estimate = 0;
    for (int s = 0; s < 2; ++s) {
        bench.window(s == 0).makeCurrent();
        timedFrame(*sides[s]);  // first draw: vertex arrays, shader variants
        estimate = std::max(estimate, timedFrame(*sides[s]).wall);
    }
    const int frames = std::clamp(int(budgetSeconds * 1000.0 / std::max(estimate, 0.1)), 5, 60);
    // Many short blocks, alternating which side goes first, so a change of load on the
    // machine falls on both sides alike.
    const int blocks = std::min(10, frames);
    std::vector<double> wall[2], cpu[2], calls[2], reads[2];
    for (int b = 0; b < blocks; ++b) {
        for (int k = 0; k < 2; ++k) {
            const int s = (b % 2) ? 1 - k : k;
            bench.window(s == 0).makeCurrent();
            timedFrame(*sides[s]);  // after the context switch
            const int n = frames / blocks + (b < frames % blocks ? 1 : 0);
            for (int i = 0; i < n; ++i) {
                const Sample x = timedFrame(*sides[s]);
                wall[s].push_back(x.wall);
                cpu[s].push_back(x.cpu);
                calls[s].push_back(double(x.calls));
                reads[s].push_back(double(x.reads));
            }
        }
    }
    for (int s = 0; s < 2; ++s)
        out[s] = {median(wall[s]), median(cpu[s]), median(calls[s]), median(reads[s])};
    if (std::getenv("ZV_BENCH_TRACE")) {
        for (int s = 0; s < 2; ++s) {
            bench.window(s == 0).makeCurrent();
            std::fprintf(stderr, "%s, %s frame:\n", w.name, s == 0 ? "library" : "baseline");
            glcount::trace(true);
            sides[s]->frame();
            glcount::trace(false);
        }
    }
    std::vector<unsigned char> pictures[2];
    for (int s = 0; s < 2; ++s) {
        bench.window(s == 0).makeCurrent();
        pictures[s] = sides[s]->picture();
    }
    pictureDiff = pictureDifference(pictures[0], pictures[1]);
    for (int s = 0; s < 2; ++s) {
        bench.window(s == 0).makeCurrent();
        sides[s].reset();
    }
}

std::vector<const Workload*> selected(const std::string& list) {
    std::vector<const Workload*> out;
    if (list.empty() || list == "all") {
        for (const Workload& w : WORKLOADS) out.push_back(&w);
        return out;
    }
    std::stringstream ss(list);
    std::string name;
    while (std::getline(ss, name, ',')) {
        bool found = false;
        for (const Workload& w : WORKLOADS)
            if (name == w.name) {
                out.push_back(&w);
                found = true;
            }
        if (!found) {
            std::fprintf(stderr, "unknown workload %s (see --list)\n", name.c_str());
            std::exit(2);
        }
    }
    return out;
}

std::string ratio(double a, double b) {
    if (b <= 0) return "-";
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%.3f", a / b);
    return buf;
}

Result timeLibrary(Bench& bench, const Workload& w, double budget, int maxFrames,
                   int* framesOut = nullptr);

int runTable(const std::vector<const Workload*>& workloads, double budget) {
    Bench bench;
    std::printf("%-26s | %9s %9s %6s | %9s %9s %6s | %6s %6s %6s | %7s | %5s\n", "workload",
                "wall lib", "wall base", "ratio", "cpu lib", "cpu base", "ratio", "GL lib",
                "GL bas", "ratio", "pix%", "reads");
    std::printf("%-26s | %9s %9s %6s | %9s %9s %6s | %6s %6s %6s | %7s | %5s\n", "", "ms", "ms",
                "", "ms", "ms", "", "calls", "calls", "", "differ", "lib");
    std::printf("%s\n", std::string(130, '-').c_str());
    for (const Workload* w : workloads) {
        if (w->kind == Kind::LogLine) {
            // The library alone: the baseline draws no logarithmic axes.
            const Result r = timeLibrary(bench, *w, budget, 60);
            std::printf("%-26s | %9.3f %9s %6s | %9.3f %9s %6s | %6.0f %6s %6s | %7s | %5.0f\n",
                        w->name, r.wall, "-", "-", r.cpu, "-", "-", r.calls, "-", "-", "-",
                        r.reads);
            std::fflush(stdout);
            continue;
        }
        Result r[2];
        double diff = 0;
        timeWorkload(bench, *w, budget, r, diff);
        std::printf("%-26s | %9.3f %9.3f %6s | %9.3f %9.3f %6s | %6.0f %6.0f %6s | %7.3f | %5.0f\n",
                    w->name, r[0].wall, r[1].wall, ratio(r[0].wall, r[1].wall).c_str(), r[0].cpu,
                    r[1].cpu, ratio(r[0].cpu, r[1].cpu).c_str(), r[0].calls, r[1].calls,
                    glcount::enabled() ? ratio(r[0].calls, r[1].calls).c_str() : "-", diff,
                    r[0].reads);
        std::fflush(stdout);
    }
    return 0;
}

// Times the library side alone and prints one line per workload in the peer scripts' format
// (scripts/bench.sh --peers puts the two side by side).
// The library's side of one workload alone: medians over up to maxFrames frames.
Result timeLibrary(Bench& bench, const Workload& w, double budget, int maxFrames,
                   int* framesOut) {
    std::unique_ptr<Side> side = bench.side(true, w);
    bench.window(true).makeCurrent();
    timedFrame(*side);  // first draw: vertex arrays, shader variants
    const double estimate = timedFrame(*side).wall;
    const int frames = std::clamp(int(budget * 1000.0 / std::max(estimate, 0.1)), 5, maxFrames);
    std::vector<double> wall, cpu, calls, reads;
    for (int i = 0; i < frames; ++i) {
        const Sample x = timedFrame(*side);
        wall.push_back(x.wall);
        cpu.push_back(x.cpu);
        calls.push_back(double(x.calls));
        reads.push_back(double(x.reads));
    }
    if (framesOut) *framesOut = frames;
    side.reset();
    return {median(wall), median(cpu), median(calls), median(reads)};
}

int runLibraryOnly(const std::vector<const Workload*>& workloads, double budget) {
    Bench bench;
    for (const Workload* w : workloads) {
        int frames = 0;
        const Result r = timeLibrary(bench, *w, budget, 300, &frames);
        std::printf("libzarvo workload=%s win=%dx%d frames=%d frame_ms=%.3f proc_cpu_ms=%.3f\n",
                    w->name, W, H, frames, r.wall, r.cpu);
        std::fflush(stdout);
    }
    return 0;
}

int runHeadless(const std::vector<const Workload*>& workloads, double budget) {
    zv::WindowOptions x, none;
    x.system = zv::ZV_WINDOW_X11;
    none.system = zv::ZV_WINDOW_HEADLESS;
    zv::Window windows[2] = {zv::Window(W, H, "zarvo bench: X", x),
                             zv::Window(W, H, "zarvo bench: headless", none)};
    std::unique_ptr<zv::Font> fonts[2];
    for (int s = 0; s < 2; ++s) {
        windows[s].makeCurrent();
        fonts[s].reset(new zv::Font());
        fonts[s]->loadSystemFont("Vera", FONT_SIZE);
    }
    std::printf("%-26s | %9s %9s | %9s %9s | %7s\n", "workload", "X ms", "X cpu", "none ms",
                "none cpu", "none/X");
    for (const Workload* w : workloads) {
        std::unique_ptr<Side> sides[2];
        double estimate = 0;
        for (int s = 0; s < 2; ++s) {
            sides[s].reset(new LibrarySide(windows[s], *fonts[s], *w));
            windows[s].makeCurrent();
            timedFrame(*sides[s]);  // first draw: vertex arrays, shader variants
            estimate = std::max(estimate, timedFrame(*sides[s]).wall);
        }
        const size_t frames =
            size_t(std::clamp(int(budget * 1000.0 / std::max(estimate, 0.1)), 10, 300));
        const int block = std::clamp(int(100.0 / std::max(estimate, 0.1)), 2, 20);
        std::vector<double> wall[2], cpu[2];
        while (wall[0].size() < frames) {
            for (int s = 0; s < 2; ++s) {
                windows[s].makeCurrent();
                timedFrame(*sides[s]);  // after the context switch
                for (int i = 0; i < block; ++i) {
                    const Sample sample = timedFrame(*sides[s]);
                    wall[s].push_back(sample.wall);
                    cpu[s].push_back(sample.cpu);
                }
            }
        }
        std::printf("%-26s | %9.3f %9.3f | %9.3f %9.3f | %7.3f\n", w->name, median(wall[0]),
                    median(cpu[0]), median(wall[1]), median(cpu[1]),
                    median(wall[1]) / median(wall[0]));
        std::fflush(stdout);
    }
    return 0;
}

int runCallgrind(const Workload& w, bool library, int n1, int n2) {
    Bench bench;
    std::unique_ptr<Side> side = bench.side(library, w);
    bench.window(library).makeCurrent();
    timedFrame(*side);  // first draw: vertex arrays, shader variants
    CALLGRIND_START_INSTRUMENTATION;
    CALLGRIND_ZERO_STATS;
    for (int i = 0; i < n1; ++i) timedFrame(*side);
    CALLGRIND_DUMP_STATS_AT("frames-n1");
    for (int i = 0; i < n2; ++i) timedFrame(*side);
    CALLGRIND_DUMP_STATS_AT("frames-n2");
    CALLGRIND_STOP_INSTRUMENTATION;
    side.reset();
    return 0;
}

// A stream of RING_POINTS points drawn as one line, RING_NEW of them new each frame, two
// ways: a ring buffer that takes only the new points over its oldest (Plot::advanceRing),
// and the same plot rewriting all its points, oldest first, every frame. x is the sample's
// time, so the axis scrolls with the stream on both sides alike. The new points of the ring
// are made in the frame from a table (a copy of 10^4 points); the rewrite uploads one of two
// arrays made before timing, alternately (its producer's cost is left out, which favours
// it). Each frame: upload, limits, draw, present, glFinish.
constexpr unsigned RING_POINTS = 1000000;
constexpr unsigned RING_NEW = 10000;

float ringY(unsigned long t) {
    return 0.8f * std::sin(float(t % 6283) * 0.001f) + 0.1f * std::sin(float(t % 97) * 0.0648f);
}

int runRing(double budget) {
    zv::Window win(W, H, "zarvo bench: ring");
    win.makeCurrent();
    zv::Plot ring(RING_POINTS, zv::ZV_FLOAT32), rewrite(RING_POINTS, zv::ZV_FLOAT32);
    std::vector<float> full[2], chunk(2 * RING_NEW);
    for (int k = 0; k < 2; ++k) {
        full[k].resize(2 * size_t(RING_POINTS));
        for (unsigned i = 0; i < RING_POINTS; ++i) {
            const unsigned long t = i + k * RING_NEW;
            full[k][2 * i] = float(t);
            full[k][2 * i + 1] = ringY(t);
        }
    }
    upload(GL_ARRAY_BUFFER, ring.vbo(), full[0].data(), full[0].size() * 4);
    unsigned long next = RING_POINTS;  // time of the ring's next new point
    unsigned head = 0;                 // its place
    long frameNumber = 0;
    const auto ringFrame = [&] {
        for (unsigned i = 0; i < RING_NEW; ++i) {
            chunk[2 * i] = float(next + i);
            chunk[2 * i + 1] = ringY(next + i);
        }
        win.makeCurrent();
        glBindBuffer(GL_ARRAY_BUFFER, ring.vbo());
        glBufferSubData(GL_ARRAY_BUFFER, GLintptr(head) * 8, GLsizeiptr(RING_NEW) * 8,
                        chunk.data());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        next += RING_NEW;
        head = (head + RING_NEW) % RING_POINTS;
        ring.advanceRing(RING_NEW);  // the ring's start moves to `head`
        ring.setAxesLimits(float(next - 1), float(next - RING_POINTS), 1.0f, -1.0f);
        win.draw(ring);
    };
    const auto rewriteFrame = [&] {
        const int k = int(frameNumber++ % 2);
        win.makeCurrent();
        glBindBuffer(GL_ARRAY_BUFFER, rewrite.vbo());
        glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(full[k].size()) * 4, full[k].data());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        const float t0 = float(k * RING_NEW);
        rewrite.setAxesLimits(t0 + float(RING_POINTS - 1), t0, 1.0f, -1.0f);
        win.draw(rewrite);
    };
    // Wall ms, and the drawing thread's CPU ms in `cpu` (all the work, rasterising too, when
    // the software rasteriser runs in the caller's thread: LP_NUM_THREADS=0).
    double cpu = 0;
    const auto timed = [&](const std::function<void()>& f) {
        const double t0 = nowMs(), c0 = threadCpuMs();
        f();
        glFinish();
        cpu = threadCpuMs() - c0;
        return nowMs() - t0;
    };
    // First frames: vertex arrays, the reduction's targets, shader variants.
    for (int i = 0; i < 3; ++i) {
        timed(ringFrame);
        timed(rewriteFrame);
    }
    const double estimate = std::max(timed(ringFrame), timed(rewriteFrame));
    const int frames = std::clamp(int(budget * 1000.0 / std::max(estimate, 0.1)), 10, 200);
    // Blocks of frames alternating between the two, so a change of load falls on both.
    std::vector<double> ms[2], cpuMs[2];
    for (int b = 0; b < 10; ++b)
        for (int s = 0; s < 2; ++s)
            for (int i = 0; i < std::max(1, frames / 10); ++i) {
                ms[s].push_back(timed(s == 0 ? std::function<void()>(ringFrame)
                                             : std::function<void()>(rewriteFrame)));
                cpuMs[s].push_back(cpu);
            }
    const double a = median(ms[0]), b = median(ms[1]);
    const double ca = median(cpuMs[0]), cb = median(cpuMs[1]);
    std::printf("stream of %u points, %u new a frame (medians over %zu frames each)\n",
                RING_POINTS, RING_NEW, ms[0].size());
    std::printf("%-40s %9s %9s\n", "", "wall ms", "cpu ms");
    std::printf("%-40s %9.3f %9.3f\n", "ring (new points only, advanceRing)", a, ca);
    std::printf("%-40s %9.3f %9.3f\n", "rewrite (all points every frame)", b, cb);
    std::printf("%-40s %9.3f %9.3f  (target <= 0.3)\n", "ratio ring / rewrite", a / b, ca / cb);
    return 0;
}

}  // namespace

// Tick labels as the library writes them (the chart layout compiled into the bench needs it).
namespace internal {
std::string toString(float value, int precision) {
    char buf[64];
    std::snprintf(buf, sizeof(buf), "%.*f", precision, double(value));
    return buf;
}
}  // namespace internal

int main(int argc, char** argv) {
    std::string workloads, side = "lib";
    double budget = 2.0;
    int n1 = 0, n2 = 0;
    bool libraryOnly = false, ring = false, headless = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", a.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--workload") {
            workloads = value();
        } else if (a == "--budget") {
            budget = std::atof(value().c_str());
        } else if (a == "--side") {
            side = value();
        } else if (a == "--callgrind") {
            if (std::sscanf(value().c_str(), "%d,%d", &n1, &n2) != 2 || n1 < 0 || n2 <= n1) {
                std::fprintf(stderr, "--callgrind takes N1,N2 with N2 > N1\n");
                return 2;
            }
        } else if (a == "--library-only") {
            libraryOnly = true;
        } else if (a == "--ring") {
            ring = true;
        } else if (a == "--headless") {
            headless = true;
        } else if (a == "--list") {
            for (const Workload& w : WORKLOADS) std::printf("%s\n", w.name);
            return 0;
        } else if (a == "--gl-names") {
            for (const char* const* n = glcount::wrappedNames(); *n; ++n) std::printf("%s\n", *n);
            return 0;
        } else {
            std::fprintf(stderr, "unknown option %s\n", a.c_str());
            return 2;
        }
    }
    try {
        if (n2 > 0) {
            std::vector<const Workload*> w = selected(workloads);
            if (w.size() != 1) {
                std::fprintf(stderr, "--callgrind takes one --workload\n");
                return 2;
            }
            return runCallgrind(*w[0], side == "lib", n1, n2);
        }
        if (ring) return runRing(budget);
        if (libraryOnly) return runLibraryOnly(selected(workloads), budget);
        if (headless) return runHeadless(selected(workloads), budget);
        return runTable(selected(workloads), budget);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zv_bench: %s\n", e.what());
        return 1;
    }
}
