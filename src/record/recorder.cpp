#include "zarvo/recorder.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "exception/raise.hpp"
#include "record/encoder_process.hpp"
#include "window/snapshot.hpp"
#include "window/window.hpp"
#include "zarvo/exception.h"
#include "zarvo/window.h"

namespace internal {

namespace {

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The directory a recording writes into must exist and take new files.
void requireWritableDirectory(const char* where, const std::string& path) {
    const std::string dir = directoryOf(path);
    struct stat info {};
    const int error = stat(dir.c_str(), &info) != 0 ? errno
                      : !S_ISDIR(info.st_mode)      ? ENOTDIR
                                                    : 0;
    if (error) {
        ZV_FAIL(RecordDirectoryMissing, where, dir, path, std::strerror(error));
    }
    if (access(dir.c_str(), W_OK | X_OK) != 0) {
        ZV_FAIL(RecordDirectoryUnwritable, where, dir, std::strerror(errno));
    }
}

// A file at `path` is left alone unless the caller asked for it to be replaced, and only a
// regular file is ever replaced. True when a file is there.
bool checkTarget(const char* where, const std::string& path, bool replace) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return false;
    if (S_ISDIR(info.st_mode))
        ZV_FAIL(RecordPathIsDirectory, where, path);
    if (!replace) {
        ZV_FAIL(RecordFileExists, where, path);
    }
    if (!S_ISREG(info.st_mode)) {
        ZV_FAIL(RecordNotRegular, where, path);
    }
    if (access(path.c_str(), W_OK) != 0) {
        ZV_FAIL(RecordFileUnwritable, where, path, std::strerror(errno));
    }
    return true;
}

std::string formatRate(double rate) {
    char text[64];
    std::snprintf(text, sizeof text, "%.10g", rate);
    return text;
}

}  // namespace

// The state of one recording; the window tells it when it is destroyed.
class Recording final : public WindowWatcher {
public:
    Recording(const std::shared_ptr<window_impl>& window, const std::string& path,
              const zv::RecordOptions& options)
        : mWindow(window), mPath(path), mOptions(options) {}

    void startMovie();
    void startPng();
    void record();
    void stop();
    bool active() const { return mActive; }
    int frames() const { return mFrames; }

    void windowGone() noexcept override {
        if (!mActive) return;
        mActive = false;
        mWindowGone = true;
        std::string reason;
        if (!mProcess.finish(reason)) mPendingError = describe(reason);
    }

private:
    // The reason of an encoder failure, with what it said.
    std::string describe(const std::string& reason) const {
        const std::string said = mProcess.errorOutput();
        return reason + (said.empty() ? std::string() : " (it said: " + said + ")");
    }
    std::string pngName(int frame) const;

    std::weak_ptr<window_impl> mWindow;
    std::string mPath;
    zv::RecordOptions mOptions;
    EncoderProcess mProcess;
    int mWidth = 0;
    int mHeight = 0;
    std::vector<unsigned char> mFrame;
    // The pattern of PNG names: the file name's run of '#' splits it in two.
    std::string mBefore, mAfter;
    size_t mDigits = 0;
    int mFrames = 0;
    bool mActive = false;
    bool mWindowGone = false;
    std::string mPendingError;
};

