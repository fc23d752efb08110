// Recording a movie: a damped wave, drawn frame by frame into a window and recorded with
// zv::Recorder into an H.264 MP4 file (through ffmpeg) as a simulation would record its run.
// The movie goes beside the picture file (out/record_movie.mp4 for out/record_movie.png), or
// to record_movie.mp4 in the current directory.
#include <zarvo.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "example_util.hpp"

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    std::string movie = "record_movie.mp4";
    if (!run.picture().empty()) {
        movie = run.picture();
        const size_t dot = movie.rfind(".png");
        movie = (dot == std::string::npos ? movie : movie.substr(0, dot)) + ".mp4";
    }
    try {
        zv::Window window(640, 480, "libzarvo: recording a movie");

        const unsigned n = 200;
        const float length = 10.0f;
        zv::Plot plot(n, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE);
        plot.setColor(0x40C0FFFF);
        plot.setLineWidth(2.0f);
        plot.setAxesLimits(length, 0.0f, 1.2f, -1.2f);
        plot.setNiceTicks(true);
        plot.setXAxisTitle("position");
        plot.setYAxisTitle("height");

        // 30 frames a second, full-colour H.264; the example's own file is replaced each run
        // (by default a recorder never replaces a file).
        zv::RecordOptions options;
        options.frameRate = 30;
        options.replace = true;
        zv::Recorder recorder(window, movie, options);

        for (int frame = 0; run.running(window, frame) && frame < 3000; ++frame) {
            window.makeCurrent();
            glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
            auto* xy = static_cast<float*>(glMapBufferRange(
                GL_ARRAY_BUFFER, 0, plot.size(), GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT));
            if (xy) {
                const float t = frame / 30.0f;
                for (unsigned i = 0; i < n; ++i) {
                    const float x = length * i / (n - 1);
                    xy[2 * i] = x;
                    xy[2 * i + 1] = std::exp(-0.15f * t) * std::sin(2.0f * x - 3.0f * t);
                }
                glUnmapBuffer(GL_ARRAY_BUFFER);
            }
            glBindBuffer(GL_ARRAY_BUFFER, 0);

            window.draw(plot);
            recorder.recordFrame();  // exactly one frame of the movie per call
            run.capture(window, frame);
        }
        // Waits for ffmpeg to finish the file and reports a failure it met.
        recorder.stop();
        std::printf("wrote %s (%d frames)\n", movie.c_str(), recorder.frames());
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
