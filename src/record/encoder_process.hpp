#pragma once
// A child process fed through its standard input, started without a shell, with its
// standard error kept (the last few hundred bytes) for error messages.

#include <string>
#include <sys/types.h>
#include <vector>

namespace internal {

class EncoderProcess {
public:
    // Starts argv[0] (looked up in PATH when it has no slash) with exactly these arguments:
    // nothing passes through a shell, so no character of an argument means anything but
    // itself. Its standard input is a pipe from this process, its standard output
    // /dev/null, its standard error a pipe read here. SIGPIPE is at its default in the
    // child, whatever this process does with it. Returns false, with `reason` set, when the
    // program cannot be started.
    bool start(const std::vector<std::string>& argv, std::string& reason);
    // Writes all of bytes to the child's standard input, reading its standard error
    // meanwhile, so that neither side waits on the other. SIGPIPE is kept from this process
    // (blocked on this thread during the write, a signal it raised consumed). False, with
    // `reason` set, when the child closed its input or exited.
    bool write(const unsigned char* bytes, size_t size, std::string& reason);
    // Closes the child's input, reads its standard error to the end and waits for it to exit.
    // False, with `reason` set, when it exited with a failure or was killed. Does nothing
    // and returns true when no child runs.
    bool finish(std::string& reason);
    // Finishes the child, ignoring how it went.
    ~EncoderProcess();

    bool running() const { return mPid > 0; }
    // The last bytes the child wrote to its standard error, trimmed.
    std::string errorOutput() const;

private:
    void drainErrors(bool wait);
    void closeInput();

    pid_t mPid = -1;
    int mInput = -1;   // write end of the child's standard input
    int mErrors = -1;  // read end of the child's standard error
    std::string mErrorTail;
};

}  // namespace internal
