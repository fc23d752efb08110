#pragma once
/// @file zarvo/recorder.h
/// zv::Recorder: records what a window shows, frame by frame, into a video file (through the
/// ffmpeg program) or into numbered PNG files.

#include <memory>
#include <string>

#include "zarvo/defines.h"

namespace internal {
class _Recorder;
}

namespace zv {

class Window;

/// Where a recording goes. Any other value is refused by the recorder (zv::ArgumentError).
enum RecordFormat : int {
    ZV_RECORD_MOVIE = 0,  ///< one video file, encoded by ffmpeg
    ZV_RECORD_PNG = 1     ///< one PNG file a frame, numbered
};

/// How a recording is made; the defaults make an H.264 movie at 30 frames a second.
struct RecordOptions {
    RecordFormat format = ZV_RECORD_MOVIE;
    /// Frames a second of the movie, above 0 and at most 1000 (movies only).
    double frameRate = 30.0;
    /// ffmpeg's name of the video encoder (movies only), e.g. "libx264", "libx264rgb",
    /// "mpeg4", "ffv1", "png". The container follows the path's extension (".mp4", ".mkv",
    /// ".avi", ...), as ffmpeg guesses it. With "libx264" the movie keeps full colour
    /// (4:4:4, constant quality 8: thin lines and small text stay sharp, above 40 dB PSNR),
    /// which desktop players (ffmpeg, VLC, mpv, Chromium) play; see subsampleChroma for
    /// players that need 4:2:0. Other encoders take ffmpeg's defaults.
    std::string codec = "libx264";
    /// With "libx264", true makes the movie 4:2:0 at constant quality 18, which every player
    /// and browser plays, at the cost of blurred colour on thin lines and text; a window of
    /// an odd side then gets one black column or row more, as 4:2:0 needs even sides.
    bool subsampleChroma = false;
    /// Whether a file already at the path (or a numbered PNG file) is replaced. When false
    /// an existing file is never touched: the recording refuses to start (or, for a
    /// numbered file met later, to record that frame) with a zv::Error.
    bool replace = false;
    /// The encoding program, found in PATH when it has no slash (movies only).
    std::string encoder = "ffmpeg";
};

/// Records a window's frames. Each recordFrame() adds exactly one frame: the window's
/// snapshot() as it is then (multisampling resolved, hidden windows too), so call it after
/// each draw that should be in the movie. Nothing is recorded by draws alone.
///
/// Movies: the constructor creates the file at the path (so a path that cannot be written
/// is told at once), then starts the encoder program, without a shell, with the
/// frames piped to its standard input as raw RGBA; the path goes to it as a file name only,
/// so spaces, quotes, ';', '$(...)' or a leading '-' name exactly that file. Every frame has
/// the size the window's framebuffer had when recording started; a frame of another size
/// (the window was resized) is laid at the top-left corner of a black frame of that size,
/// cropped where it is larger. A write to an encoder that has exited raises zv::Error and
/// never ends the application with SIGPIPE. An encoder that fails leaves what it wrote (an
/// empty file when it refused its arguments).
///
/// PNG files: the path holds one run of '#' in its file name, replaced by the frame number
/// from 0, zero-padded to the run's length ("frames/step-####.png" gives step-0000.png,
/// step-0001.png, ...; a number longer than the run is written whole). Each file is written
/// as Window::saveSnapshot writes.
///
/// stop() (or the destructor) ends the recording: the encoder is given the end of its input,
/// finishes the file and is waited for, so that no process is left behind. When the window
/// is destroyed while recording, the recording stops at once and the file is finished; the
/// next recordFrame() then raises zv::Error. After any error the frames recorded so far stay
/// in a file the encoder finishes, as far as it still runs.
///
/// Calls are made on the drawing thread, like every call of the library. Not copyable.
class ZV_API Recorder {
public:
    /// Starts recording `window` to `path`.
    /// @throws zv::ArgumentError for an empty path, a frame rate outside (0, 1000], an empty
    ///         codec or encoder, or a PNG path without a run of '#' in its file name
    /// @throws zv::Error (ZV_ERR_GL) with the reason and advice when the directory is missing
    ///         or not writable, the path is a directory, a file is at the path and replace is
    ///         false, the window has no pixels, or the encoder cannot be run (ffmpeg
    ///         missing). An encoder that refuses its arguments (an unknown codec or
    ///         container) exits after reading the first frame; that is raised by one of
    ///         the first recordFrame() calls, or by stop() when the pipe took the frames
    ///         before the encoder was gone
    Recorder(Window& window, const std::string& path, const RecordOptions& options = {});
    /// Stops the recording (see stop()); errors are not raised from here.
    ~Recorder();
    Recorder(Recorder&& other) noexcept;
    Recorder& operator=(Recorder&& other) noexcept;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    /// Records the window as it is now as the next frame.
    /// @throws zv::Error (ZV_ERR_GL) with the reason when the recording has stopped, the
    ///         window is gone, the encoder has exited (its error output included) or a PNG
    ///         file cannot be written; the recording is stopped (the movie finished) then
    void recordFrame();
    /// Ends the recording and waits for the encoder to finish the file. Calling it again
    /// does nothing.
    /// @throws zv::Error (ZV_ERR_GL) when the encoder failed to finish the file (its error
    ///         output included), or a failure met while the window was destroyed
    void stop();
    /// Whether frames can still be recorded.
    bool recording() const;
    /// Frames recorded so far.
    int frames() const;

private:
    std::unique_ptr<internal::_Recorder> mValue;
};

}  // namespace zv