void Recording::startMovie() {
    const char* where = "Recorder constructor";
    requireWritableDirectory(where, mPath);
    const bool exists = checkTarget(where, mPath, mOptions.replace);
    const zv::Size size = mWindow.lock()->framebufferSize();
    if (size.width < 1 || size.height < 1)
        ZV_FAIL(RecordNoPixels, where);
    mWidth = size.width;
    mHeight = size.height;
    mFrame.assign(static_cast<size_t>(mWidth) * static_cast<size_t>(mHeight) * 4, 0);
    // The file is made here, before the encoder runs: a path that cannot be written is told
    // now, with the reason, and the encoder (told to replace it) writes into the file the
    // caller named, never one that appeared there meanwhile.
    const int fd = open(mPath.c_str(),
                        O_WRONLY | O_NOCTTY | O_CLOEXEC | (exists ? 0 : O_CREAT | O_EXCL), 0666);
    if (fd < 0) {
        ZV_FAIL(RecordCannotCreate, where, mPath, std::strerror(errno));
    }
    close(fd);

    // Each argument is one entry of the vector given to the program: no shell reads them.
    // "-y" has ffmpeg write into the file made above instead of asking on its standard input,
    // which carries the frames. The "file:" prefix
    // makes the path a file name whatever it starts with ('-', a protocol name).
    std::vector<std::string> args = {mOptions.encoder, "-hide_banner", "-nostdin",
                                     "-loglevel", "error", "-y",
                                     "-f", "rawvideo", "-pixel_format", "rgba",
                                     "-video_size",
                                     std::to_string(mWidth) + "x" + std::to_string(mHeight),
                                     "-framerate", formatRate(mOptions.frameRate),
                                     "-i", "pipe:0"};
    if (mOptions.codec == "libx264" && mOptions.subsampleChroma) {
        // 4:2:0 stores colour for 2 x 2 pixels at once, so both sides must be even.
        if (mWidth % 2 || mHeight % 2) {
            args.push_back("-vf");
            args.push_back("pad=ceil(iw/2)*2:ceil(ih/2)*2");
        }
        args.insert(args.end(), {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-crf", "18"});
    } else if (mOptions.codec == "libx264") {
        // Charts are thin coloured lines and small text: halving the colour resolution blurs
        // them (to about 33 dB whatever the bit rate), full colour at high quality keeps them
        // above 40 dB.
        args.insert(args.end(), {"-c:v", "libx264", "-pix_fmt", "yuv444p", "-crf", "8"});
    } else {
        args.insert(args.end(), {"-c:v", mOptions.codec});
    }
    args.push_back("file:" + mPath);
    std::string reason;
    if (!mProcess.start(args, reason)) {
        if (!exists) unlink(mPath.c_str());
        ZV_FAIL(RecordEncoderNotStarted, where, reason);
    }
    mActive = true;
}

void Recording::startPng() {
    const char* where = "Recorder constructor";
    const size_t slash = mPath.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t first = mPath.find('#', nameStart);
    if (first == std::string::npos) {
        ZV_FAIL(RecordPatternMissing, where);
    }
    size_t end = first;
    while (end < mPath.size() && mPath[end] == '#') ++end;
    if (mPath.find('#', end) != std::string::npos) {
        ZV_FAIL(RecordPatternTwice, where);
    }
    mBefore = mPath.substr(0, first);
    mAfter = mPath.substr(end);
    mDigits = end - first;
    requireWritableDirectory(where, mPath);
    checkTarget(where, pngName(0), mOptions.replace);
    mActive = true;
}

std::string Recording::pngName(int frame) const {
    std::string number = std::to_string(frame);
    if (number.size() < mDigits) number.insert(0, mDigits - number.size(), '0');
    return mBefore + number + mAfter;
}

void Recording::record() {
    const char* where = "Recorder::recordFrame";
    if (!mActive) {
        if (mWindowGone) ZV_FAIL(RecordWindowGone, where);
        ZV_FAIL(RecordStopped, where);
    }
    const std::shared_ptr<window_impl> window = mWindow.lock();
    const zv::Snapshot picture = window ? window->snapshot() : zv::Snapshot();
    if (mOptions.format == zv::ZV_RECORD_PNG) {
        const std::string name = pngName(mFrames);
        try {
            checkTarget(where, name, mOptions.replace);
            writePNG(picture, name);
        } catch (...) {
            mActive = false;
            throw;
        }
        ++mFrames;
        return;
    }
    // The movie's frames keep the size it started with: a picture of another size lies at
    // the top-left corner of a black frame.
    if (picture.width == mWidth && picture.height == mHeight) {
        std::copy(picture.rgba.begin(), picture.rgba.end(), mFrame.begin());
    } else {
        std::fill(mFrame.begin(), mFrame.end(), 0);
        const int w = std::min(mWidth, picture.width);
        const int h = std::min(mHeight, picture.height);
        for (int y = 0; y < h; ++y) {
            std::copy_n(&picture.rgba[static_cast<size_t>(y) * picture.width * 4],
                        static_cast<size_t>(w) * 4, &mFrame[static_cast<size_t>(y) * mWidth * 4]);
        }
        for (size_t a = 3; a < mFrame.size(); a += 4) mFrame[a] = 255;
    }
    std::string reason;
    if (!mProcess.write(mFrame.data(), mFrame.size(), reason)) {
        // The encoder is given the end of its input, so whatever it has stays readable.
        mActive = false;
        std::string exitReason;
        mProcess.finish(exitReason);
        ZV_FAIL(RecordEncoderFailed, where, describe(reason));
    }
    ++mFrames;
}

void Recording::stop() {
    if (!mPendingError.empty()) {
        const std::string error = mPendingError;
        mPendingError.clear();
        ZV_FAIL(RecordEncoderFailed, "Recorder::stop", error);
    }
    if (!mActive) return;
    mActive = false;
    std::string reason;
    if (!mProcess.finish(reason)) ZV_FAIL(RecordEncoderFailed, "Recorder::stop", describe(reason));
}

class _Recorder {
public:
    _Recorder(const std::shared_ptr<window_impl>& window, const std::string& path,
              const zv::RecordOptions& options)
        : mRecording(std::make_shared<Recording>(window, path, options)) {
        if (options.format == zv::ZV_RECORD_PNG) {
            mRecording->startPng();
        } else {
            mRecording->startMovie();
        }
        window->watch(mRecording);
    }
    Recording& recording() const { return *mRecording; }

private:
    std::shared_ptr<Recording> mRecording;
};

}  // namespace internal

namespace zv {

namespace {
void checkOptions(const std::string& path, const RecordOptions& options) {
    const char* where = "Recorder constructor";
    if (path.empty()) ZV_FAIL(RecordNoPath, where);
    if (options.format != ZV_RECORD_MOVIE && options.format != ZV_RECORD_PNG)
        ZV_FAIL(RecordFormat, where);
    if (options.format == ZV_RECORD_MOVIE) {
        if (!(options.frameRate > 0.0 && options.frameRate <= 1000.0))
            ZV_FAIL(RecordFrameRate, where);
        if (options.codec.empty())
            ZV_FAIL(RecordNoCodec, where);
        if (options.encoder.empty())
            ZV_FAIL(RecordNoEncoder, where);
    }
}
}  // namespace

Recorder::Recorder(Window& window, const std::string& path, const RecordOptions& options) {
    const std::shared_ptr<internal::window_impl>& impl = window.get()->impl();
    checkOptions(path, options);
    mValue = std::make_unique<internal::_Recorder>(impl, path, options);
}

Recorder::~Recorder() {
    if (!mValue) return;
    try {
        mValue->recording().stop();
    } catch (const Error&) {
        // A destructor raises nothing; stop() is the place to hear about failures.
    }
}

Recorder::Recorder(Recorder&& other) noexcept = default;
Recorder& Recorder::operator=(Recorder&& other) noexcept {
    if (this != &other) {
        Recorder dropped(std::move(*this));
        mValue = std::move(other.mValue);
    }
    return *this;
}

void Recorder::recordFrame() {
    if (!mValue) ZV_FAIL(RecorderMovedFrom, "Recorder::recordFrame");
    internal::requireDrawingThread("zv::Recorder");
    mValue->recording().record();
}
void Recorder::stop() {
    if (!mValue) return;
    internal::requireDrawingThread("zv::Recorder");
    mValue->recording().stop();
}
bool Recorder::recording() const { return mValue && mValue->recording().active(); }
int Recorder::frames() const { return mValue ? mValue->recording().frames() : 0; }

}  // namespace zv
