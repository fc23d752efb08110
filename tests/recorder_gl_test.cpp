// Recording a window: movies encoded by ffmpeg decode to the window's snapshots frame for
// frame, numbered PNG files hold them exactly, and every failure (no encoder, a bad path, an
// encoder that exits, a window destroyed while recording) raises with the reason, ends no
// process by SIGPIPE and leaves no child behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include "support/robust_util.hpp"
#include "zarvo.h"

extern char** environ;

namespace {

constexpr int W = 320;
constexpr int H = 240;

// Runs argv (no shell) and returns what it wrote to its standard output.
std::string runCapture(const std::vector<std::string>& argv) {
    int out[2];
    if (pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[65536];
    ssize_t n;
    while (error == 0 && (n = read(out[0], buffer, sizeof buffer)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    close(out[0]);
    if (error == 0) waitpid(pid, nullptr, 0);
    return text;
}

// "width,height,frames" of the movie's video stream, as ffprobe counts them by decoding.
std::string probe(const std::string& path) {
    std::string s = runCapture({"ffprobe", "-v", "error", "-count_frames", "-select_streams",
                                "v:0", "-show_entries", "stream=width,height,nb_read_frames",
                                "-of", "csv=p=0", "file:" + path});
    while (!s.empty() && (s.back() == '\n' || s.back() == ',')) s.pop_back();
    return s;
}

// Every frame of the movie, decoded to RGB bytes.
std::string decode(const std::string& path) {
    return runCapture({"ffmpeg", "-v", "error", "-nostdin", "-i", "file:" + path, "-f",
                       "rawvideo", "-pix_fmt", "rgb24", "pipe:1"});
}

// Peak signal-to-noise ratio of an RGB frame against the RGBA snapshot, in dB.
double psnr(const zv::Snapshot& want, const unsigned char* rgb) {
    double sum = 0;
    const size_t pixels = static_cast<size_t>(want.width) * want.height;
    for (size_t i = 0; i < pixels; ++i) {
        for (int c = 0; c < 3; ++c) {
            const double d = double(want.rgba[4 * i + c]) - double(rgb[3 * i + c]);
            sum += d * d;
        }
    }
    const double mse = sum / (pixels * 3.0);
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

std::set<std::string> listDir(const std::string& dir) {
    std::set<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") names.insert(n);
        }
        closedir(d);
    }
    return names;
}

// True when this process has no child left, running or a zombie.
bool noChildren() {
    errno = 0;
    return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

// A hidden window drawing a moving line plot: frames differ, with thin lines and text, the
// hard case for a video encoder.
class RecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<zv::Window>(W, H, "recorder", nullptr, true);
        plot = std::make_unique<zv::Plot>(N, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE,
                                          zv::ZV_MARKER_CIRCLE);
        plot->setColor(0xFFC020FF);
        plot->setAxesLimits(6.3f, 0.0f, 1.5f, -1.5f);
    }
    // Draws frame `frame` and returns what the window shows.
    zv::Snapshot drawFrame(int frame) {
        std::vector<float> xy(2 * N);
        for (unsigned i = 0; i < N; ++i) {
            xy[2 * i] = 6.3f * i / (N - 1);
            xy[2 * i + 1] = std::sin(xy[2 * i] - frame / 10.0f);
        }
        window->makeCurrent();
        zvtest::writeBuffer(plot->vbo(), xy);
        window->draw(*plot);
        return window->snapshot();
    }
    static constexpr unsigned N = 40;
    zvtest::TempDir dir;
    std::unique_ptr<zv::Window> window;
    std::unique_ptr<zv::Plot> plot;
};

TEST_F(RecorderTest, MovieDecodesToEveryFrameOfTheWindow) {
    const std::string path = dir.path() + "/run.mp4";
    std::vector<zv::Snapshot> shown;
    {
        zv::Recorder recorder(*window, path);
        for (int f = 0; f < 100; ++f) {
            shown.push_back(drawFrame(f));
            recorder.recordFrame();
        }
        EXPECT_EQ(recorder.frames(), 100);
        recorder.stop();
        EXPECT_FALSE(recorder.recording());
    }
    EXPECT_TRUE(noChildren());
    ASSERT_EQ(probe(path), "320,240,100");
    const std::string rgb = decode(path);
    const size_t frameBytes = size_t(W) * H * 3;
    ASSERT_EQ(rgb.size(), frameBytes * 100);
    double worst = 99;
    for (int f = 0; f < 100; ++f) {
        const double p =
            psnr(shown[f], reinterpret_cast<const unsigned char*>(rgb.data()) + f * frameBytes);
        worst = std::min(worst, p);
        EXPECT_GE(p, 40.0) << "frame " << f;
    }
    // Each frame matches its own snapshot better than its neighbours': none was dropped or
    // repeated.
    for (int f = 1; f < 100; f += 11) {
        const auto* frame = reinterpret_cast<const unsigned char*>(rgb.data()) + f * frameBytes;
        EXPECT_GT(psnr(shown[f], frame), psnr(shown[f - 1], frame) + 3.0) << "frame " << f;
    }
    RecordProperty("worst_psnr_db", std::to_string(worst));
}

TEST_F(RecorderTest, PngFilesEqualTheSnapshots) {
    std::vector<zv::Snapshot> shown;
    zv::RecordOptions options;
    options.format = zv::ZV_RECORD_PNG;
    {
        zv::Recorder recorder(*window, dir.path() + "/step-###.png", options);
        for (int f = 0; f < 3; ++f) {
            shown.push_back(drawFrame(f * 7));
            recorder.recordFrame();
        }
    }
    EXPECT_EQ(listDir(dir.path()),
              (std::set<std::string>{"step-000.png", "step-001.png", "step-002.png"}));
    for (int f = 0; f < 3; ++f) {
        int w = 0, h = 0, n = 0;
        const std::string name = dir.path() + "/step-00" + std::to_string(f) + ".png";
        unsigned char* pixels = stbi_load(name.c_str(), &w, &h, &n, 4);
        ASSERT_NE(pixels, nullptr) << name;
        EXPECT_EQ(w, W);
        EXPECT_EQ(h, H);
        EXPECT_TRUE(std::equal(shown[f].rgba.begin(), shown[f].rgba.end(), pixels)) << name;
        stbi_image_free(pixels);
    }
}

// Each name reaches the encoder as that file's name and nothing else: no shell expands it,
// and a leading '-' is not taken for an option.
TEST_F(RecorderTest, HostilePathsNameExactlyThatFile) {
    const std::vector<std::string> names = {
        "with space.mp4", "quo'te\"s.mp4", "semi;colon.mp4", "$(touch pwned).mp4",
        "`touch pwned2`.mp4", "-y.mp4", "-leading dash.mp4", "pipe:1.mp4"};
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        zv::Recorder recorder(*window, name);
        drawFrame(1);
        recorder.recordFrame();
        drawFrame(2);
        recorder.recordFrame();
        recorder.stop();
        EXPECT_EQ(probe(name), "320,240,2");
    }
    const std::set<std::string> made = listDir(".");
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_EQ(made, std::set<std::string>(names.begin(), names.end()));
    EXPECT_TRUE(noChildren());
}

TEST_F(RecorderTest, StartFailuresRaiseWithReasonAndLeaveNoFile) {
    const std::string existing = dir.write("kept.mp4", "not a movie");
    mkdir((dir.path() + "/sub").c_str(), 0755);
    struct Case {
        std::string path;
        std::string encoder;
        std::string reason;  // a piece of expectedCondition()
    };
    const std::vector<Case> cases = {
        {dir.path() + "/a.mp4", "zarvo-no-such-encoder", "install ffmpeg"},
        {dir.path() + "/b.mp4", "/nonexistent/ffmpeg", "No such file"},
        {dir.path() + "/missing/c.mp4", "ffmpeg", "does not exist"},
        {dir.path() + "/sub", "ffmpeg", "is a directory"},
        {existing, "ffmpeg", "RecordOptions::replace"},
        {"/proc/zarvo-recorder-test.mp4", "ffmpeg", "cannot create"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " with " + c.encoder);
        zv::RecordOptions options;
        options.encoder = c.encoder;
        try {
            zv::Recorder recorder(*window, c.path, options);
            ADD_FAILURE() << "no error raised";
        } catch (const zv::ArgumentError& e) {
            ADD_FAILURE() << "an argument error: " << e.expectedCondition();
        } catch (const zv::Error& e) {
            EXPECT_EQ(e.err(), zv::ZV_ERR_GL);
            EXPECT_NE(std::string(e.expectedCondition()).find(c.reason), std::string::npos)
                << e.expectedCondition();
        }
    }
    EXPECT_EQ(listDir(dir.path()), (std::set<std::string>{"kept.mp4", "sub"}));
    EXPECT_EQ(zvtest::readFileBytes(existing), "not a movie");
    EXPECT_TRUE(noChildren());
}

TEST_F(RecorderTest, BadOptionsAreArgumentErrors) {
    auto options = [](auto change) {
        zv::RecordOptions o;
        change(o);
        return o;
    };
    const std::vector<std::pair<std::string, zv::RecordOptions>> cases = {
        {"", {}},
        {"x.mp4", options([](zv::RecordOptions& o) { o.frameRate = 0; })},
        {"x.mp4", options([](zv::RecordOptions& o) { o.frameRate = NAN; })},
        {"x.mp4", options([](zv::RecordOptions& o) { o.frameRate = 1e6; })},
        {"x.mp4", options([](zv::RecordOptions& o) { o.codec = ""; })},
        {"x.mp4", options([](zv::RecordOptions& o) { o.encoder = ""; })},
        {"x.png", options([](zv::RecordOptions& o) { o.format = zv::ZV_RECORD_PNG; })},
        {"a#b#.png", options([](zv::RecordOptions& o) { o.format = zv::ZV_RECORD_PNG; })},
        {"x.mp4", options([](zv::RecordOptions& o) { o.format = zv::RecordFormat(7); })},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        const std::string path = c.first.empty() ? "" : dir.path() + "/" + c.first;
        EXPECT_THROW(zv::Recorder(*window, path, c.second),
                     zv::ArgumentError);
    }
    EXPECT_TRUE(listDir(dir.path()).empty());
}

TEST_F(RecorderTest, ExistingFileIsReplacedOnlyWhenAsked) {
    const std::string path = dir.write("again.mp4", "an older recording");
    zv::RecordOptions options;
    options.replace = true;
    {
        zv::Recorder recorder(*window, path, options);
        drawFrame(0);
        recorder.recordFrame();
    }
    EXPECT_EQ(probe(path), "320,240,1");
}

// The encoder is gone before the frame is written: the write fails with EPIPE, which must
// come back as a zv::Error, not as a SIGPIPE ending the application.
TEST_F(RecorderTest, EncoderThatExitsRaisesInsteadOfSigpipe) {
    const auto previous = std::signal(SIGPIPE, SIG_DFL);
    struct Case {
        std::string encoder, codec, reason;
    };
    const std::vector<Case> cases = {
        {"true", "libx264", "stopped reading"},
        {"ffmpeg", "zarvo-no-such-codec", "zarvo-no-such-codec"},  // ffmpeg's own message
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.encoder + " " + c.codec);
        zv::RecordOptions options;
        options.encoder = c.encoder;
        options.codec = c.codec;
        zv::Recorder recorder(*window, dir.path() + "/" + c.codec + ".mp4", options);
        drawFrame(0);
        try {
            // ffmpeg reads the first frame before it opens the encoder.
            for (int f = 0; f < 3; ++f) recorder.recordFrame();
            ADD_FAILURE() << "no error raised";
        } catch (const zv::Error& e) {
            EXPECT_NE(std::string(e.expectedCondition()).find(c.reason), std::string::npos)
                << e.expectedCondition();
        }
        EXPECT_FALSE(recorder.recording());
        EXPECT_TRUE(noChildren());
        EXPECT_THROW(recorder.recordFrame(), zv::Error);
        EXPECT_NO_THROW(recorder.stop());
    }
    sigset_t pending;
    sigpending(&pending);
    EXPECT_FALSE(sigismember(&pending, SIGPIPE));
    std::signal(SIGPIPE, previous);
}

TEST_F(RecorderTest, WindowDestroyedWhileRecordingFinishesTheFile) {
    const std::string path = dir.path() + "/cut short.mp4";
    zv::Recorder recorder(*window, path);
    for (int f = 0; f < 5; ++f) {
        drawFrame(f);
        recorder.recordFrame();
    }
    plot.reset();
    window.reset();
    // Finished and the encoder reaped while the recorder still lives.
    EXPECT_TRUE(noChildren());
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(probe(path), "320,240,5");
    try {
        recorder.recordFrame();
        ADD_FAILURE() << "no error raised";
    } catch (const zv::Error& e) {
        EXPECT_NE(std::string(e.expectedCondition()).find("destroyed"), std::string::npos);
    }
    EXPECT_NO_THROW(recorder.stop());
}

// 4:2:0 needs even sides: an odd window gets one black column and row more; full colour
// keeps the window's own size.
TEST_F(RecorderTest, OddSidesAreEncodedInBothChromaModes) {
    zv::Window odd(161, 121, "odd", window.get(), true);
    for (const bool subsample : {false, true}) {
        SCOPED_TRACE(subsample ? "4:2:0" : "4:4:4");
        const std::string path = dir.path() + (subsample ? "/odd420.mp4" : "/odd444.mp4");
        zv::RecordOptions options;
        options.subsampleChroma = subsample;
        {
            zv::Recorder recorder(odd, path, options);
            for (int f = 0; f < 3; ++f) {
                odd.draw(*plot);
                recorder.recordFrame();
            }
        }
        EXPECT_EQ(probe(path), subsample ? "162,122,3" : "161,121,3");
    }
}

// A resized window keeps the movie's size: its picture lies at the top-left of a black frame.
TEST_F(RecorderTest, ResizedWindowKeepsTheMovieSize) {
    const std::string path = dir.path() + "/resized.mkv";
    zv::RecordOptions options;
    options.codec = "ffv1";  // lossless: the frame can be compared exactly
    {
        zv::Recorder recorder(*window, path, options);
        drawFrame(0);
        recorder.recordFrame();
        window->setSize(200, 300);
        drawFrame(1);
        drawFrame(2);
        recorder.recordFrame();
    }
    const zv::Snapshot shown = window->snapshot();
    ASSERT_EQ(shown.width, 200);
    ASSERT_EQ(probe(path), "320,240,2");
    const std::string rgb = decode(path);
    ASSERT_EQ(rgb.size(), size_t(W) * H * 3 * 2);
    const auto* frame = reinterpret_cast<const unsigned char*>(rgb.data()) + size_t(W) * H * 3;
    int wrong = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            for (int c = 0; c < 3; ++c) {
                const int want = x < 200 ? shown.rgba[(size_t(y) * 200 + x) * 4 + c] : 0;
                wrong += frame[(size_t(y) * W + x) * 3 + c] != want;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

}  // namespace
